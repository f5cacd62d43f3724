#pragma once

#include <QElapsedTimer>

#include <cstdint>
#include <cstdio>

/// A one-line progress bar for a terminal: start points done, their rate and the time left, and
/// the frames done when there are several, redrawn in place. Only for a stream that is a
/// terminal; the caller decides.
class ProgressBar
{
public:
    /// total start points in all; frames 0 for a single picture. With rowWidth, the start
    /// points of a row, the line counts rows done rather than start points.
    ProgressBar(std::FILE *stream, std::int64_t total, int frames = 0, int rowWidth = 0);

    /// longest: the steps of the longest trajectory under way. Once that runs long (a million
    /// steps or more), when no time left can be foretold, the line says how many start points
    /// are left and how long the longest has run, and names the option that caps it.
    void update(std::int64_t done, int framesDone = 0, std::uint64_t longest = 0);
    /// Erases the bar so that the next line starts clean.
    void finish();

private:
    std::FILE *stream_;
    std::int64_t total_;
    int frames_;
    int rowWidth_;
    QElapsedTimer timer_;
};
