#pragma once

#include <cstdint>

namespace sim {

/// A drawing surface in client-area pixels: what the run and the capture circles draw on.
/// Colours are red + 256 x green + 65536 x blue; a fractional coordinate falls on the pixel that
/// contains it, and whatever lies outside the surface is clipped.
class Canvas
{
public:
    virtual ~Canvas() = default;

    /// Returns every pixel to the background colour.
    virtual void clear() = 0;
    /// Draws the outline of a full circle.
    virtual void drawCircle(float x, float y, float radius, std::int32_t colour) = 0;
    virtual void setPixel(float x, float y, std::int32_t colour) = 0;

protected:
    Canvas() = default;
    Canvas(const Canvas &) = default;
    Canvas &operator=(const Canvas &) = default;
};

} // namespace sim
