#pragma once

// A pipe that code under test must never open, watched: after a moment, whoever waits on it is
// let go (its other end opened for an instant), so that a fault makes the test fail at once
// with a message instead of hanging until its timeout.

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

class PipeWatch
{
public:
    explicit PipeWatch(const QByteArray &path) : thread_([this, path] { watch(path); }) {}
    ~PipeWatch()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    /// Whether anything opened the pipe to read it or wrote into it.
    bool opened() const { return opened_; }

private:
    void watch(const QByteArray &path)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto pause = [&](int ms) {
            return wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done_; });
        };
        if (pause(1000))
            return;
        do {
            // A reader waiting for a writer: this open succeeds only while one is there.
            if (const int fd = open(path.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                opened_ = true;
                close(fd);
            }
            // A writer waiting for a reader goes on, and what it writes shows.
            if (const int fd = open(path.constData(), O_RDONLY | O_NONBLOCK); fd >= 0) {
                pause(50);
                char byte = 0;
                if (read(fd, &byte, 1) > 0)
                    opened_ = true;
                close(fd);
            }
        } while (!pause(100));
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> opened_{false};
    std::thread thread_; ///< last: the rest is made before it starts
};
