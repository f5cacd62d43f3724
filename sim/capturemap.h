#pragma once

#include "rect.h"
#include "scan.h"
#include "simstate.h"
#include "step.h"

#include <cstdint>
#include <vector>

namespace sim {

/// One start point of a capture map and how its trajectory ended.
struct CapturedPoint
{
    StartPoint point;
    TrajectoryResult result;
};

/// The capture map of a picture: every start point of the rectangle in scan order, each with the
/// whole trajectory from it under the parameters of s and the given radii, nothing changed
/// between steps, at most limit steps. What a complete, undisturbed run paints.
std::vector<CapturedPoint> captureMap(const simstate &s, const Rect &picture,
                                      std::int16_t radiusOne, std::int16_t radiusTwo,
                                      std::uint64_t limit = stepLimit);

} // namespace sim
