#pragma once

#include "renderer.h"

#include "engine/fractal.h"
#include "engine/statistics.h"

#include <cstdint>
#include <functional>

class QThreadPool;

/// The random start points asked for, beside or instead of the picture's grid.
struct RandomPointOptions
{
    std::int64_t uncertainty = 0; ///< points for the uncertainty exponent; 0 for none
    std::int64_t sample = 0;      ///< points for the sampled fractions; 0 for none
    std::uint64_t seed = 1;
};

/// Where a picture's start points lie: x from its first column to one past its last, y from
/// its first row to one past its last.
Region pictureRegion(const RenderParameters &parameters);

/// Whether the work under way is to be given up; asked about every tenth of a second.
using AbandonedFunction = std::function<bool()>;

/// The outcomes of any start points under these parameters, followed by the engine's kernel on
/// the worker threads of pool (or of threads of their own, as many as the parameters ask for).
/// Once abandoned says true, the points under way are left, their outcomes incomplete.
OutcomeFunction pointOutcomes(const RenderParameters &parameters, QThreadPool *pool = nullptr,
                              const AbandonedFunction &abandoned = {});

/// Adds to statistics the measures of random start points that options ask for; false, with
/// statistics as they were, once abandoned says true.
bool addRandomMeasures(Statistics &statistics, const RenderParameters &parameters,
                       const RandomPointOptions &options, QThreadPool *pool = nullptr,
                       const AbandonedFunction &abandoned = {});
