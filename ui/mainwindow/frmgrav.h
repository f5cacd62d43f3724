#pragma once

#include "ui/dialogs/commondialog.h"

#include "sim/host.h"
#include "sim/simstate.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <string>

class DrawingArea;
class PictureFrame;
class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QScrollBar;
class Sprite;
class Surface;
class frmAbout5;
class frmexit;

/// The main window: the drawing surface in its client area, the parameter panel with the eleven
/// scrollbars, the variables panel, the picture rectangle, the sprite and the menu bar. It owns
/// the one simstate record and is the window the run draws on. Creating it runs Form_Load.
///
/// A run writes the live variables and moves the sprite at every step, but the widgets are
/// updated only at the display's rate and before any modal box opens, so a yielded step costs
/// about what processing the pending events costs. Any modal box, this window's or another's,
/// opens on the fields and the sprite of the last step.
///
/// Closing the window, or "Ok" in the exit confirmation, ends the program: every run returns at
/// its next yield, every other top-level window closes and the application's event loops exit.
class frmgrav : public QMainWindow, private sim::Host
{
    Q_OBJECT

public:
    explicit frmgrav(QWidget *parent = nullptr);
    ~frmgrav() override;

    const sim::simstate &state() const { return state_; }
    /// The persistent drawing surface: what the run and the handlers have drawn, nothing else.
    const Surface &surface() const;
    /// True once the program is ending; no run takes another step after that.
    bool isEnding() const { return ending_; }
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
    void createParameterPanel();
    void createVariablesPanel();
    void Form_Load();

    // Menu commands.
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

    // Parameter scrollbars.
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

    // sim::Host: the run's view of this window.
    void clear() override;
    void drawCircle(float x, float y, float radius, std::int32_t colour) override;
    void setPixel(float x, float y, std::int32_t colour) override;
    sim::Rect picture() const override;
    void setPictureBorder(int style) override;
    void setSpriteVisible(bool visible) override;
    float spriteWidth() const override;
    float spriteHeight() const override;
    void moveSprite(float left, float top) override;
    std::int16_t value(sim::Scrollbar bar) const override;
    void setField(sim::Field field, sim::Number n) override;
    bool yield() override;
    void message(std::string_view text, std::string_view title) override;

    /// Puts the live variables and the sprite position of the last step on the screen.
    void showFrame();
    QString numberText(sim::Number n) const;
    void showNumber(QLineEdit *field, sim::Number n) const;
    float clientWidth() const;
    float clientHeight() const;

    sim::simstate state_;
    bool ending_ = false;
    std::string decimalSeparator_;

    // What a run has written since the last frame.
    std::array<sim::Number, sim::fieldCount> pendingFields_{};
    std::array<bool, sim::fieldCount> fieldChanged_{};
    bool spriteMoved_ = false;
    QElapsedTimer frameClock_;

    CommonDialog CommonDialog1;
    // Top-level windows without owner that delete themselves when closed.
    QPointer<frmexit> exitDialog_;
    QPointer<frmAbout5> aboutDialog_;

    DrawingArea *drawingArea_ = nullptr;
    std::array<QLineEdit *, sim::fieldCount> runFields_{};

    // Controls.
    QFrame *frmmasses = nullptr;
    QFrame *frmvariables = nullptr;
    PictureFrame *Image1 = nullptr;
    Sprite *Imggreen = nullptr;

    QLineEdit *textmgreen = nullptr;
    QLineEdit *textmrot = nullptr;
    QLineEdit *textmblau = nullptr;
    QLineEdit *textxxrot = nullptr;
    QLineEdit *textyyrot = nullptr;
    QLineEdit *textxblau = nullptr;
    QLineEdit *textyblau = nullptr;
    QLineEdit *textradiusrot = nullptr;
    QLineEdit *textradiusblau = nullptr;
    QLineEdit *Textpicsizex = nullptr;
    QLineEdit *Textpicsizey = nullptr;

    QScrollBar *vscmassegreen = nullptr;
    QScrollBar *vscmasserot = nullptr;
    QScrollBar *vscmasseblau = nullptr;
    QScrollBar *vscxposred = nullptr;
    QScrollBar *vscyposred = nullptr;
    QScrollBar *vscxposblue = nullptr;
    QScrollBar *vscyposblue = nullptr;
    QScrollBar *vscradred = nullptr;
    QScrollBar *vscradblau = nullptr;
    QScrollBar *vscpicsizex = nullptr;
    QScrollBar *vscpicsizey = nullptr;

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
