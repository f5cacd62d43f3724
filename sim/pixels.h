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

/// The pixel column or row that contains the coordinate v, clamped to -1e6..1e6 so that it fits
/// any widget geometry. A non-finite v, the coordinate of a moving mass thrown out of reach,
/// gives -1e6: far outside every client area, so that nothing shows where the mass is not.
int widgetCoordinate(float v);

/// The pixels of a one-pixel circle outline around (x, y), in rows from top to bottom, each left to
/// right, without repeats; a radius below one half is the centre pixel alone. The caller clips them
/// to its surface.
std::vector<Pixel> circleOutline(float x, float y, float radius);

} // namespace sim
