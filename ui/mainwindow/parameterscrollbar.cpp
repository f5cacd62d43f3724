#include "parameterscrollbar.h"

#include <QKeyEvent>
#include <QWheelEvent>

ParameterScrollBar::ParameterScrollBar(int min, int max, int smallChange, int largeChange,
                                       QWidget *parent)
    : QScrollBar(Qt::Horizontal, parent)
{
    setRange(min, max);
    setValue(min);
    setSingleStep(smallChange);
    setPageStep(largeChange);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
}

void ParameterScrollBar::keyPressEvent(QKeyEvent *event)
{
    // QScrollBar inverts its key controls for the vertical case, which would make Right
    // decrease a horizontal bar.
    SliderAction action = SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        action = SliderSingleStepSub;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        action = SliderSingleStepAdd;
        break;
    case Qt::Key_PageUp:
        action = SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        action = SliderPageStepAdd;
        break;
    case Qt::Key_Home:
        action = SliderToMinimum;
        break;
    case Qt::Key_End:
        action = SliderToMaximum;
        break;
    default:
        QScrollBar::keyPressEvent(event);
        return;
    }
    triggerAction(action);
    event->accept();
}

void ParameterScrollBar::wheelEvent(QWheelEvent *event)
{
    // Taken, so that no panel behind it scrolls either.
    event->accept();
}
