#pragma once

#include "ui/dialogs/commondialog.h"

#include "sim/simstate.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class DrawingArea;
class ParameterPanel;
class PictureFrame;
class QAction;
class QMenu;
class QScrollBar;
class RunView;
class Sprite;
class Surface;
class VariablesPanel;
class frmAbout5;
class frmexit;

/// The main window: the drawing surface in its client area, the parameter panel frmmasses, the
/// variables panel frmvariables, the picture rectangle Image1, the sprite Imggreen and the menu
/// bar with its commands. It owns the one simstate record; a run sees the window through its
/// RunView and draws on its DrawingArea. Creating it runs Form_Load.
///
/// Closing the window, or "Ok" in the exit confirmation, ends the program: every run returns at
/// its next yield, every other top-level window closes and the application's event loops exit.
class frmgrav : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmgrav(QWidget *parent = nullptr);
    ~frmgrav() override;

    const sim::simstate &state() const { return state_; }
    /// The persistent drawing surface: what the run and the handlers have drawn, nothing else.
    const Surface &surface() const;
    /// True once the program is ending; no run takes another step after that.
    bool isEnding() const;
    /// The shared chooser of the colour commands and Save Picture. Tests install their own
    /// choosers through it.
    CommonDialog &commonDialog() { return CommonDialog1; }

public slots:
    /// Ends the program at once, a run in progress included.
    void endProgram();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenus();
    void Form_Load();
    /// The window on the whole screen, the panels along its edges.
    void fitToScreen();
    /// Both fixed masses and the moving mass at their start values, through their scrollbars.
    void loadMasses();
    /// Gives a mass's position scrollbars the client area's size as maximum and their start
    /// Values; their handlers store the position and redraw the circles.
    void placeMass(QScrollBar *xBar, std::int16_t x, QScrollBar *yBar, std::int16_t y);

    void cmdstart_Click();
    void cmdstop_Click();
    void cmdsave_Click();
    void cmdexit_Click();
    void cmdoptions_Click();
    void mnumasses_Click();
    void mnuvariables_Click();
    void mnuall_Click();
    void mnucolorone_Click();
    void mnucolortwo_Click();
    void bgcolor_Click();
    /// Sets the chooser's flags and opens its colour chooser; true when a colour is confirmed.
    bool chooseColour();

    float clientWidth() const;
    float clientHeight() const;

    sim::simstate state_;
    CommonDialog CommonDialog1;
    // Top-level windows without owner that delete themselves when closed.
    QPointer<frmexit> exitDialog_;
    QPointer<frmAbout5> aboutDialog_;

    DrawingArea *drawingArea_ = nullptr;
    PictureFrame *Image1 = nullptr;
    Sprite *Imggreen = nullptr;
    ParameterPanel *frmmasses = nullptr;
    VariablesPanel *frmvariables = nullptr;
    std::unique_ptr<RunView> runView_;

    QMenu *cmdfile = nullptr;
    QAction *cmdstart = nullptr;
    QMenu *cmdpicture = nullptr;
    QAction *cmdsave = nullptr;
    QAction *cmdstop = nullptr;
    QAction *cmdexit = nullptr;
    QMenu *cmdalltables = nullptr;
    QAction *mnumasses = nullptr;
    QAction *mnuvariables = nullptr;
    QAction *mnusep = nullptr;
    QAction *mnuall = nullptr;
    QMenu *mnucolor = nullptr;
    QAction *mnucolorone = nullptr;
    QAction *mnucolortwo = nullptr;
    QAction *bgcolor = nullptr;
    QAction *cmdoptions = nullptr;
};
