#pragma once

#include "sim/simstate.h"

#include <QFrame>

#include <cstdint>

class DrawingArea;
class PictureFrame;
class QLineEdit;
class QScrollBar;

/// The parameter panel frmmasses: the eleven parameter scrollbars, each with its caption and its
/// value field, and their change handlers. A handler runs whenever its scrollbar's Value
/// changes, by the user or by the program, and takes the Value into the window's simstate or the
/// picture rectangle Image1, shows it, and redraws the capture circles where a position or a
/// radius changed.
class ParameterPanel : public QFrame
{
    Q_OBJECT

public:
    /// The panel works on the window's record, drawing area and picture rectangle, which outlive
    /// it.
    ParameterPanel(sim::simstate &state, DrawingArea &drawingArea, PictureFrame &Image1,
                   QWidget *parent);

    enum class Mass { one, two };

    /// The capture circle of mass one or of mass two, at the radius its scrollbar shows.
    void drawCircleOne();
    void drawCircleTwo();
    /// Both capture circles, mass two's first.
    void drawCaptureCircles();
    /// Writes the position of a mass into its two value fields, x first.
    void showPosition(Mass mass);

    /// Writes the Value of bar into field, reads the text back as a number and returns it times
    /// unit: the kilograms of a mass scrollbar, as they pass through its value field.
    static double massThroughField(const QScrollBar *bar, QLineEdit *field, double unit);

    // The controls, in the panel's order from top to bottom.
    QLineEdit *textmgreen = nullptr;
    QScrollBar *vscmassegreen = nullptr;
    QLineEdit *textmrot = nullptr;
    QScrollBar *vscmasserot = nullptr;
    QLineEdit *textmblau = nullptr;
    QScrollBar *vscmasseblau = nullptr;
    QLineEdit *textxxrot = nullptr;
    QScrollBar *vscxposred = nullptr;
    QLineEdit *textyyrot = nullptr;
    QScrollBar *vscyposred = nullptr;
    QLineEdit *textxblau = nullptr;
    QScrollBar *vscxposblue = nullptr;
    QLineEdit *textyblau = nullptr;
    QScrollBar *vscyposblue = nullptr;
    QLineEdit *textradiusrot = nullptr;
    QScrollBar *vscradred = nullptr;
    QLineEdit *textradiusblau = nullptr;
    QScrollBar *vscradblau = nullptr;
    QLineEdit *Textpicsizex = nullptr;
    QScrollBar *vscpicsizex = nullptr;
    QLineEdit *Textpicsizey = nullptr;
    QScrollBar *vscpicsizey = nullptr;

private:
    void vscmasserot_Change();
    void vscmasseblau_Change();
    void vscmassegreen_Change();
    void vscradred_Change();
    void vscradblau_Change();
    void vscxposred_Change();
    void vscyposred_Change();
    void vscxposblue_Change();
    void vscyposblue_Change();
    void vscpicsizex_Change();
    void vscpicsizey_Change();

    /// Draws the circle of the changed mass, writes the Value of bar into field, then draws the
    /// other mass's circle.
    void redrawCircles(Mass first, const QScrollBar *bar, QLineEdit *field);
    /// Gives Image1 the Value of bar as its width or height and centres it on that axis in the
    /// client area.
    void resizeAndCentre(Qt::Orientation axis, const QScrollBar *bar);

    sim::simstate &state_;
    DrawingArea &drawingArea_;
    PictureFrame &Image1;
};
