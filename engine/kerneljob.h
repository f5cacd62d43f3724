#pragma once

// Shared with the AVX2 kernel's translation unit, which is compiled for another instruction set:
// nothing here may define a function, a constructor or a default member value, so that no code
// compiled for AVX2 can ever be picked by the linker for the rest of the program.

#include "sim/field.h"

#include <cstdint>

/// The work a kernel does on one worker thread: every start point it takes from the shared
/// queue, followed to its end exactly as sim::Trajectory follows it with nothing changed
/// between steps. Plain data, filled completely by the caller.
struct KernelJob
{
    /// What every step reads: the fixed masses and the moving mass's kilograms.
    sim::MassField field;
    std::uint64_t limit; ///< the step limit per start point

    /// Start point i starts at x = columns[i % columnCount] (a single value) and
    /// y = rows[i / pointsPerRow]: a grid has columnCount = pointsPerRow = its width, a list of
    /// start points (x[i], y[i]) has columnCount = its length and pointsPerRow = 1; no other
    /// pointsPerRow, so that one division finds both.
    const float *columns;
    const double *rows;
    std::int64_t columnCount;
    std::int64_t pointsPerRow;

    /// Hands out the next chunk of start point indices as [*first, *end); false once none are
    /// left. Any thread may call it at any time.
    bool (*take)(void *queue, std::int64_t *first, std::int64_t *end);
    /// Adds start points finished and steps taken since the last report. A kernel reports
    /// before each take; it takes again after each start point once none are left, so its last
    /// report comes after its last start point.
    void (*report)(void *queue, std::int64_t points, std::uint64_t steps);
    /// True once the start points are no longer wanted: the kernel then returns within a few
    /// thousand turns, its start points in progress unfinished. Any thread may call it at any time.
    bool (*abandoned)(void *queue);
    /// Each time a kernel asks whether abandoned: the steps of its longest trajectory in progress.
    void (*running)(void *queue, std::uint64_t longest);
    void *queue;

    /// Per start point index: how it ended (0 never captured, k captured by mass k) and, unless null,
    /// the steps it took, the capturing one included.
    std::uint8_t *captures;
    std::uint64_t *steps;
};

/// Turns of a kernel's lanes between two questions whether the picture is abandoned.
inline constexpr unsigned abandonCheckTurns = 4096;

/// The reference: sim::Trajectory, a few side by side. Runs on every processor.
void runScalarKernel(const KernelJob &job);

/// Four start points a vector, several vectors at once. Only where the processor has AVX2.
void runAvx2Kernel(const KernelJob &job);
