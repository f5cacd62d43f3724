#include "passcomputer.h"

#include "passplan.h"
#include "pointkernel.h"

#include <QThread>

#include <algorithm>

PassComputer::PassComputer(int threads, QObject *parent) : QObject(parent)
{
    qRegisterMetaType<PassResult>();
    pool_.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));
    thread_ = std::thread([this] { coordinate(); });
}

PassComputer::~PassComputer()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stop_.store(true);
    wake_.notify_one();
    thread_.join();
}

quint64 PassComputer::request(const Viewport &view, const Scene &scene)
{
    quint64 number = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        number = latest_.load() + 1;
        pending_ = Request{number, view, scene};
        latest_.store(number);
    }
    wake_.notify_one();
    return number;
}

bool PassComputer::abandoned(quint64 number) const
{
    return latest_.load(std::memory_order_relaxed) != number ||
           stop_.load(std::memory_order_relaxed);
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
        compute(request);
    }
}

void PassComputer::compute(const Request &request)
{
    maps_.moveTo(request.view, request.scene);
    for (int pass = 0; pass < passplan::count; ++pass) {
        const std::vector<std::int32_t> points = passplan::points(request.view.size, pass,
                                                                  maps_.known);
        if (!follow(points, request.number))
            return;
        PassResult result;
        result.request = request.number;
        result.pass = pass;
        result.view = request.view;
        result.scene = request.scene;
        result.finished = pass == passplan::count - 1;
        result.image = paintPoints(maps_, passplan::stride(pass));
        if (result.finished) {
            result.statistics = std::make_shared<const Statistics>(
                basinStatistics(request.view.size.width(), request.view.size.height(),
                                maps_.outcomes, maps_.steps, defaultEntropyBox));
        }
        if (abandoned(request.number))
            return;
        emit passReady(result);
    }
}

bool PassComputer::follow(const std::vector<std::int32_t> &points, quint64 number)
{
    return followInParallel(maps_, points, pool_, [this, number] { return abandoned(number); },
                            &pointsComputed_);
}
