#pragma once

#include "host.h"
#include "simstate.h"

#include <cstdint>

namespace sim {

/// The capture radius both masses start with.
inline constexpr std::int16_t defaultRadius = 5;

/// A rectangle of the given size centred in a client area, as the picture-size scrollbars
/// centre it: left = clientWidth / 2 - width / 2 and likewise top, in single precision and not
/// rounded.
Rect centredPicture(float clientWidth, float clientHeight, float width, float height);

/// The record as start-up leaves it for a client area of the given size: mass one 10 pixels
/// left and mass two 10 pixels right of the centre (each rounded halves to even), both 100000 kg,
/// the moving mass 500000000 kg, red and blue, the moving mass on the top left corner of the
/// default 100 x 80 picture rectangle.
simstate defaultState(float clientWidth, float clientHeight);

/// The picture rectangle start-up places in a client area of the given size.
Rect defaultPicture(float clientWidth, float clientHeight);

} // namespace sim
