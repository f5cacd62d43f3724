#pragma once

#include "engine/parameters.h"

#include <cstdint>

/// Everything a picture depends on besides its viewport: the trajectories' parameters, the
/// colours (red + 256 x green + 65536 x blue) and whether captures are shaded by their step.
struct Scene
{
    TrajectoryParameters trajectory = TrajectoryParameters::defaults(defaultClient);
    std::int32_t colorOne = sim::defaultColourOne;
    std::int32_t colorTwo = sim::defaultColourTwo;
    std::int32_t background = sim::defaultBackground;
    bool shade = false;

    /// Whether every start point has the same outcome and steps in both.
    bool sameOutcomes(const Scene &o) const;
    bool operator==(const Scene &o) const;
    bool operator!=(const Scene &o) const { return !(*this == o); }
};
