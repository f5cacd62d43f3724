#include "renderer.h"

#include "sim/defaults.h"
#include "sim/run.h"

#include <QFuture>
#include <QList>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <array>

namespace {

/// Start points a worker takes at a time: small enough to balance trajectories of very
/// different lengths, large enough that taking them costs nothing.
constexpr std::int64_t chunkSize = 16;

/// Trajectories a worker follows side by side. Their steps are independent, so the processor
/// overlaps the divisions and square roots of one with those of the others; a single
/// trajectory waits on each in turn.
constexpr int laneCount = 3;

/// The top row of the picture rectangle, centred as the size scrollbars centre it.
sim::Rect firstRowOf(const RenderParameters &p)
{
    sim::Rect row = sim::centredPicture(float(p.client.width()), float(p.client.height()),
                                        float(p.picture.width()), float(p.picture.height()));
    row.height = 1;
    return row;
}

std::int16_t clampedPosition(std::int16_t value, int max)
{
    return std::int16_t(std::clamp<int>(value, 0, max));
}

} // namespace

RenderParameters RenderParameters::defaults(QSize client)
{
    const sim::simstate s = sim::defaultState(float(client.width()), float(client.height()));
    RenderParameters p;
    p.client = client;
    p.xrot = clampedPosition(s.xrot, client.width());
    p.yrot = clampedPosition(s.yrot, client.height());
    p.xblau = clampedPosition(s.xblau, client.width());
    p.yblau = clampedPosition(s.yblau, client.height());
    return p;
}

int RenderParameters::workers() const
{
    return threads > 0 ? threads : std::max(1, QThread::idealThreadCount());
}

sim::simstate RenderParameters::state() const
{
    sim::simstate s = sim::defaultState(float(client.width()), float(client.height()));
    s.xrot = xrot;
    s.yrot = yrot;
    s.xblau = xblau;
    s.yblau = yblau;
    s.massrot = massOne * sim::fixedMassUnit;
    s.massblau = std::int32_t(massTwo * sim::fixedMassUnit);
    s.massgreen = massMoving * sim::movingMassUnit;
    s.colorrot = colorOne;
    s.colorblau = colorTwo;
    return s;
}

Renderer::Renderer(const RenderParameters &parameters)
    : parameters_(parameters), state_(parameters.state()),
      surface_(parameters.client, parameters.background),
      firstRow_(sim::startPoints(firstRowOf(parameters))),
      captures_(firstRow_.size() * std::size_t(parameters.picture.height()), sim::Capture::none),
      pointSteps_(parameters.keepPointSteps ? captures_.size() : 0)
{
}

sim::StartPoint Renderer::startPoint(std::int64_t index) const
{
    const auto width = std::int64_t(firstRow_.size());
    const sim::StartPoint &column = firstRow_[std::size_t(index % width)];
    return {column.x, std::int16_t(column.y + index / width)};
}

void Renderer::work()
{
    const std::int64_t count = pointCount();
    const std::int16_t radiusOne = parameters_.radiusOne;
    const std::int16_t radiusTwo = parameters_.radiusTwo;
    const std::uint64_t limit = parameters_.stepLimit;

    std::int64_t next = 0;
    std::int64_t end = 0;
    std::int64_t done = 0;
    std::uint64_t steps = 0;
    const auto flush = [&] {
        steps_.fetch_add(steps, std::memory_order_relaxed);
        pointsDone_.fetch_add(done, std::memory_order_relaxed);
        steps = 0;
        done = 0;
    };
    // The next start point of this worker's chunk, a new chunk when it is used up; -1 at the end.
    const auto take = [&]() -> std::int64_t {
        if (next == end) {
            flush();
            if (abandoned())
                return -1;
            next = std::min(nextPoint_.fetch_add(chunkSize, std::memory_order_relaxed), count);
            end = std::min(next + chunkSize, count);
            if (next == end)
                return -1;
        }
        return next++;
    };
    const auto begin = [&](Lane &lane) {
        lane.point = take();
        if (lane.point < 0)
            return false;
        const sim::StartPoint p = startPoint(lane.point);
        lane.s = state_;
        lane.s.xgreen = p.x;
        lane.s.ygreen = p.y;
        lane.trajectory = sim::Trajectory();
        return true;
    };

    std::array<Lane, laneCount> lanes;
    int active = 0;
    for (Lane &lane : lanes)
        active += begin(lane) ? 1 : 0;
    // One step of each lane per turn.
    while (active > 0 && !abandoned()) {
        for (Lane &lane : lanes) {
            if (lane.point < 0)
                continue;
            if (!lane.trajectory.advance(lane.s, radiusOne, radiusTwo, limit)) {
                captures_[std::size_t(lane.point)] = lane.trajectory.capture();
                if (!pointSteps_.empty())
                    pointSteps_[std::size_t(lane.point)] = lane.trajectory.steps();
                steps += lane.trajectory.steps();
                ++done;
                if (!begin(lane))
                    --active;
            }
        }
    }
    flush();
}

RenderSummary Renderer::render(const std::function<void()> &onProgress, QThreadPool *pool)
{
    const int threads = parameters_.workers();

    QThreadPool ownPool;
    if (!pool) {
        ownPool.setMaxThreadCount(threads);
        pool = &ownPool;
    }
    QSemaphore finished;
    QList<QFuture<void>> workers;
    for (int i = 0; i < threads; ++i) {
        workers.append(QtConcurrent::run(pool, [this, &finished] {
            work();
            finished.release();
        }));
    }
    while (!finished.tryAcquire(threads, 100)) {
        if (onProgress)
            onProgress();
    }
    for (QFuture<void> &worker : workers)
        worker.waitForFinished();
    if (abandoned())
        return {};

    sim::drawCaptureCircles(state_, surface_, parameters_.radiusOne, parameters_.radiusTwo);

    RenderSummary summary;
    summary.points = pointCount();
    summary.steps = steps_.load();
    for (std::int64_t i = 0; i < pointCount(); ++i) {
        const sim::StartPoint p = startPoint(i);
        switch (captures_[std::size_t(i)]) {
        case sim::Capture::one:
            surface_.setPixel(p.x, p.y, state_.colorrot);
            ++summary.capturedOne;
            break;
        case sim::Capture::two:
            surface_.setPixel(p.x, p.y, state_.colorblau);
            ++summary.capturedTwo;
            break;
        case sim::Capture::none:
            ++summary.neverCaptured;
            break;
        }
    }
    return summary;
}
