#include "passcomputer.h"

#include "scene/painter.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

PassComputer::PassComputer(int threads, QObject *parent) : QObject(parent)
{
    qRegisterMetaType<PassResult>();
    qRegisterMetaType<Statistics>();
    pool_.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));
    statisticsPool_.setMaxThreadCount(1);
    thread_ = std::thread([this] { coordinate(); });
}

PassComputer::~PassComputer()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        if (engine_)
            engine_->abandon();
    }
    wake_.notify_one();
    thread_.join();
    statisticsPool_.waitForDone();
}

quint64 PassComputer::request(const Viewport &view, const Scene &scene)
{
    quint64 number = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        number = latest_.load() + 1;
        pending_ = Request{number, view, scene, std::chrono::steady_clock::now(),
                           engine_ != nullptr};
        latest_.store(number);
        if (engine_)
            engine_->abandon();
    }
    wake_.notify_one();
    return number;
}

void PassComputer::coordinate()
{
    for (;;) {
        Request request;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || pending_; });
            if (stopping_)
                return;
            request = *pending_;
            pending_.reset();
        }
        if (request.interrupts) {
            handOver_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::steady_clock::now() - request.made)
                                .count());
        }
        compute(request);
    }
}

void PassComputer::compute(const Request &request)
{
    // Step counts only where shading needs them: 8 bytes a start point, to be allocated afresh.
    auto next = std::make_unique<ProgressiveView>(request.view.toView(), request.scene.shade);
    std::int64_t kept = 0;
    if (current_ && currentScene_.sameOutcomes(request.scene))
        kept = next->keep(*current_);
    const bool mostlyKept = 2 * kept > next->view().pointCount();
    current_ = std::move(next);
    currentScene_ = request.scene;

    Engine engine(request.scene.trajectory, Workers{Kernel::automatic, 0, &pool_});
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (latest_.load() != request.number)
            return;
        engine_ = &engine;
    }
    QElapsedTimer sinceShown;
    sinceShown.start();
    std::int64_t counted = current_->pointsComputed();
    const auto count = [&] {
        pointsComputed_.fetch_add(current_->pointsComputed() - counted);
        counted = current_->pointsComputed();
    };
    current_->run(engine, [&](const ViewTile &tile) {
        count();
        const bool finest = tile.level == 1;
        if ((tile.passComplete && (finest || !mostlyKept)) ||
            (finest && sinceShown.elapsed() >= partialInterval)) {
            deliver(request, tile.level, tile.passComplete && finest);
            sinceShown.restart();
        }
    });
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        engine_ = nullptr;
    }
    count();
}

void PassComputer::deliver(const Request &request, int level, bool finished)
{
    if (latest_.load() != request.number)
        return;
    PassResult result;
    result.request = request.number;
    result.level = level;
    result.finished = finished;
    result.view = request.view;
    result.scene = request.scene;
    const PointMaps &maps = current_->maps();
    result.image = paintView(maps, request.scene, level);
    emit passReady(result);
    if (!finished)
        return;
    // The statistics on a thread of their own, so that the next request need not wait for them.
    auto outcomes = std::make_shared<const std::vector<std::uint8_t>>(maps.outcomes);
    auto steps = std::make_shared<const std::vector<std::uint64_t>>(maps.steps);
    const quint64 number = request.number;
    const int width = maps.width;
    const int height = maps.height;
    const int masses = int(request.scene.trajectory.masses.size());
    statisticsPool_.start([this, outcomes, steps, number, width, height, masses] {
        if (latest_.load() != number)
            return;
        emit statisticsReady(number,
                             basinStatistics(width, height, outcomes->data(),
                                             steps->empty() ? nullptr : steps->data(),
                                             defaultEntropyBox, masses));
    });
}
