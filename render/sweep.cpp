#include "sweep.h"

#include "console.h"
#include "measures.h"
#include "outputs.h"
#include "progressbar.h"
#include "renderer.h"
#include "shading.h"
#include "engine/statistics.h"
#include "statisticsfile.h"
#include "statisticsmerge.h"
#include "sweepplot.h"
#include "viewoption.h"

#include "picture/safefile.h"

#include <QElapsedTimer>
#include <QScopeGuard>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <new>
#include <unistd.h>

namespace {

/// The signal that ends the sweep, 0 while none came.
std::atomic<int> interruption{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

/// The frame under way, abandoned by the handler itself: when no worker thread could start, the
/// calling thread computes the frame and calls no progress until its end.
std::atomic<Renderer *> current{nullptr};
static_assert(std::atomic<Renderer *>::is_always_lock_free, "read in a signal handler");

extern "C" void onInterrupt(int signal)
{
    interruption.store(signal);
    if (Renderer *renderer = current.load())
        renderer->abandon();
}

/// Catches Ctrl-C and SIGTERM while it lives. The handler only sets the flag; a second signal
/// ends the program at once, as usual.
class InterruptGuard
{
public:
    InterruptGuard()
    {
        interruption.store(0);
        struct sigaction action = {};
        action.sa_handler = onInterrupt;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~InterruptGuard()
    {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    InterruptGuard(const InterruptGuard &) = delete;
    InterruptGuard &operator=(const InterruptGuard &) = delete;

private:
    struct sigaction oldInt_ = {};
    struct sigaction oldTerm_ = {};
};

/// Address space held back for drawing the plot at the end, however the frames used the rest.
constexpr std::size_t plotReserve = 32 << 20;

QByteArray pictureSummary(const RenderSummary &summary, double seconds)
{
    return QStringLiteral("%1 start points: %2 captured by mass one, %3 by mass two, %4 never "
                          "captured; %5 steps in %6 s\n")
        .arg(summary.points)
        .arg(summary.capturedOne)
        .arg(summary.capturedTwo)
        .arg(summary.neverCaptured)
        .arg(summary.steps)
        .arg(seconds, 0, 'f', 2)
        .toUtf8();
}

} // namespace

QString Sweep::writtenText(int frames, bool statistics, bool plot) const
{
    if (frames == 0)
        return QStringLiteral("nothing written");
    QString text;
    if (!job_.sweep) {
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
    if (statistics)
        text += QStringLiteral(", the statistics in '%1'").arg(job_.statistics);
    if (plot)
        text += QStringLiteral(", the plot in '%1'").arg(job_.plot);
    return text;
}

int Sweep::run()
{
    if (const QString clash = sameOutputs(job_); !clash.isEmpty()) {
        printError(clash);
        return 2;
    }
    // A sweep can take long; find out first whether its files can be written at all.
    if (const QString why = unwritableOutput(job_); !why.isEmpty()) {
        printError(why + QStringLiteral("; nothing written."));
        return 1;
    }
    // The plot is drawn last, into memory taken now.
    QImage plotCanvas;
    std::unique_ptr<char[]> reserve;
    if (!job_.plot.isEmpty()) {
        plotCanvas = QImage(SweepPlot::width, SweepPlot::height, QImage::Format_RGB32);
        reserve.reset(new (std::nothrow) char[plotReserve]);
        if (plotCanvas.isNull() || !reserve) {
            printError(QStringLiteral("not enough memory for the plot; nothing written."));
            return 1;
        }
    }

    const InterruptGuard guard;
    const int count = job_.end() - job_.first();
    std::int64_t points = 0; // a frame's; the same in every frame
    std::unique_ptr<ProgressBar> bar;
    QElapsedTimer timer;
    timer.start();
    std::vector<FrameStatistics> frames;
    std::vector<sim::Capture> previous; // the outcomes of the frame before
    if (job_.first() > 0 && job_.parameters.keepPointSteps) {
        // A shard's first frame tips from the frame before it, which another shard writes.
        Renderer before(job_.frame(job_.first() - 1).parameters);
        before.render([&] {
            if (interruption.load() != 0)
                before.abandon();
        });
        if (!before.abandoned())
            previous = before.captures();
    }
    RenderSummary total;
    QString failure;
    for (int index = 0; index < count && interruption.load() == 0; ++index) {
        const JobFrame frame = job_.frame(job_.first() + index);
        try {
            if (const QString why = whyNotWritable(frame.path); !why.isEmpty()) {
                failure = QStringLiteral("cannot write '%1': %2").arg(frame.path, why);
                break;
            }
            Renderer renderer(frame.parameters);
            if (renderer.surface().image().isNull()) {
                failure = QStringLiteral("not enough memory for a %1 x %2 drawing surface")
                              .arg(frame.parameters.client.width())
                              .arg(frame.parameters.client.height());
                break;
            }
            points = renderer.pointCount();
            if (!bar && isatty(STDERR_FILENO)) {
                bar = job_.sweep ? std::make_unique<ProgressBar>(stderr, points * count, count)
                                 : std::make_unique<ProgressBar>(stderr, points);
            }
            current.store(&renderer);
            const auto forget = qScopeGuard([] { current.store(nullptr); });
            // A signal before the store is seen here.
            if (interruption.load() != 0)
                renderer.abandon();
            const RenderSummary summary = renderer.render([&] {
                if (bar)
                    bar->update(points * index + renderer.pointsDone(), index);
            });
            if (renderer.abandoned())
                break;
            if (job_.shade)
                shadeCaptures(renderer, frame.parameters.colorOne, frame.parameters.colorTwo);
            QString reason;
            if (!writeImageFile(renderer.surface().image(), frame.path, job_.format, &reason)) {
                failure = QStringLiteral("cannot write '%1': %2").arg(frame.path, reason);
                break;
            }
            Statistics statistics;
            if (frame.parameters.keepPointSteps) {
                statistics =
                    basinStatistics(renderer.view().width, renderer.view().height,
                                    renderer.captures(), renderer.pointSteps(), job_.entropyBox);
            }
            if (frame.parameters.keepPointSteps) {
                addRandomMeasures(statistics, frame.parameters, job_.randomPoints);
                if (!previous.empty())
                    statistics.tippingFromPrevious = tippingMatrix(previous, renderer.captures());
                previous = renderer.captures();
            }
            frames.push_back({{frame.number, frame.value}, statistics});
            total.points += summary.points;
            total.capturedOne += summary.capturedOne;
            total.capturedTwo += summary.capturedTwo;
            total.neverCaptured += summary.neverCaptured;
            total.steps += summary.steps;
        } catch (const std::bad_alloc &) {
            failure = job_.sweep ? QStringLiteral("not enough memory for frame %1").arg(frame.number)
                                 : QStringLiteral("not enough memory");
            break;
        }
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (bar)
        bar->finish();

    // The frames written are complete; their statistics and plot are kept too. With none, the
    // older files stay as they were. The first failure is the one reported.
    const int written = int(frames.size());
    bool statisticsWritten = false;
    bool plotWritten = false;
    QStringList notWritten;
    const auto noteFailure = [&](const QString &path, const QString &why) {
        if (failure.isEmpty())
            failure = QStringLiteral("cannot write '%1': %2").arg(path, why);
        else
            notWritten << QStringLiteral("'%1' (%2)").arg(path, why);
    };
    QByteArray statisticsOut;
    const auto statisticsFor = [&](StatisticsFormat format) {
        if (job_.shard) {
            return shardStatisticsText(
                frames, format,
                {job_.identity(), job_.shard->index, job_.shard->count, job_.frameCount()});
        }
        return statisticsText(frames, format, bool(job_.sweep));
    };
    // An empty shard's statistics are written all the same, for the merge.
    if (written > 0 || (failure.isEmpty() && interruption.load() == 0)) {
        QString writing = job_.statistics;
        try {
            QString why;
            if (job_.statisticsToFile()) {
                const QByteArray text = statisticsFor(*statisticsFormat(job_.statistics));
                statisticsWritten = writeFileSafely(
                    job_.statistics,
                    [&](QIODevice &device) { return device.write(text) == text.size(); }, &why);
                if (!statisticsWritten)
                    noteFailure(job_.statistics, why);
            } else if (job_.statistics == QStringLiteral("-")) {
                statisticsOut = statisticsFor(StatisticsFormat::json);
            }
            if (!job_.plot.isEmpty()) {
                writing = job_.plot;
                reserve.reset();
                SweepPlot plot(job_.sweep->title(), job_.sweep->value(0),
                               job_.sweep->value(job_.sweep->frameCount() - 1), job_.plotMeasure);
                for (const FrameStatistics &f : frames) {
                    const Statistics &s = f.statistics;
                    const std::optional<double> measure =
                        job_.plotMeasure == PlotMeasure::entropy ? s.basinEntropy
                        : s.uncertainty                          ? s.uncertainty->dimension()
                                                                 : std::nullopt;
                    plot.add({double(*f.place.value), s.fraction(s.one), s.fraction(s.two),
                              s.fraction(s.never), measure});
                }
                plot.draw(plotCanvas);
                plotWritten = writeImageFile(plotCanvas, job_.plot, "PNG", &why);
                if (!plotWritten)
                    noteFailure(job_.plot, why);
            }
        } catch (const std::bad_alloc &) {
            noteFailure(writing, QStringLiteral("not enough memory"));
        }
    }

    const QString writtenNow = writtenText(written, statisticsWritten, plotWritten);
    QByteArray printed = job_.sweep ? QStringLiteral("%1 frames, %2 start points, %3 steps in "
                                                     "%4 s\n")
                                          .arg(written)
                                          .arg(total.points)
                                          .arg(total.steps)
                                          .arg(seconds, 0, 'f', 2)
                                          .toUtf8()
                                    : pictureSummary(total, seconds);
    if (job_.parameters.view && !job_.sweep)
        printed.prepend(QStringLiteral("view %1: ").arg(viewText(*job_.parameters.view)).toUtf8());
    const bool printable = failure.isEmpty() && interruption.load() == 0;
    if (!statisticsOut.isEmpty() || printable) {
        if (!printOut(printed + statisticsOut) && failure.isEmpty()) {
            failure = QStringLiteral("%1, but the summary could not be printed: %2")
                          .arg(writtenNow, qt_error_string(errno));
            printError(failure);
            return 1;
        }
    }
    const QString also = notWritten.isEmpty()
                             ? QString()
                             : QStringLiteral("; not written: ") + notWritten.join(", ");
    if (!failure.isEmpty()) {
        printError(QStringLiteral("%1; %2%3.").arg(failure, writtenNow, also));
        return 1;
    }
    if (const int signal = interruption.load(); signal != 0) {
        printError(QStringLiteral("interrupted; %1 of %2 frames done: %3%4.")
                       .arg(written)
                       .arg(count)
                       .arg(writtenNow, also));
        return 128 + signal;
    }
    return 0;
}
