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
#include <type_traits>

namespace {

/// Start points a worker takes at a time: small enough to balance trajectories of very
/// different lengths, large enough that taking them costs nothing.
constexpr std::int64_t chunkSize = 16;

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
      surface_(parameters.client, parameters.background), kernel_(resolvedKernel(parameters.kernel))
{
    const std::vector<sim::StartPoint> row = sim::startPoints(firstRowOf(parameters));
    for (const sim::StartPoint &p : row)
        columns_.push_back(p.x);
    firstRowY_ = row.front().y;
    captures_.assign(columns_.size() * std::size_t(parameters.picture.height()),
                     sim::Capture::none);
    if (parameters.keepPointSteps)
        pointSteps_.assign(captures_.size(), 0);
}

sim::StartPoint Renderer::startPoint(std::int64_t index) const
{
    const auto width = std::int64_t(columns_.size());
    return {columns_[std::size_t(index % width)], std::int16_t(firstRowY_ + index / width)};
}

bool Renderer::take(std::int64_t &first, std::int64_t &end)
{
    if (abandoned())
        return false;
    const std::int64_t count = pointCount();
    first = std::min(nextPoint_.fetch_add(chunkSize, std::memory_order_relaxed), count);
    end = std::min(first + chunkSize, count);
    return first < end;
}

void Renderer::work()
{
    static_assert(std::is_same_v<std::underlying_type_t<sim::Capture>, std::uint8_t> &&
                  std::uint8_t(sim::Capture::none) == 0 && std::uint8_t(sim::Capture::one) == 1 &&
                  std::uint8_t(sim::Capture::two) == 2);
    KernelJob job;
    job.massrot = state_.massrot;
    job.massgreen = state_.massgreen;
    job.massblau = state_.massblau;
    job.xrot = state_.xrot;
    job.yrot = state_.yrot;
    job.xblau = state_.xblau;
    job.yblau = state_.yblau;
    job.radiusOne = parameters_.radiusOne;
    job.radiusTwo = parameters_.radiusTwo;
    job.limit = parameters_.stepLimit;
    job.columns = columns_.data();
    job.width = std::int64_t(columns_.size());
    job.firstRow = firstRowY_;
    job.take = [](void *queue, std::int64_t *first, std::int64_t *end) {
        return static_cast<Renderer *>(queue)->take(*first, *end);
    };
    job.report = [](void *queue, std::int64_t points, std::uint64_t steps) {
        auto *renderer = static_cast<Renderer *>(queue);
        renderer->steps_.fetch_add(steps, std::memory_order_relaxed);
        renderer->pointsDone_.fetch_add(points, std::memory_order_relaxed);
    };
    job.abandoned = [](void *queue) { return static_cast<Renderer *>(queue)->abandoned(); };
    job.queue = this;
    job.captures = reinterpret_cast<std::uint8_t *>(captures_.data());
    job.steps = pointSteps_.empty() ? nullptr : pointSteps_.data();
    kernelEntry(kernel_)(job);
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
    // Row by row, in scan order.
    const sim::Capture *capture = captures_.data();
    for (int row = 0; row < parameters_.picture.height(); ++row) {
        const auto y = float(firstRowY_ + row);
        for (const float x : columns_) {
            switch (*capture++) {
            case sim::Capture::one:
                surface_.setPixel(x, y, state_.colorrot);
                ++summary.capturedOne;
                break;
            case sim::Capture::two:
                surface_.setPixel(x, y, state_.colorblau);
                ++summary.capturedTwo;
                break;
            case sim::Capture::none:
                ++summary.neverCaptured;
                break;
            }
        }
    }
    return summary;
}
