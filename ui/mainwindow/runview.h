#pragma once

#include "variablespanel.h"

#include "sim/host.h"

#include <QElapsedTimer>

#include <array>

class DrawingArea;
class PictureFrame;
class QScrollBar;
class QWidget;
class Sprite;

/// The run's view of the main window: the picture rectangle Image1, the sprite Imggreen, the
/// radius scrollbars, the value fields of the live variables and the modal boxes.
///
/// A run writes the live variables and moves the sprite at every step, but only into this
/// object; showFrame() puts them on the screen, at the display's rate during a run and before
/// any modal box opens, so that a yielded step costs about what processing the pending events
/// costs.
class RunView : public sim::Host
{
public:
    /// The controls belong to window, which outlives this view.
    RunView(QWidget *window, DrawingArea *drawingArea, PictureFrame *Image1, Sprite *Imggreen,
            const QScrollBar *vscradred, const QScrollBar *vscradblau,
            const VariablesPanel::Fields &fields);

    /// Puts the live variables and the sprite position of the last step on the screen.
    void showFrame();

    /// True once the program is ending; no run takes another step after that.
    bool isEnding() const { return ending_; }
    /// Makes every run return at its next yield, and no modal box open.
    void end() { ending_ = true; }

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

private:
    QWidget *window_;
    DrawingArea *drawingArea_;
    PictureFrame *Image1;
    Sprite *Imggreen;
    const QScrollBar *vscradred;
    const QScrollBar *vscradblau;
    VariablesPanel::Fields fields_;

    // What a run has written since the last frame.
    std::array<sim::Number, sim::fieldCount> pendingFields_{};
    std::array<bool, sim::fieldCount> fieldChanged_{};
    bool spriteMoved_ = false;
    QElapsedTimer frameClock_;
    bool ending_ = false;
};
