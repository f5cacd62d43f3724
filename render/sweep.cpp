#include "sweep.h"

#include "console.h"
#include "interrupt.h"
#include "measures.h"
#include "outputs.h"
#include "statisticsmerge.h"

#include "engine/statistics.h"
#include "files/safefile.h"
#include "scene/text.h"

#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <new>
#include <unistd.h>

namespace {

QByteArray pictureSummary(const RenderSummary &summary, double seconds)
{
    QString captured;
    for (std::size_t k = 0; k < summary.captured.size(); ++k) {
        captured += (k == 0 ? QStringLiteral("%1 captured by mass %2, ")
                            : QStringLiteral("%1 by mass %2, "))
                        .arg(summary.captured[k])
                        .arg(QLatin1String(massWord(int(k) + 1)));
    }
    return QStringLiteral("%1 start points: %2%3 never captured; %4 steps in %5 s\n")
        .arg(summary.points)
        .arg(captured)
        .arg(summary.neverCaptured)
        .arg(summary.steps)
        .arg(seconds, 0, 'f', 2)
        .toUtf8();
}

} // namespace

int Sweep::checkOutputs()
{
    if (job_.movie && ffmpegProgram().isEmpty()) {
        printError(ffmpegMissing() + QStringLiteral("; nothing written."));
        return 1;
    }
    if (const QString clash = sameOutputs(job_); !clash.isEmpty()) {
        printError(clash);
        return 2;
    }
    // A sweep can take long; find out first whether its files can be written at all.
    if (const QString why = unwritableOutput(job_); !why.isEmpty()) {
        printError(why + QStringLiteral("; nothing written."));
        return 1;
    }
    if (plot_ && !plot_->prepare()) {
        printError(QStringLiteral("not enough memory for the plot; nothing written."));
        return 1;
    }
    return 0;
}

void Sweep::computePreviousFrame()
{
    Renderer before(job_.frame(job_.first() - 1).parameters);
    before.render([&] {
        if (InterruptGuard::signal() != 0)
            before.abandon();
    });
    if (!before.abandoned())
        previous_ = before.captures();
}

void Sweep::computeFrames()
{
    timer_.start();
    // A shard's first frame tips from the frame before it, which another shard writes.
    if (job_.first() > 0 && job_.parameters.keepPointSteps)
        computePreviousFrame();
    frames_.reserve(std::size_t(job_.end() - job_.first()));
    if (job_.movie)
        computeMovie();
    else
        computeEachFrame();
    seconds_ = double(timer_.nsecsElapsed()) / 1e9;
    if (bar_)
        bar_->finish();
}

void Sweep::computeMovie()
{
    QString why;
    movieWritten_ = writeMovieFile(
        job_.output, *job_.movie,
        [&](MovieFrames &sink) {
            movie_ = &sink;
            computeEachFrame();
            movie_ = nullptr;
            return failure_.isEmpty() && InterruptGuard::signal() == 0 &&
                   int(frames_.size()) == job_.end() - job_.first();
        },
        &why);
    if (!movieWritten_) {
        if (failure_.isEmpty() && InterruptGuard::signal() == 0)
            failure_ = QStringLiteral("cannot write '%1': %2").arg(job_.output, why);
        // Without the movie its frames' statistics go too.
        frames_.clear();
    }
}

void Sweep::computeEachFrame()
{
    for (int index = 0; index < job_.end() - job_.first() && InterruptGuard::signal() == 0;
         ++index) {
        try {
            if (!computeFrame(index))
                break;
        } catch (const std::bad_alloc &) {
            failure_ =
                job_.series()
                    ? QStringLiteral("not enough memory for frame %1").arg(job_.first() + index)
                    : QStringLiteral("not enough memory");
            break;
        }
    }
}

