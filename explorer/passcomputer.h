#pragma once

#include "pointmaps.h"

#include "render/statistics.h"

#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

/// One pass of a request, painted: what the view shows once it lands.
struct PassResult
{
    quint64 request = 0;
    int pass = 0;      ///< 0 to 3, coarse to fine
    bool finished = false; ///< every point is known: the picture is exact
    Viewport view;
    Scene scene;
    QImage image;
    /// Of the finished picture only.
    std::shared_ptr<const Statistics> statistics;
};
Q_DECLARE_METATYPE(PassResult)

/// Computes the viewports the explorer asks for, coarse to fine, away from the GUI thread. A
/// request abandons the one under way at once (its workers return within a few thousand steps)
/// and the last request always wins; the points a whole-point pan keeps are taken over, not
/// computed again. Each pass is painted on the computing thread and handed over by passReady.
class PassComputer : public QObject
{
    Q_OBJECT

public:
    /// threads: worker threads, 0 for one per core.
    explicit PassComputer(int threads = 0, QObject *parent = nullptr);
    ~PassComputer() override;

    /// Computes view under scene from now on; returns the request's number, which its results
    /// carry. Any thread.
    quint64 request(const Viewport &view, const Scene &scene);
    /// The number of the latest request.
    quint64 latest() const { return latest_.load(); }

    /// Start points whose trajectories were followed since construction.
    std::int64_t pointsComputed() const { return pointsComputed_.load(); }

signals:
    /// From the computing thread; the receiver drops a result whose request is not the latest.
    void passReady(const PassResult &result);

private:
    struct Request
    {
        quint64 number;
        Viewport view;
        Scene scene;
    };
    void coordinate();
    void compute(const Request &request);
    /// Follows the points in parallel; false when abandoned.
    bool follow(const std::vector<std::int32_t> &points, quint64 number);
    bool abandoned(quint64 number) const;

    QThreadPool pool_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Request> pending_;
    bool stopping_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<quint64> latest_{0};
    std::atomic<std::int64_t> pointsComputed_{0};
    PointMaps maps_; ///< the computing thread's own
    std::thread thread_;
};
