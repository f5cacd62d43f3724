#pragma once

#include "job.h"

/// The renderer's one pipeline: a single picture is a sweep of one frame. It checks every file
/// the job writes, then computes the frames one after another on one set of worker threads,
/// writing each, then the statistics and the plot of the frames written, and prints the
/// summary. Ctrl-C (SIGINT), or SIGTERM, abandons the frame under way without writing it; a
/// second one ends the program at once.
class Sweep
{
public:
    /// job outlives this.
    explicit Sweep(const RenderJob &job) : job_(job) {}

    /// Returns the exit status: 0 done; 1 a file could not be written, memory ran out or the
    /// summary could not be printed (one line on standard error says what was written and what
    /// not); 2 two outputs are the same file; 128 + the signal's number after SIGINT (130) or
    /// SIGTERM (143), as a shell reports a program the signal ended.
    int run();

private:
    /// What has been written, for a message: "nothing written", "'f.png' is written", ...
    QString writtenText(int frames, bool statistics, bool plot) const;

    const RenderJob &job_;
};
