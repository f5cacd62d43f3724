// A single view's picture, computed and written in bands of rows.
#include "sweep.h"

#include "bandedpicture.h"
#include "interrupt.h"
#include "tilepart.h"

#include <QScopeGuard>

#include <unistd.h>

bool Sweep::computeBandedFrame(const JobFrame &frame)
{
    const int height = frame.parameters.framing.view->height;
    const Shard tile = job_.tile.value_or(Shard());
    BandedPicture picture(frame.parameters, tile.first(height), tile.end(height), job_.bandRows);
    framePoints_ = picture.pointCount();
    if (!bar_ && isatty(STDERR_FILENO))
        bar_ = std::make_unique<ProgressBar>(stderr, framePoints_, 0, picture.width());
    InterruptGuard::setCurrent(&picture.engine());
    const auto forget = qScopeGuard([] { InterruptGuard::setCurrent(nullptr); });
    if (InterruptGuard::signal() != 0)
        picture.abandon();

    // The statistics are taken from the whole picture's outcomes and steps.
    const bool measured = !job_.statistics.isEmpty();
    std::vector<sim::Capture> captures;
    std::vector<std::uint64_t> steps;
    const auto keep = [&](int, int rows, const std::uint8_t *outcomes,
                          const std::uint64_t *bandSteps) {
        const std::size_t n = std::size_t(rows) * std::size_t(picture.width());
        for (std::size_t k = 0; k < n; ++k)
            captures.push_back(sim::Capture(outcomes[k]));
        steps.insert(steps.end(), bandSteps, bandSteps + n);
    };
    Statistics statistics;
    const auto measure = [&] {
        return !measured || measureFrame(picture.width(), height, captures, steps, frame,
                                         statistics);
    };
    const auto progress = [&] {
        if (bar_)
            bar_->update(picture.pointsDone(), 0, picture.longestRunning());
    };
    QString reason;
    const bool written =
        picture.write(frame.path, job_.format, job_.tile ? tileTexts(job_) : PngTexts(), &reason,
                      measured ? BandedPicture::BandFunction(keep) : BandedPicture::BandFunction(),
                      progress, measure);
    if (picture.abandoned() || InterruptGuard::signal() != 0)
        return false;
    if (!written) {
        failure_ = QStringLiteral("cannot write '%1': %2").arg(frame.path, reason);
        return false;
    }
    frames_.push_back({{frame.number, frame.value}, std::move(statistics)});
    total_.add(picture.summary());
    return true;
}
