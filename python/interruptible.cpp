#include "interruptible.h"

#include <pybind11/pybind11.h>

#include <chrono>
#include <exception>
#include <future>
#include <thread>

namespace velmora_python {

namespace {

/// How often the waiting thread looks for a signal: a Ctrl-C is answered well within 0.1 s.
constexpr std::chrono::milliseconds signalPoll{10};

} // namespace

void runInterruptibly(const std::function<void()> &work, const std::function<void()> &abandon)
{
    std::exception_ptr failure;
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished.set_value();
    });

    bool interrupted = false;
    {
        pybind11::gil_scoped_release release;
        while (done.wait_for(signalPoll) != std::future_status::ready) {
            pybind11::gil_scoped_acquire acquire;
            if (PyErr_CheckSignals() != 0) {
                interrupted = true;
                abandon();
                break;
            }
        }
        done.wait();
        worker.join();
    }
    // The handler's exception is still set on this thread.
    if (interrupted)
        throw pybind11::error_already_set();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace velmora_python
