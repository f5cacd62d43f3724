#pragma once

namespace sim {

/// A rectangle in single-precision client-area pixels.
struct Rect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

} // namespace sim
