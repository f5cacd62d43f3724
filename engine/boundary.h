#pragma once

#include <cstdint>

/// Whether point x of the row here (width points, 0 never captured, k captured by mass k) has a
/// left, right, upper or lower neighbour of another outcome; above and below are null at the
/// picture's top and bottom edge.
inline bool onBoundary(const std::uint8_t *above, const std::uint8_t *here,
                       const std::uint8_t *below, int x, int width)
{
    const std::uint8_t o = here[x];
    return (x > 0 && here[x - 1] != o) || (x + 1 < width && here[x + 1] != o) ||
           (above && above[x] != o) || (below && below[x] != o);
}
