#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class Engine;

/// One computation on a thread of its own, for the commands that compute away from the GUI
/// thread: cancel() from any thread reaches the engine at work, and the start points done can be
/// read meanwhile.
class BackgroundWork
{
public:
    BackgroundWork() = default;
    BackgroundWork(const BackgroundWork &) = delete;
    BackgroundWork &operator=(const BackgroundWork &) = delete;
    /// Cancels the work and waits for its thread.
    ~BackgroundWork() { stop(); }

    /// Runs work on a thread of its own, of pointCount start points in all; false when work is
    /// under way already.
    bool start(std::int64_t pointCount, std::function<void()> work);
    /// Any thread.
    void cancel();
    /// Cancels the work and waits for its thread.
    void stop();
    bool busy() const { return thread_.joinable(); }
    /// Once the work has ended: its thread is gone.
    void join() { thread_.join(); }

    std::int64_t pointsDone() const;
    std::int64_t pointCount() const { return count_; }

    /// From the work: puts the engine under cancel(), abandoned at once when cancelled already.
    void attach(Engine &engine);
    /// From the work: the engine is done, and done start points count from now on.
    void detach(std::int64_t done);

private:
    mutable std::mutex mutex_;
    bool cancelled_ = false;
    Engine *engine_ = nullptr; ///< the one computing, under mutex_
    std::int64_t done_ = 0;    ///< under mutex_ while no engine computes
    std::int64_t count_ = 0;
    std::thread thread_;
};
