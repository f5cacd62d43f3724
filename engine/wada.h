#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

/// The radii, in start points, at which wadaMeasures looks for every basin around a boundary
/// point.
inline constexpr std::array<int, 5> wadaRadii{1, 2, 4, 8, 16};

/// How the basins of a picture meet along their boundary, the start points with a left, right,
/// upper or lower neighbour of another outcome. Blocks are clipped at the picture's edge.
struct WadaMeasures
{
    /// meet[m - 1], m = 1 to the number of fixed masses: the share of boundary points whose 3 x 3
    /// block holds start points captured by exactly m distinct masses.
    std::vector<double> meet;
    /// For radius wadaRadii[i]: the share of boundary points p for which some mass k is missing
    /// from the (2r + 1) x (2r + 1) block centred on p, which does not hold both a start point
    /// captured by k and one not captured by k; none where that block is wider or taller than
    /// the picture. Falling to 0 slowly as r grows, it marks boundaries that every basin
    /// shares (Daza, Wagemakers and Sanjuán 2018).
    std::array<std::optional<double>, wadaRadii.size()> notWada;
};

/// The measures of a width x height outcome map in scan order (0 never captured, k captured by
/// mass k) of a field of this many fixed masses. Shares are 0 without boundary points.
WadaMeasures wadaMeasures(int width, int height, const std::uint8_t *outcomes, int masses);
