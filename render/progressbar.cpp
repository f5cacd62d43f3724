#include "progressbar.h"

#include <algorithm>

namespace {

constexpr int barWidth = 30;
/// Steps from which a trajectory counts as long, for the line's sake.
constexpr std::uint64_t longRun = 1000000;

} // namespace

ProgressBar::ProgressBar(std::FILE *stream, std::int64_t total, int frames, int rowWidth)
    : stream_(stream), total_(total), frames_(frames), rowWidth_(rowWidth)
{
    timer_.start();
}

void ProgressBar::update(std::int64_t done, int framesDone, std::uint64_t longest)
{
    const double seconds = double(timer_.elapsed()) / 1000;
    const double fraction = total_ > 0 ? double(done) / double(total_) : 1;
    const int filled = std::clamp(int(fraction * barWidth), 0, barWidth);
    char bar[barWidth + 1];
    std::fill(bar, bar + filled, '#');
    std::fill(bar + filled, bar + barWidth, '.');
    bar[barWidth] = '\0';

    const std::int64_t remaining = total_ - done;
    if (longest >= longRun) {
        std::fprintf(stream_, "\r[%s] ", bar);
        if (frames_ > 0)
            std::fprintf(stream_, "%d/%d frames  ", framesDone, frames_);
        std::fprintf(stream_,
                     "%lld of %lld start points to go, the longest running %llu steps so far "
                     "(--step-limit caps them)\033[K",
                     static_cast<long long>(remaining), static_cast<long long>(total_),
                     static_cast<unsigned long long>(longest));
        std::fflush(stream_);
        return;
    }
    const double rate = seconds > 0 ? double(done) / seconds : 0;
    std::fprintf(stream_, "\r[%s] ", bar);
    if (frames_ > 0)
        std::fprintf(stream_, "%d/%d frames  ", framesDone, frames_);
    if (rowWidth_ > 0) {
        std::fprintf(stream_, "%lld/%lld rows  %.0f points/s",
                     static_cast<long long>(done / rowWidth_),
                     static_cast<long long>(total_ / rowWidth_), rate);
    } else {
        std::fprintf(stream_, "%lld/%lld points  %.0f points/s", static_cast<long long>(done),
                     static_cast<long long>(total_), rate);
    }
    if (rate > 0) {
        const long long left = static_cast<long long>(double(total_ - done) / rate + 0.5);
        std::fprintf(stream_, "  %lld:%02lld left", left / 60, left % 60);
    } else {
        std::fputs("  --:-- left", stream_);
    }
    std::fputs("\033[K", stream_);
    std::fflush(stream_);
}

void ProgressBar::finish()
{
    std::fputs("\r\033[K", stream_);
    std::fflush(stream_);
}
