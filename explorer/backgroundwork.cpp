#include "backgroundwork.h"

#include "engine/engine.h"

bool BackgroundWork::start(std::int64_t pointCount, std::function<void()> work)
{
    if (thread_.joinable())
        return false;
    cancelled_ = false;
    done_ = 0;
    count_ = pointCount;
    thread_ = std::thread(std::move(work));
    return true;
}

void BackgroundWork::cancel()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    if (engine_)
        engine_->abandon();
}

void BackgroundWork::stop()
{
    cancel();
    if (thread_.joinable())
        thread_.join();
}

std::int64_t BackgroundWork::pointsDone() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return engine_ ? engine_->pointsDone() : done_;
}

void BackgroundWork::attach(Engine &engine)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    engine_ = &engine;
    if (cancelled_)
        engine.abandon();
}

void BackgroundWork::detach(std::int64_t done)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    engine_ = nullptr;
    done_ = done;
}
