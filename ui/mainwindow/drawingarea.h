#pragma once

#include "picture/surface.h"
#include "sim/canvas.h"

#include <QRect>
#include <QWidget>

#include <cstdint>

/// The main window's client area, the canvas of its run and its handlers: shows the persistent
/// drawing surface and repaints from it. Child controls lie over it and are never part of it.
/// Pixels set during a run reach the screen only when flushUpdates() is called; every other
/// drawing schedules its repaint itself.
class DrawingArea : public QWidget, public sim::Canvas
{
    Q_OBJECT

public:
    explicit DrawingArea(QWidget *parent = nullptr);

    const Surface &surface() const { return surface_; }
    /// Makes the surface the size of the widget now, also while the window is still hidden.
    void fitSurface();

    void clear() override;
    void setBackground(std::int32_t colour);
    void drawCircle(float x, float y, float radius, std::int32_t colour) override;
    void setPixel(float x, float y, std::int32_t colour) override;
    /// Schedules the repaint of every pixel set since the last call.
    void flushUpdates();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Surface surface_;
    QRect pendingPixels_;
};
