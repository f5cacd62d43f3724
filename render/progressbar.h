#pragma once

#include <QElapsedTimer>

#include <cstdint>
#include <cstdio>

/// A one-line progress bar for a terminal: start points done, their rate and the time left,
/// redrawn in place. Only for a stream that is a terminal; the caller decides.
class ProgressBar
{
public:
    ProgressBar(std::FILE *stream, std::int64_t total);

    void update(std::int64_t done);
    /// Erases the bar so that the next line starts clean.
    void finish();

private:
    std::FILE *stream_;
    std::int64_t total_;
    QElapsedTimer timer_;
};
