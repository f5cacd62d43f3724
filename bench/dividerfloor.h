#pragma once

// Shared with an object compiled for AVX2: declarations only, so that no code compiled for
// another instruction set can be picked by the linker for the rest of the program.

#include <cstdint>

/// Lanes of one step's divider work a turn of runDividerFloor does: 4 vectors of 4 lanes.
inline constexpr std::int64_t dividerFloorLanes = 16;

/// The numbers of fixed masses runDividerFloor does a step's work for.
inline constexpr int dividerFloorMasses[] = {2, 3, 5};

/// The divider work of `turns` x dividerFloorLanes steps with this many fixed masses (one of
/// dividerFloorMasses) and nothing else: for each of four independent vectors, the 4 divisions
/// and the square root of each mass, each on the result of the last. Only where the processor
/// has AVX2. Returns a value made of every result, so that none can be left out; NaN for another
/// number of masses.
double runDividerFloor(std::int64_t turns, int masses);
