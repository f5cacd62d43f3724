#pragma once

#include <functional>

namespace velmora_python {

/// Runs work on a thread of its own while the calling thread waits with the GIL released, so
/// that other Python threads run meanwhile. Every 10 ms the waiting thread takes the GIL back and
/// lets Python handle its signals; when a handler raises (Ctrl-C: KeyboardInterrupt), it calls
/// abandon, which must make work return soon, waits for work and raises that exception. An
/// exception thrown by work is thrown again on the calling thread. Call with the GIL held.
void runInterruptibly(const std::function<void()> &work, const std::function<void()> &abandon);

} // namespace velmora_python
