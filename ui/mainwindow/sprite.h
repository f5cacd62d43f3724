#pragma once

#include <QImage>
#include <QWidget>

/// The sprite Imggreen: a small control over the drawing surface that shows the moving mass,
/// its picture stretched to the control's own size.
class Sprite : public QWidget
{
    Q_OBJECT

public:
    explicit Sprite(QWidget *parent = nullptr);

    /// The stored picture: a 100 x 100 filled disc in RGB (16, 255, 148) with white corners.
    static QImage picture();

    /// Records a new top left corner in client-area pixels; the control moves there only at
    /// applyPosition(), so a run can move it at every step and show it at the display's rate.
    void setPosition(float left, float top);
    float positionLeft() const { return left_; }
    float positionTop() const { return top_; }
    /// Moves the control to the pixel that contains the recorded corner.
    void applyPosition();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_ = picture();
    float left_ = 0;
    float top_ = 0;
};
