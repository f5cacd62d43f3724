// A single view's picture, computed and written in bands of rows, its statistics taken from the
// bands as they complete.
#include "sweep.h"

#include "bandedpicture.h"
#include "interrupt.h"
#include "measures.h"
#include "tilepart.h"

#include "engine/statisticsaccumulator.h"

#include <QScopeGuard>

#include <optional>
#include <unistd.h>

namespace {

/// The accumulator of a picture's statistics, for the whole picture or for a tile's rows.
std::optional<StatisticsAccumulator> accumulatorFor(const RenderJob &job, const View &view)
{
    if (job.statistics.isEmpty())
        return std::nullopt;
    const StatisticsShape shape{view.width,   view.height, job.entropyBox,
                                job.masses(), true,        job.wada};
    if (!job.tile)
        return StatisticsAccumulator(shape);
    return StatisticsAccumulator(shape, tileRows(job.tile->index, job.tile->count, view.height));
}

} // namespace

bool Sweep::computeBandedFrame(const JobFrame &frame)
{
    const View &view = *frame.parameters.framing.view;
    const Shard tile = job_.tile.value_or(Shard());
    BandedPicture picture(frame.parameters, tile.first(view.height), tile.end(view.height),
                          job_.bandRows);
    framePoints_ = picture.pointCount();
    if (!bar_ && isatty(STDERR_FILENO))
        bar_ = std::make_unique<ProgressBar>(stderr, framePoints_, 0, picture.width());
    InterruptGuard::setCurrent(&picture.engine());
    const auto forget = qScopeGuard([] { InterruptGuard::setCurrent(nullptr); });
    if (InterruptGuard::signal() != 0)
        picture.abandon();

    std::optional<StatisticsAccumulator> accumulator = accumulatorFor(job_, view);
    if (accumulator)
        picture.setFedRows(accumulator->fedRows().first, accumulator->fedRows().end);
    const auto feed = [&](int first, int rows, const std::uint8_t *outcomes,
                          const std::uint64_t *steps) {
        accumulator->addRows(first, rows, outcomes, steps);
    };
    Statistics statistics;
    // Before the picture takes its place, so that it is written only with its statistics.
    const auto measure = [&] {
        if (!accumulator)
            return true;
        if (job_.tile) {
            tilePart_ = statisticsPartJson(
                accumulator->part(job_.identity(), job_.tile->index, job_.tile->count));
            return true;
        }
        statistics = accumulator->finish();
        return addRandomMeasures(statistics, frame.parameters, job_.randomPoints, nullptr,
                                 [] { return InterruptGuard::signal() != 0; });
    };
    const auto progress = [&] {
        if (bar_)
            bar_->update(picture.pointsDone(), 0, picture.longestRunning());
    };
    QString reason;
    const bool written = picture.write(
        frame.path, job_.format, job_.tile ? tileTexts(job_) : PngTexts(), &reason,
        accumulator ? BandedPicture::BandFunction(feed) : BandedPicture::BandFunction(), progress,
        measure);
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
