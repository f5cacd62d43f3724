#include "sprite.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

/// A coordinate of a moving mass that may have been thrown far away, as a widget position.
int widgetCoordinate(float v)
{
    if (!std::isfinite(v))
        return -1000000;
    return static_cast<int>(std::clamp(std::floor(v), -1.0e6f, 1.0e6f));
}

} // namespace

Sprite::Sprite(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

QImage Sprite::picture()
{
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(16, 255, 148));
    painter.drawEllipse(QRectF(0, 0, 100, 100));
    return image;
}

void Sprite::setPosition(float left, float top)
{
    left_ = left;
    top_ = top;
}

void Sprite::applyPosition()
{
    move(widgetCoordinate(left_), widgetCoordinate(top_));
}

void Sprite::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture_);
}
