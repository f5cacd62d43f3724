#pragma once

#include "scene/scene.h"
#include "scene/viewport.h"

#include "engine/progressive.h"
#include "engine/statistics.h"

#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

/// A pass of a request, painted: what the view shows once it lands.
struct PassResult
{
    quint64 request = 0;
    int level = 8;         ///< 8, 4, 2 or 1: every level-th start point is known
    bool finished = false; ///< every start point is known: the picture is exact
    /// Start points of finished passes still running, drawn as pending (pendingpattern.h).
    std::int64_t pending = 0;
    Viewport view;
    Scene scene;
    QImage image;
};
Q_DECLARE_METATYPE(PassResult)

/// How far the latest request has come.
struct PassProgress
{
    quint64 request = 0;
    bool running = false;
    std::int64_t known = 0;      ///< start points known, of
    std::int64_t total = 0;      ///< the view's
    std::int64_t pending = 0;    ///< start points of finished passes still running
    std::uint64_t longest = 0;   ///< steps the longest of them has run so far
    std::int64_t elapsedMs = 0;  ///< since the request
    bool stopped = false;        ///< ended by stop(), with the rest unknown
};
Q_DECLARE_METATYPE(Statistics)

/// Computes the viewports the explorer asks for, coarse to fine, away from the GUI thread. A
/// request abandons the one under way at once and the last request always wins; the start
/// points a whole-point pan keeps are taken over, not computed again. Each pass is painted on
/// the computing thread and handed over by passReady; the finest pass also now and then while
/// it runs. When most of a view is kept (a pan), only the finest pass is painted: the kept
/// points are on screen already, and the new strips are done almost at once. Whatever finished
/// is painted at least every partialInterval while anything runs: start points that run long
/// are left to rounds after the passes (ProgressiveView) and drawn as pending meanwhile.
class PassComputer : public QObject
{
    Q_OBJECT

public:
    /// threads: worker threads, 0 for one a core.
    explicit PassComputer(int threads = 0, QObject *parent = nullptr);
    ~PassComputer() override;

    /// Computes view under scene from now on; returns the request's number, which its results
    /// carry. Any thread.
    quint64 request(const Viewport &view, const Scene &scene);
    /// The number of the latest request.
    quint64 latest() const { return latest_.load(); }
    /// Ends the latest request's computation, leaving what finished painted. Any thread.
    void stop();
    /// How far the latest request has come. Any thread.
    PassProgress progress() const;

    /// Start points whose trajectories were followed since construction.
    std::int64_t pointsComputed() const { return pointsComputed_.load(); }

    /// Nanoseconds from the last request that found a computation under way to the moment that
    /// computation's workers had returned and the request's own began; -1 before the first.
    std::int64_t lastHandOverNs() const { return handOver_.load(); }

    /// How often the finest pass is shown while it runs, in milliseconds.
    static constexpr int partialInterval = 150;

signals:
    /// From the computing thread; the receiver drops a result whose request is not the latest.
    void passReady(const PassResult &result);
    /// The statistics of a request, soon after its last pass, or after the passes while pending
    /// start points (counted as never captured) still run; with three masses or more, how their
    /// basins meet once none is pending.
    void statisticsReady(quint64 request, const Statistics &statistics, qint64 pending);

private:
    struct Request
    {
        quint64 number;
        Viewport view;
        Scene scene;
        std::chrono::steady_clock::time_point made;
        bool interrupts; ///< a computation was under way when it was made
    };
    void coordinate();
    void compute(const Request &request);
    void deliver(const Request &request, int level, bool finished);
    void deliverStatistics(const Request &request);
    void noteProgress(bool running);

    QThreadPool pool_;
    QThreadPool statisticsPool_; ///< one thread, for the statistics of finished views
    mutable std::mutex mutex_;
    PassProgress progress_;            ///< under mutex_
    std::int64_t kept_ = 0;            ///< start points current_ took over
    std::chrono::steady_clock::time_point began_;
    std::condition_variable wake_;
    std::optional<Request> pending_;
    bool stopping_ = false;
    Engine *engine_ = nullptr; ///< the one under way, under mutex_
    std::atomic<quint64> latest_{0};
    std::atomic<std::int64_t> pointsComputed_{0};
    std::atomic<std::int64_t> handOver_{-1};
    std::unique_ptr<ProgressiveView> current_; ///< the computing thread's own
    Scene currentScene_;
    std::thread thread_;
};
