#pragma once

#include "rect.h"
#include "simstate.h"

#include <array>
#include <cstdint>

namespace sim {

// What every parameter starts from at each program start. The masses are scrollbar Values:
// kilograms are the Value times the unit of its kind.

/// The capture radius both masses start with.
inline constexpr std::int16_t defaultRadius = 5;
/// Mass one and mass two start this far left and right of the client area's centre.
inline constexpr float defaultMassOffset = 10;
/// The Value both fixed masses start with, and kilograms per Value of a fixed mass.
inline constexpr std::int16_t defaultFixedMass = 10;
inline constexpr double fixedMassUnit = 10000;
/// The Value the moving mass starts with, and kilograms per Value of the moving mass.
inline constexpr std::int16_t defaultMovingMass = 50;
inline constexpr double movingMassUnit = 10000000;
/// The colours of mass one (red) and mass two (blue), and the background (white).
inline constexpr std::int32_t defaultColourOne = 255;
inline constexpr std::int32_t defaultColourTwo = 16711680;
inline constexpr std::int32_t defaultBackground = 16777215;
/// The size of the picture rectangle, centred in the client area.
inline constexpr std::int16_t defaultPictureWidth = 100;
inline constexpr std::int16_t defaultPictureHeight = 80;

/// A rectangle of the given size centred in a client area, as the picture-size scrollbars
/// centre it: left = clientWidth / 2 - width / 2 and likewise top, in single precision and not
/// rounded.
Rect centredPicture(float clientWidth, float clientHeight, float width, float height);

/// The picture rectangle start-up places in a client area of the given size.
Rect defaultPicture(float clientWidth, float clientHeight);

/// A whole-number position in the client area.
struct Position
{
    std::int16_t x;
    std::int16_t y;
};

/// Where start-up places mass one and mass two in a client area of the given size:
/// defaultMassOffset left and right of the centre, each rounded halves to even.
std::array<Position, 2> defaultMassPositions(float clientWidth, float clientHeight);

/// The record as start-up leaves it for a client area of the given size: mass one and mass two
/// defaultMassOffset left and right of the centre (each rounded halves to even), the default
/// masses and colours, the moving mass on the top left corner of the default picture rectangle.
simstate defaultState(float clientWidth, float clientHeight);

} // namespace sim
