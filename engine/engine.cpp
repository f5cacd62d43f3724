#include "engine.h"

#include "kerneljob.h"
#include "sim/step.h"

#include <QFuture>
#include <QList>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>
#include <thread>
#include <type_traits>

namespace {

/// Start points a worker takes at a time at most: small enough to balance trajectories of very
/// different lengths, large enough that taking them costs nothing. Fewer when the start points
/// are few, so that a handful of long ones is shared among the workers.
constexpr std::int64_t chunkSize = 16;

static_assert(std::is_same_v<std::underlying_type_t<sim::Capture>, std::uint8_t> &&
              std::uint8_t(sim::Capture::none) == std::uint8_t(PointOutcome::never) &&
              std::uint8_t(sim::Capture::one) == std::uint8_t(PointOutcome::one) &&
              std::uint8_t(sim::Capture::two) == std::uint8_t(PointOutcome::two));

} // namespace

int Workers::count() const
{
    return threads > 0 ? threads : std::max(1, QThread::idealThreadCount());
}

/// One computation's start points and where their results go, as the kernels take them.
struct Engine::Task
{
    Engine *engine;
    KernelJob job;
    std::int64_t count;
    std::int64_t chunk = chunkSize;
    std::atomic<std::int64_t> next{0};

    bool take(std::int64_t &first, std::int64_t &end)
    {
        if (engine->abandoned())
            return false;
        first = std::min(next.fetch_add(chunk, std::memory_order_relaxed), count);
        end = std::min(first + chunk, count);
        return first < end;
    }
};

Engine::Engine(const TrajectoryParameters &parameters, const Workers &workers)
    : parameters_(parameters), field_(parameters.field()), workers_(workers),
      // The vector kernel follows two masses only.
      kernel_(resolvedKernel(workers.kernel)),
      threads_(workers.count())
{
}

void Engine::setProgress(std::function<void(std::int64_t)> onProgress)
{
    onProgress_ = std::move(onProgress);
}

bool Engine::run(Task &task)
{
    KernelJob &job = task.job;
    job.field = field_;
    job.limit = stepBudget();
    job.take = [](void *queue, std::int64_t *first, std::int64_t *end) {
        return static_cast<Task *>(queue)->take(*first, *end);
    };
    job.report = [](void *queue, std::int64_t points, std::uint64_t steps) {
        Engine *engine = static_cast<Task *>(queue)->engine;
        engine->steps_.fetch_add(steps, std::memory_order_relaxed);
        engine->pointsDone_.fetch_add(points, std::memory_order_relaxed);
    };
    job.abandoned = [](void *queue) { return static_cast<Task *>(queue)->engine->abandoned(); };
    job.running = [](void *queue, std::uint64_t longest) {
        std::atomic<std::uint64_t> &seen = static_cast<Task *>(queue)->engine->longestSeen_;
        std::uint64_t was = seen.load(std::memory_order_relaxed);
        while (was < longest && !seen.compare_exchange_weak(was, longest))
            ;
    };
    job.queue = &task;

    if (abandoned())
        return false;
    if (task.count == 0)
        return true;
    task.chunk = std::clamp<std::int64_t>(task.count / (4 * std::int64_t(threads_)), 1, chunkSize);
    const int threads =
        int(std::min<std::int64_t>(threads_, (task.count + task.chunk - 1) / task.chunk));
    const KernelEntry entry = kernelEntry(kernel_);
    QSemaphore finished;
    const auto wait = [&](int workers) {
        while (!finished.tryAcquire(workers, 100)) {
            longestRunning_.store(longestSeen_.exchange(0), std::memory_order_relaxed);
            if (onProgress_)
                onProgress_(pointsDone());
        }
    };
    if (QThreadPool *pool = workers_.pool) {
        QList<QFuture<void>> futures;
        for (int i = 0; i < threads; ++i) {
            futures.append(QtConcurrent::run(pool, [&job, entry, &finished] {
                entry(job);
                finished.release();
            }));
        }
        wait(threads);
        for (QFuture<void> &future : futures)
            future.waitForFinished();
        return !abandoned();
    }
    // Threads of its own, so that a thread the system cannot start is known: the computation
    // then runs on those that started, or on the calling thread alone, never waiting for one
    // that does not exist.
    std::vector<std::thread> started;
    try {
        started.reserve(std::size_t(threads));
        while (int(started.size()) < threads) {
            started.emplace_back([&job, entry, &finished] {
                entry(job);
                finished.release();
            });
        }
    } catch (const std::exception &) {
        // std::system_error when the thread could not start, std::bad_alloc when its record
        // could not be made.
    }
    if (started.empty())
        entry(job);
    else
        wait(int(started.size()));
    for (std::thread &thread : started)
        thread.join();
    return !abandoned();
}

bool Engine::computeGrid(const float *columns, std::int64_t width, const double *rows,
                         std::int64_t height, std::uint8_t *outcomes, std::uint64_t *steps)
{
    Task task;
    task.engine = this;
    task.count = width * height;
    task.job.columns = columns;
    task.job.rows = rows;
    task.job.columnCount = width;
    task.job.pointsPerRow = width;
    task.job.captures = outcomes;
    task.job.steps = steps;
    return run(task);
}

bool Engine::computePoints(const float *x, const double *y, std::int64_t count,
                           std::uint8_t *outcomes, std::uint64_t *steps)
{
    Task task;
    task.engine = this;
    task.count = count;
    task.job.columns = x;
    task.job.rows = y;
    task.job.columnCount = count;
    task.job.pointsPerRow = 1;
    task.job.captures = outcomes;
    task.job.steps = steps;
    return run(task);
}

bool Engine::computeView(const View &view, PointMaps &maps, bool keepSteps)
{
    std::vector<float> columns(std::size_t(std::max(view.width, 0)));
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = view.columnX(std::int64_t(i));
    std::vector<double> rows(std::size_t(std::max(view.height, 0)));
    for (std::size_t j = 0; j < rows.size(); ++j)
        rows[j] = view.rowY(std::int64_t(j));
    maps.width = view.width;
    maps.height = view.height;
    maps.outcomes.assign(std::size_t(view.pointCount()), std::uint8_t(PointOutcome::notComputed));
    maps.steps.assign(keepSteps ? maps.outcomes.size() : 0, 0);
    return computeGrid(columns.data(), view.width, rows.data(), view.height, maps.outcomes.data(),
                       keepSteps ? maps.steps.data() : nullptr);
}
