#pragma once

#include "commandline.h"

/// A sweep: one picture for each value of the swept option, written as frames, with their
/// statistics and a plot if asked for. The frames are computed one after another on one set of
/// worker threads. Ctrl-C (SIGINT), or SIGTERM, abandons the frame under way without writing it;
/// the statistics and the plot then hold the frames already written.
class Sweep
{
public:
    /// commandLine holds a sweep and outlives this.
    explicit Sweep(const RenderCommandLine &commandLine) : commandLine_(commandLine) {}

    /// Computes and writes every frame, then the statistics and the plot; prints the summary.
    /// Returns the exit status: 0 done, 1 a file could not be written (one line on standard
    /// error names it), 128 + the signal's number after SIGINT (130) or SIGTERM (143), as a
    /// shell reports a program the signal ended.
    int run();

private:
    const RenderCommandLine &commandLine_;
};
