#pragma once

#include "number.h"
#include "rect.h"

#include <cstdint>
#include <string_view>

namespace sim {

/// The value fields of the variables panel that a run writes.
enum class Field : std::uint8_t {
    textxgreen,
    textygreen,
    textrrot,
    textrblau,
    textfrot,
    textfblau,
    textlrot,
    textxfrot,
    textyfrot,
    textlblau,
    textxfblau,
    textyfblau,
};
inline constexpr int fieldCount = 12;

/// The scrollbars whose Values a run reads: the capture radii of mass one and mass two.
enum class Scrollbar : std::uint8_t { vscradred, vscradblau };

/// The window a run reads its controls from and shows its progress in; what it draws goes to a
/// sim::Canvas. The run does not own it; every call comes from the GUI thread. Coordinates are
/// client-area pixels.
class Host
{
public:
    virtual ~Host() = default;

    /// The picture rectangle as it stands now; it can change during a yield.
    virtual Rect picture() const = 0;
    /// 0 hides the outline of the picture rectangle, 1 shows it.
    virtual void setPictureBorder(int style) = 0;

    virtual void setSpriteVisible(bool visible) = 0;
    virtual float spriteWidth() const = 0;
    virtual float spriteHeight() const = 0;
    /// Moves the sprite's top left corner; its size stays.
    virtual void moveSprite(float left, float top) = 0;

    /// The current Value of a scrollbar.
    virtual std::int16_t value(Scrollbar bar) const = 0;
    /// Shows a number in a value field; turning it into text is the window's job.
    virtual void setField(Field field, Number n) = 0;

    /// Processes every pending event and returns. Any handler may run inside, another run
    /// included. Returns false once the program is ending: the run then returns at once,
    /// without another step.
    virtual bool yield() = 0;

    /// A modal message box with an OK button only and no icon; returns when it is closed.
    virtual void message(std::string_view text, std::string_view title) = 0;
};

} // namespace sim
