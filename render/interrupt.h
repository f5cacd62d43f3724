#pragma once

class Engine;

/// Catches Ctrl-C and SIGTERM while it lives. The handler only notes the signal and abandons the
/// frame under way; a second signal ends the program at once, as usual.
class InterruptGuard
{
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard &) = delete;
    InterruptGuard &operator=(const InterruptGuard &) = delete;

    /// The signal that came, 0 while none did.
    static int signal();
    /// The frame under way, which a signal abandons by itself: when no worker thread could
    /// start, the calling thread computes the frame and looks at nothing else until its end.
    static void setCurrent(Engine *engine);
};