bool Sweep::computeFrame(int index)
{
    const JobFrame frame = job_.frame(job_.first() + index);
    if (const QString why = movie_ ? QString() : whyNotWritable(frame.path); !why.isEmpty()) {
        failure_ = QStringLiteral("cannot write '%1': %2").arg(frame.path, why);
        return false;
    }
    if (frame.parameters.framing.view && !job_.series())
        return computeBandedFrame(frame);
    Renderer renderer(frame.parameters);
    if (renderer.surface().image().isNull()) {
        const QSize size = frame.parameters.framing.imageSize();
        failure_ = QStringLiteral("not enough memory for a %1 x %2 drawing surface")
                       .arg(size.width())
                       .arg(size.height());
        return false;
    }
    framePoints_ = renderer.pointCount();
    const int count = job_.end() - job_.first();
    if (!bar_ && isatty(STDERR_FILENO)) {
        bar_ = job_.series() ? std::make_unique<ProgressBar>(stderr, framePoints_ * count, count)
                             : std::make_unique<ProgressBar>(stderr, framePoints_);
    }
    InterruptGuard::setCurrent(&renderer.engine());
    const auto forget = qScopeGuard([] { InterruptGuard::setCurrent(nullptr); });
    // A signal before the frame was made current is seen here.
    if (InterruptGuard::signal() != 0)
        renderer.abandon();
    const RenderSummary summary = renderer.render([&] {
        if (bar_)
            bar_->update(framePoints_ * index + renderer.pointsDone(), index,
                         renderer.longestRunning());
    });
    if (renderer.abandoned())
        return false;
    // Everything the frame needs memory for comes before its file, so that a frame is either
    // written and counted or neither.
    Statistics statistics;
    std::vector<sim::Capture> captures;
    if (frame.parameters.keepPointSteps &&
        !measureFrame(renderer.view().width, renderer.view().height, renderer.captures(),
                      renderer.pointSteps(), frame, statistics))
        return false;
    if (frame.parameters.keepPointSteps)
        captures = renderer.captures();
    QString reason;
    if (movie_) {
        // ffmpeg's own failure is what writeMovieFile() reports.
        if (!movie_->add(renderer.surface().image()))
            return false;
    } else if (!writeImageFile(renderer.surface().image(), frame.path, job_.format, &reason)) {
        failure_ = QStringLiteral("cannot write '%1': %2").arg(frame.path, reason);
        return false;
    }
    previous_ = std::move(captures);
    frames_.push_back({{frame.number, frame.value}, std::move(statistics)});
    total_.add(summary);
    return true;
}

bool Sweep::measureFrame(int width, int height, const std::vector<sim::Capture> &captures,
                         const std::vector<std::uint64_t> &steps, const JobFrame &frame,
                         Statistics &statistics) const
{
    statistics = basinStatistics(width, height, captures, steps, job_.entropyBox, job_.masses());
    if (job_.wada) {
        statistics.wada = wadaMeasures(
            width, height, reinterpret_cast<const std::uint8_t *>(captures.data()), job_.masses());
    }
    if (!addRandomMeasures(statistics, frame.parameters, job_.randomPoints, nullptr,
                           [] { return InterruptGuard::signal() != 0; })) {
        return false;
    }
    if (!previous_.empty())
        statistics.tippingFromPrevious =
            tippingMatrix(previous_, captures, job_.masses());
    return true;
}

QByteArray Sweep::statisticsText(StatisticsFormat format) const
{
    if (job_.tile)
        return tilePart_;
    if (job_.shard) {
        return shardStatisticsText(
            frames_, format,
            {job_.identity(), job_.shard->index, job_.shard->count, job_.frameCount()},
            job_.masses(), job_.wada);
    }
    return ::statisticsText(frames_, format, job_.series(), job_.masses(), job_.wada);
}

void Sweep::noteFailure(const QString &path, const QString &why)
{
    if (failure_.isEmpty())
        failure_ = QStringLiteral("cannot write '%1': %2").arg(path, why);
    else
        notWritten_ << QStringLiteral("'%1' (%2)").arg(path, why);
}

