#pragma once

#include "sim/rect.h"

#include <QWidget>

/// The picture rectangle Image1: a transparent control over the drawing surface that marks the
/// start points of a run and shows only its outline. Its geometry is kept in single-precision
/// client-area pixels and may lie on half pixels; the control sits on the pixel that contains
/// its top left corner.
class PictureFrame : public QWidget
{
    Q_OBJECT

public:
    explicit PictureFrame(QWidget *parent = nullptr);

    sim::Rect pictureRect() const { return rect_; }
    float left() const { return rect_.left; }
    float top() const { return rect_.top; }
    float pictureWidth() const { return rect_.width; }
    float pictureHeight() const { return rect_.height; }

    void setLeft(float left) { place(&sim::Rect::left, left); }
    void setTop(float top) { place(&sim::Rect::top, top); }
    void setPictureWidth(float width) { place(&sim::Rect::width, width); }
    void setPictureHeight(float height) { place(&sim::Rect::height, height); }

    /// 0: no outline, 1: a single thin line.
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    /// Sets one edge or extent and moves the control there.
    void place(float sim::Rect::*member, float value);

    sim::Rect rect_;
    int borderStyle_ = 1;
};
