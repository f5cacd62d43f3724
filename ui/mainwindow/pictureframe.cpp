#include "pictureframe.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

/// A client-area coordinate as a whole widget position, kept far inside the range of int.
int widgetCoordinate(float v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::clamp(std::floor(v), -1.0e6f, 1.0e6f));
}

} // namespace

PictureFrame::PictureFrame(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void PictureFrame::setLeft(float left)
{
    rect_.left = left;
    place();
}

void PictureFrame::setTop(float top)
{
    rect_.top = top;
    place();
}

void PictureFrame::setPictureWidth(float width)
{
    rect_.width = width;
    place();
}

void PictureFrame::setPictureHeight(float height)
{
    rect_.height = height;
    place();
}

void PictureFrame::setBorderStyle(int style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    update();
}

void PictureFrame::place()
{
    setGeometry(widgetCoordinate(rect_.left), widgetCoordinate(rect_.top),
                std::max(0, widgetCoordinate(rect_.width)),
                std::max(0, widgetCoordinate(rect_.height)));
}

void PictureFrame::paintEvent(QPaintEvent *)
{
    if (borderStyle_ == 0)
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
