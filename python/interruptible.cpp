#include "interruptible.h"

#include <chrono>
#include <exception>
#include <future>
#include <thread>

namespace py = pybind11;

namespace velmora_python {

namespace {

/// How often the waiting thread looks for a signal or a cancellation: either is answered well
/// within 0.1 s.
constexpr std::chrono::milliseconds poll{10};

/// Counts interruptRunning(): a call that sees it change was running when it was called.
std::atomic<std::uint64_t> interruptions{0};

/// Thrown on the calling thread of a cancelled call; Python sees velmora.Cancelled.
struct Cancelled : std::exception
{
    const char *what() const noexcept override { return message; }
    const char *message;
    explicit Cancelled(const char *m) : message(m) {}
};

} // namespace

void interruptRunning()
{
    interruptions.fetch_add(1, std::memory_order_relaxed);
}

void runInterruptibly(const std::function<void()> &work, const std::function<void()> &abandon,
                      const Cancel *cancel)
{
    const std::uint64_t interruptionsBefore = interruptions.load(std::memory_order_relaxed);
    const auto interrupted = [&] {
        return interruptions.load(std::memory_order_relaxed) != interruptionsBefore;
    };
    if (cancel && cancel->cancelled())
        throw Cancelled("cancelled before it started");
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

    enum class Stop { no, signal, cancelled, interrupted } stop = Stop::no;
    {
        py::gil_scoped_release release;
        while (done.wait_for(poll) != std::future_status::ready) {
            py::gil_scoped_acquire acquire;
            if (PyErr_CheckSignals() != 0)
                stop = Stop::signal;
            else if (cancel && cancel->cancelled())
                stop = Stop::cancelled;
            else if (interrupted())
                stop = Stop::interrupted;
            if (stop != Stop::no) {
                abandon();
                break;
            }
        }
        done.wait();
        worker.join();
    }
    switch (stop) {
    case Stop::signal: // The handler's exception is still set on this thread.
        throw py::error_already_set();
    case Stop::cancelled:
        throw Cancelled("cancelled");
    case Stop::interrupted:
        throw Cancelled("cancelled by a KeyboardInterrupt in the main thread");
    case Stop::no:
        break;
    }
    if (failure)
        std::rethrow_exception(failure);
}

void addCancel(py::module_ &module)
{
    py::register_exception<Cancelled>(module, "Cancelled", PyExc_Exception)
        .doc() = "Raised by a call whose Cancel token was cancelled, or that was running when the "
                 "main thread got a KeyboardInterrupt.";
    py::class_<Cancel>(module, "Cancel",
                       "A token that stops every call it is given: cancel() from any thread "
                       "makes them raise velmora.Cancelled within a tenth of a second.")
        .def(py::init<>())
        .def("cancel", &Cancel::cancel, "Stops the calls given this token, now and later.")
        .def_property_readonly("cancelled", &Cancel::cancelled, "Whether cancel() was called.")
        .def("__repr__", [](const Cancel &c) {
            return std::string("<velmora.Cancel ") + (c.cancelled() ? "cancelled>" : "armed>");
        });
    module.def("_interrupt_running", &interruptRunning,
               "Cancels every call running now, in any thread.");
}

} // namespace velmora_python
