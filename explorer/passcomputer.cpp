#include "passcomputer.h"

#include "pendingpattern.h"

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
        pending_ =
            Request{number, view, scene, std::chrono::steady_clock::now(), engine_ != nullptr};
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

void PassComputer::stop()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!engine_)
        return;
    progress_.stopped = true;
    engine_->abandon();
}

PassProgress PassComputer::progress() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    PassProgress p = progress_;
    if (p.running) {
        p.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - began_)
                          .count();
    }
    return p;
}

void PassComputer::noteProgress(bool running)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    progress_.running = running;
    progress_.known = kept_ + current_->pointsComputed();
    progress_.pending = current_->pending();
    progress_.longest = current_->longestPending();
    if (!running) {
        progress_.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - began_)
                                  .count();
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

    Engine engine(request.scene.trajectory, Workers{Kernel::automatic, 0, &pool_});
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (latest_.load() != request.number)
            return;
        current_ = std::move(next);
        currentScene_ = request.scene;
        kept_ = kept;
        began_ = request.made;
        progress_ = PassProgress{request.number, true, kept, current_->view().pointCount()};
        engine_ = &engine;
    }
    QElapsedTimer sinceShown;
    sinceShown.start();
    std::int64_t counted = current_->pointsComputed();
    const auto count = [&] {
        pointsComputed_.fetch_add(current_->pointsComputed() - counted);
        counted = current_->pointsComputed();
    };
    const bool done = current_->run(engine, [&](const ViewTile &tile) {
        count();
        noteProgress(true);
        const bool passesDone = tile.passComplete && tile.level == 1;
        if (passesDone && current_->pending() == 0)
            return; // the run is over: delivered below
        const bool complete =
            tile.passComplete && (tile.round > 0 || tile.level == 1 || !mostlyKept);
        if (complete || sinceShown.elapsed() >= partialInterval) {
            const bool partial = !tile.passComplete && tile.round == 0;
            deliver(request,
                    partial ? std::min(tile.level * 2, ProgressiveView::coarsestLevel) : tile.level,
                    false);
            sinceShown.restart();
        }
        if (passesDone)
            deliverStatistics(request);
    });
    count();
    noteProgress(false);
    bool stopped = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        engine_ = nullptr;
        stopped = progress_.stopped;
    }
    if (done || stopped) {
        // Stopped: what finished stays on screen, the rest pending.
        deliver(request, 1, done);
        deliverStatistics(request);
    }
}

void PassComputer::deliver(const Request &request, int level, bool finished)
{
    if (latest_.load() != request.number)
        return;
    PassResult result;
    result.request = request.number;
    result.level = level;
    result.finished = finished;
    result.pending = finished ? 0 : current_->pending();
    result.view = request.view;
    result.scene = request.scene;
    const PointMaps &maps = current_->maps();
    result.image = paintView(maps, request.scene, level);
    if (!finished)
        paintPending(maps, level, result.image);
    emit passReady(result);
}

void PassComputer::deliverStatistics(const Request &request)
{
    if (latest_.load() != request.number)
        return;
    // The statistics on a thread of their own, so that the next request need not wait for them;
    // start points not known count as never captured.
    const PointMaps &maps = current_->maps();
    auto outcomes = std::make_shared<std::vector<std::uint8_t>>(maps.outcomes);
    std::int64_t unknown = 0;
    for (std::uint8_t &o : *outcomes) {
        if (o == std::uint8_t(PointOutcome::notComputed)) {
            o = std::uint8_t(PointOutcome::never);
            ++unknown;
        }
    }
    auto steps = std::make_shared<const std::vector<std::uint64_t>>(maps.steps);
    const quint64 number = request.number;
    const int width = maps.width;
    const int height = maps.height;
    const int masses = int(request.scene.trajectory.masses.size());
    statisticsPool_.start([this, outcomes, steps, number, width, height, masses, unknown] {
        if (latest_.load() != number)
            return;
        Statistics statistics =
            basinStatistics(width, height, outcomes->data(),
                            steps->empty() ? nullptr : steps->data(), defaultEntropyBox, masses);
        // How three basins or more meet, once every start point is known.
        if (masses >= 3 && unknown == 0)
            statistics.wada = wadaMeasures(width, height, outcomes->data(), masses);
        emit statisticsReady(number, statistics, unknown);
    });
}
