#include "pictureframe.h"

#include "sim/pixels.h"

#include <QPainter>

#include <algorithm>

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
    setGeometry(sim::widgetCoordinate(rect_.left), sim::widgetCoordinate(rect_.top),
                std::max(0, sim::widgetCoordinate(rect_.width)),
                std::max(0, sim::widgetCoordinate(rect_.height)));
}

void PictureFrame::paintEvent(QPaintEvent *)
{
    if (borderStyle_ == 0)
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
