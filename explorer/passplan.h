#pragma once

#include <QSize>

#include <cstdint>
#include <vector>

/// The passes that compute a viewport coarse to fine: every 8th point in each direction, then the
/// points that refine it to every 4th, every 2nd and every point. No point is in two passes.
namespace passplan {

inline constexpr int count = 4;

/// The distance between the points known after pass (0 to 3): 8, 4, 2, 1.
constexpr int stride(int pass)
{
    return 8 >> pass;
}

/// The pass that computes point (i, j).
int passOf(int i, int j);

/// The indices (j x width + i) of the points of pass whose known flag is 0.
std::vector<std::int32_t> points(QSize size, int pass, const std::vector<std::uint8_t> &known);

} // namespace passplan
