#include "pictureframe.h"

#include "sim/pixels.h"

#include <QPainter>

#include <algorithm>

PictureFrame::PictureFrame(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void PictureFrame::setBorderStyle(int style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    update();
}

void PictureFrame::place(float sim::Rect::*member, float value)
{
    rect_.*member = value;
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
