#pragma once

#include <QScrollBar>

/// A horizontal parameter scrollbar. Its Value changes on arrow and trough clicks, on the keys
/// when it has the focus, and when the thumb is released after a drag, never during the drag.
/// Left, Up and Page Up decrease the Value, Right, Down and Page Down increase it, as on any
/// horizontal scrollbar. The mouse wheel is not one of its inputs: over it, the wheel does
/// nothing, as a position or radius change would erase the picture.
class ParameterScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    ParameterScrollBar(int min, int max, int smallChange, int largeChange,
                       QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};
