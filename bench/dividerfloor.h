#pragma once

// Shared with an object compiled for AVX2: declarations only, so that no code compiled for
// another instruction set can be picked by the linker for the rest of the program.

#include <cstdint>

/// Lanes of one step's divider work a turn of runDividerFloor does: 4 vectors of 4 lanes.
inline constexpr std::int64_t dividerFloorLanes = 16;

/// The divider work of `turns` x dividerFloorLanes steps and nothing else: for each of four
/// independent vectors, the 8 divisions and 2 square roots of a step, each on the result of the
/// last. Only where the processor has AVX2. Returns a value made of every result, so that none
/// can be left out.
double runDividerFloor(std::int64_t turns);
