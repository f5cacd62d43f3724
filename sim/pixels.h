#pragma once

#include <cstdint>
#include <vector>

namespace sim {

/// A whole pixel of the drawing surface.
struct Pixel
{
    int x;
    int y;
};

/// The pixel that contains the point (x, y): each coordinate rounded down.
Pixel pixelAt(float x, float y);

/// The pixels of a one-pixel circle outline around (x, y), in rows from top to bottom, each left to
/// right, without repeats; a radius below one half is the centre pixel alone. The caller clips them
/// to its surface.
std::vector<Pixel> circleOutline(float x, float y, float radius);

} // namespace sim
