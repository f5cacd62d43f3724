#pragma once

#include "pointmaps.h"

#include <atomic>
#include <cstdint>
#include <vector>
#include <functional>

/// Follows the trajectories of the points indices[0..count) of maps.view under maps.scene and
/// writes their outcomes and steps into maps, marking each known once it is finished. Returns
/// false as soon as abandoned() says so, within a few thousand steps, leaving the points under way
/// unknown. Several threads may run it at once on different points of the same maps.
bool followPoints(PointMaps &maps, const std::int32_t *indices, std::size_t count,
                  const std::function<bool()> &abandoned);

class QThreadPool;

/// Follows the given points on every thread of pool (which must be idle), a few at a time, and
/// adds each finished point to *done. False when abandoned() said so.
bool followInParallel(PointMaps &maps, const std::vector<std::int32_t> &points, QThreadPool &pool,
                      const std::function<bool()> &abandoned, std::atomic<std::int64_t> *done);