void Sweep::writeStatistics()
{
    // The frames written are complete; their statistics and plot are kept too. With none, the
    // older files stay as they were. An empty shard's statistics are written all the same, for
    // the merge.
    if (frames_.empty() && (!failure_.isEmpty() || InterruptGuard::signal() != 0))
        return;
    QString writing = job_.statistics;
    try {
        QString why;
        if (job_.statisticsToFile()) {
            const QByteArray text = statisticsText(*statisticsFormat(job_.statistics));
            statisticsWritten_ = writeBytesSafely(job_.statistics, text, &why);
            if (!statisticsWritten_)
                noteFailure(job_.statistics, why);
        } else if (job_.statistics == QStringLiteral("-")) {
            statisticsOut_ = statisticsText(StatisticsFormat::json);
        }
        if (plot_) {
            writing = job_.plot;
            plotWritten_ = plot_->write(frames_, why);
            if (!plotWritten_)
                noteFailure(job_.plot, why);
        }
    } catch (const std::bad_alloc &) {
        noteFailure(writing, QStringLiteral("not enough memory"));
    }
}

QString Sweep::writtenText() const
{
    const int frames = int(frames_.size());
    if (frames == 0)
        return QStringLiteral("nothing written");
    QString text;
    if (!job_.series() || job_.movie) {
        text = QStringLiteral("'%1' is written").arg(job_.output);
    } else if (frames == 1) {
        text = QStringLiteral("frame %1 is written ('%2')")
                   .arg(job_.first())
                   .arg(job_.frame(job_.first()).path);
    } else {
        const int last = job_.first() + frames - 1;
        text = QStringLiteral("frames %1 to %2 are written ('%3' to '%4')")
                   .arg(job_.first())
                   .arg(last)
                   .arg(job_.frame(job_.first()).path, job_.frame(last).path);
    }
    if (statisticsWritten_)
        text += QStringLiteral(", the statistics in '%1'").arg(job_.statistics);
    if (plotWritten_)
        text += QStringLiteral(", the plot in '%1'").arg(job_.plot);
    return text;
}

int Sweep::summarise()
{
    const QString writtenNow = writtenText();
    QByteArray printed = job_.series() ? QStringLiteral("%1 frames, %2 start points, %3 steps in "
                                                        "%4 s\n")
                                             .arg(frames_.size())
                                             .arg(total_.points)
                                             .arg(total_.steps)
                                             .arg(seconds_, 0, 'f', 2)
                                             .toUtf8()
                                       : pictureSummary(total_, seconds_);
    if (const std::optional<View> &view = job_.parameters.framing.view; view && !job_.series())
        printed.prepend(QStringLiteral("view %1: ").arg(viewText(*view)).toUtf8());
    const int signal = InterruptGuard::signal();
    const bool done = failure_.isEmpty() && signal == 0;
    // Standard output that carries the statistics carries nothing else; the summary goes to
    // standard error then, and only when there is no failure to report instead.
    const bool dataOut = !statisticsOut_.isEmpty();
    if (dataOut || done) {
        if (!printOut(dataOut ? statisticsOut_ : printed) && failure_.isEmpty()) {
            printError(QStringLiteral("%1, but the %2 could not be printed: %3")
                           .arg(writtenNow,
                                dataOut ? QStringLiteral("statistics") : QStringLiteral("summary"),
                                qt_error_string(errno)));
            return 1;
        }
        if (dataOut && done)
            printNote(printed);
    }
    const QString also = notWritten_.isEmpty()
                             ? QString()
                             : QStringLiteral("; not written: ") + notWritten_.join(", ");
    if (!failure_.isEmpty()) {
        printError(QStringLiteral("%1; %2%3.").arg(failure_, writtenNow, also));
        return 1;
    }
    if (signal != 0) {
        printError(QStringLiteral("interrupted; %1 of %2 frames done: %3%4.")
                       .arg(frames_.size())
                       .arg(job_.end() - job_.first())
                       .arg(writtenNow, also));
        return 128 + signal;
    }
    return 0;
}
