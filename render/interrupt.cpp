#include "interrupt.h"

#include "engine/engine.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> interruption{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

std::atomic<Engine *> current{nullptr};
static_assert(std::atomic<Engine *>::is_always_lock_free, "read in a signal handler");

struct sigaction oldInt = {};
struct sigaction oldTerm = {};

extern "C" void onInterrupt(int signal)
{
    interruption.store(signal);
    if (Engine *engine = current.load())
        engine->abandon();
}

} // namespace

InterruptGuard::InterruptGuard()
{
    interruption.store(0);
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
}

int InterruptGuard::signal()
{
    return interruption.load();
}

void InterruptGuard::setCurrent(Engine *engine)
{
    current.store(engine);
}
