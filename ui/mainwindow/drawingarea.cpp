#include "drawingarea.h"

#include "sim/pixels.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

DrawingArea::DrawingArea(QWidget *parent) : QWidget(parent), surface_(size())
{
    // The surface covers every pixel, so Qt need not erase the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawingArea::fitSurface()
{
    surface_.resize(size());
}

void DrawingArea::clear()
{
    surface_.clear();
    pendingPixels_ = {};
    update();
}

void DrawingArea::setBackground(std::int32_t colour)
{
    surface_.setBackground(colour);
    pendingPixels_ = {};
    update();
}

void DrawingArea::drawCircle(float x, float y, float radius, std::int32_t colour)
{
    surface_.drawCircle(x, y, radius, colour);
    const sim::Pixel centre = sim::pixelAt(x, y);
    const int r = static_cast<int>(std::lround(radius)) + 1;
    update(QRect(centre.x - r, centre.y - r, 2 * r + 1, 2 * r + 1));
}

void DrawingArea::setPixel(float x, float y, std::int32_t colour)
{
    surface_.setPixel(x, y, colour);
    const sim::Pixel p = sim::pixelAt(x, y);
    pendingPixels_ |= QRect(p.x, p.y, 1, 1);
}

void DrawingArea::flushUpdates()
{
    if (pendingPixels_.isNull())
        return;
    update(pendingPixels_);
    pendingPixels_ = {};
}

void DrawingArea::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, toRgb(surface_.background()));
    painter.drawImage(area.topLeft(), surface_.image(), area);
}

void DrawingArea::resizeEvent(QResizeEvent *event)
{
    fitSurface();
    QWidget::resizeEvent(event);
}
