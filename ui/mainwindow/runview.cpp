#include "runview.h"

#include "controls.h"
#include "drawingarea.h"
#include "pictureframe.h"
#include "sprite.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QScrollBar>

namespace {

/// The live variables reach the screen at about the display's rate.
constexpr qint64 frameInterval = 16; // ms

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

RunView::RunView(QWidget *window, DrawingArea *drawingArea, PictureFrame *Image1, Sprite *Imggreen,
                 const QScrollBar *vscradred, const QScrollBar *vscradblau,
                 const VariablesPanel::Fields &fields)
    : window_(window), drawingArea_(drawingArea), Image1(Image1), Imggreen(Imggreen),
      vscradred(vscradred), vscradblau(vscradblau), fields_(fields)
{
    frameClock_.start();
}

void RunView::showFrame()
{
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fieldChanged_[i]) {
            showNumber(fields_[i], pendingFields_[i]);
            fieldChanged_[i] = false;
        }
    }
    if (spriteMoved_) {
        Imggreen->applyPosition();
        spriteMoved_ = false;
    }
    drawingArea_->flushUpdates();
    frameClock_.restart();
}

sim::Rect RunView::picture() const
{
    return Image1->pictureRect();
}

void RunView::setPictureBorder(int style)
{
    Image1->setBorderStyle(style);
}

void RunView::setSpriteVisible(bool visible)
{
    if (visible)
        Imggreen->applyPosition();
    Imggreen->setVisible(visible);
}

float RunView::spriteWidth() const
{
    return static_cast<float>(Imggreen->width());
}

float RunView::spriteHeight() const
{
    return static_cast<float>(Imggreen->height());
}

void RunView::moveSprite(float left, float top)
{
    Imggreen->setPosition(left, top);
    spriteMoved_ = true;
}

std::int16_t RunView::value(sim::Scrollbar bar) const
{
    return int16Value(bar == sim::Scrollbar::vscradred ? vscradred : vscradblau);
}

void RunView::setField(sim::Field field, sim::Number n)
{
    const auto i = static_cast<std::size_t>(field);
    pendingFields_[i] = n;
    fieldChanged_[i] = true;
}

bool RunView::yield()
{
    if (ending_)
        return false;
    if (frameClock_.hasExpired(frameInterval))
        showFrame();
    QCoreApplication::processEvents();
    return !ending_;
}

void RunView::message(std::string_view text, std::string_view title)
{
    showFrame();
    if (ending_)
        return;
    QMessageBox box(QMessageBox::NoIcon, fromUtf8(title), fromUtf8(text), QMessageBox::Ok, window_);
    box.exec();
}
