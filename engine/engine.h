#pragma once

#include "kernel.h"
#include "parameters.h"
#include "view.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class QThreadPool;

/// Where a computation runs. The outcomes and step counts are the same for every choice.
struct Workers
{
    Kernel kernel = Kernel::automatic;
    int threads = 0; ///< worker threads, 0 to maxThreads; 0: one a core
    /// A pool the workers run in, which several computations may share; null: threads of the
    /// computation's own, as many as the system lets start (the calling thread works alone when
    /// none can).
    QThreadPool *pool = nullptr;

    /// The worker threads a computation starts: threads, or one a core.
    int count() const;

    /// The most worker threads a front end may ask for.
    static constexpr int maxThreads = 1024;
};

/// How a start point ended, as the maps hold it (one byte, so that 0, 1 and 2 are the values
/// sim::Capture has).
enum class PointOutcome : std::uint8_t {
    never = 0,          ///< never captured: the step limit reached, or an input repeated
    one = 1,            ///< captured by mass one
    two = 2,            ///< captured by mass two
    notComputed = 0xFF, ///< not computed (yet): abandoned, or left to a later pass
};

/// The outcome and step count of every start point of a view, row by row (index j x width + i).
struct PointMaps
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> outcomes; ///< PointOutcome values
    /// The steps each start point took, the capturing one included; empty when not kept.
    std::vector<std::uint64_t> steps;
};

/// Computes the outcomes of start points for one set of parameters, spread over worker threads
/// in chunks: grids, views or lists of start points, each computation blocking its caller.
/// Every kernel and thread count gives every start point the same outcome and step count.
class Engine
{
public:
    explicit Engine(const TrajectoryParameters &parameters, const Workers &workers = {});
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    /// Called on the computing thread about every tenth of a second while a computation runs,
    /// with pointsDone().
    void setProgress(std::function<void(std::int64_t done)> onProgress);
    /// The pool the next computations run in (null: threads of their own); not during one.
    void setPool(QThreadPool *pool) { workers_.pool = pool; }
    /// The most steps the next computations follow a start point, when below the parameters'
    /// step limit: a start point it stops ends as PointOutcome::never after exactly that many
    /// steps, as under that step limit. Not during a computation.
    void setStepBudget(std::uint64_t steps) { budget_ = steps; }
    /// The steps a start point is followed at most: the budget or the step limit.
    std::uint64_t stepBudget() const { return std::min(budget_, parameters_.stepLimit); }

    /// Ends the computation under way and every later one of this engine: its workers begin no
    /// new start point and leave the trajectories they follow within about a millisecond, and
    /// the computation returns false with its maps partial. Any thread, at any moment.
    void abandon() { abandoned_.store(true, std::memory_order_relaxed); }
    bool abandoned() const { return abandoned_.load(std::memory_order_relaxed); }

    /// The start points of the grid x = columns[i] (single values) by y = rows[j]: the outcome
    /// of point (i, j) to outcomes[j x width + i] and, unless steps is null, its steps to
    /// steps[j x width + i]. Points whose computation was abandoned keep what they held.
    bool computeGrid(const float *columns, std::int64_t width, const double *rows,
                     std::int64_t height, std::uint8_t *outcomes, std::uint64_t *steps);
    /// The start points (x[k], y[k]) for k = 0..count-1, each to outcomes[k] and steps[k].
    bool computePoints(const float *x, const double *y, std::int64_t count, std::uint8_t *outcomes,
                       std::uint64_t *steps);
    /// Every start point of a view that checkView() accepts, row by row, into maps (resized to
    /// the view; steps kept when keepSteps).
    bool computeView(const View &view, PointMaps &maps, bool keepSteps = true);

    /// Start points finished and steps taken by this engine's computations so far, the one
    /// under way included; any thread.
    std::int64_t pointsDone() const { return pointsDone_.load(std::memory_order_relaxed); }
    std::uint64_t stepsTaken() const { return steps_.load(std::memory_order_relaxed); }
    /// The steps of the longest trajectory under way, as the workers last told (about every
    /// tenth of a second); 0 before. Any thread.
    std::uint64_t longestRunning() const
    {
        return longestRunning_.load(std::memory_order_relaxed);
    }

    const TrajectoryParameters &parameters() const { return parameters_; }
    /// The kernel that runs: the workers' request, resolved.
    Kernel kernel() const { return kernel_; }
    int threadCount() const { return threads_; }

private:
    struct Task;
    bool run(Task &task);

    TrajectoryParameters parameters_;
    sim::MassField field_; ///< what the kernels read, made once
    Workers workers_;
    Kernel kernel_;
    int threads_;
    std::uint64_t budget_ = ~std::uint64_t(0);
    std::function<void(std::int64_t)> onProgress_;
    std::atomic<std::int64_t> pointsDone_{0};
    std::atomic<std::uint64_t> steps_{0};
    std::atomic<bool> abandoned_{false};
    std::atomic<std::uint64_t> longestSeen_{0}; ///< since longestRunning_ was last set
    std::atomic<std::uint64_t> longestRunning_{0};
};
