#include "sprite.h"

#include "sim/pixels.h"

#include <QPainter>

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
    move(sim::widgetCoordinate(left_), sim::widgetCoordinate(top_));
}

void Sprite::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture_);
}
