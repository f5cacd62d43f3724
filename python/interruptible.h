#pragma once

#include <pybind11/pybind11.h>

#include <atomic>
#include <functional>

namespace velmora_python {

/// velmora.Cancel: a token that stops the calls it is given, from any thread. Once cancelled,
/// it stays so.
class Cancel
{
public:
    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> cancelled_{false};
};

/// Runs work on a thread of its own while the calling thread waits with the GIL released, so
/// that other Python threads run meanwhile. Every 10 ms the waiting thread takes the GIL back,
/// lets Python handle its signals and looks at cancel (may be null) and at interruptRunning();
/// when a handler raises (Ctrl-C: KeyboardInterrupt) or the call is cancelled, it calls abandon,
/// which must make work return soon, waits for work and raises that exception, or
/// velmora.Cancelled. An exception thrown by work is thrown again on the calling thread. Call
/// with the GIL held.
void runInterruptibly(const std::function<void()> &work, const std::function<void()> &abandon,
                      const Cancel *cancel);

/// Cancels every call running now, on any thread: what a KeyboardInterrupt in the main thread
/// does to the calls of the others.
void interruptRunning();

/// Adds velmora.Cancel, velmora.Cancelled and _interrupt_running().
void addCancel(pybind11::module_ &module);

} // namespace velmora_python
