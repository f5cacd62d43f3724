#include "sweep.h"

#include "console.h"
#include "measures.h"
#include "progressbar.h"
#include "renderer.h"
#include "shading.h"
#include "engine/statistics.h"
#include "statisticsfile.h"
#include "sweepplot.h"

#include "picture/safefile.h"

#include <QElapsedTimer>
#include <QThreadPool>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

/// The signal that ends the sweep, 0 while none came.
std::atomic<int> interruption{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

extern "C" void onInterrupt(int signal)
{
    interruption.store(signal);
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

/// One written frame.
struct Frame
{
    int value;
    RenderSummary summary;
    Statistics statistics;
};

/// The statistics of every frame: a CSV table with a row for each, or a JSON array.
QByteArray statisticsText(const std::vector<Frame> &frames, StatisticsFormat format)
{
    QByteArray text = format == StatisticsFormat::csv ? statisticsCsvHeader() : "[";
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const StatisticsFrame place{std::int64_t(i), frames[i].value};
        if (format == StatisticsFormat::csv) {
            text += statisticsCsvRow(frames[i].statistics, place);
        } else {
            text += (i == 0 ? "\n" : ",\n") + statisticsJson(frames[i].statistics, place);
        }
    }
    if (format == StatisticsFormat::json)
        text += "\n]\n";
    return text;
}

QImage plotImage(const SweepRange &range, const std::vector<Frame> &frames, PlotMeasure measure)
{
    SweepPlot plot(range.title(), measure);
    for (const Frame &f : frames) {
        const Statistics &s = f.statistics;
        const std::optional<double> shown =
            measure == PlotMeasure::entropy ? s.basinEntropy
            : s.uncertainty                 ? s.uncertainty->dimension()
                                            : std::nullopt;
        plot.add({double(f.value), s.fraction(s.one), s.fraction(s.two), s.fraction(s.never),
                  shown});
    }
    return plot.image();
}

} // namespace

int Sweep::run()
{
    const SweepRange &range = *commandLine_.sweep();
    const RenderParameters &base = commandLine_.parameters();
    const QString &statisticsPath = commandLine_.statistics();
    const bool statisticsToFile =
        !statisticsPath.isEmpty() && statisticsPath != QStringLiteral("-");
    // The statistics and the plot are written last; a sweep can take long, so find out first.
    for (const QString &path :
         {statisticsToFile ? statisticsPath : QString(), commandLine_.plot()}) {
        const QString why = path.isEmpty() ? QString() : whyNotWritable(path);
        if (!why.isEmpty()) {
            printError(QStringLiteral("cannot write '%1': %2").arg(path, why));
            return 1;
        }
    }

    const InterruptGuard guard;
    QThreadPool pool;
    pool.setMaxThreadCount(base.workers());
    std::int64_t points = 0; // a frame's; the same in every frame
    std::unique_ptr<ProgressBar> bar;

    QElapsedTimer timer;
    timer.start();
    std::vector<Frame> frames;
    std::vector<sim::Capture> previous; // the last frame's outcomes
    QString failure;
    while (int(frames.size()) < range.frameCount() && interruption.load() == 0) {
        const int index = int(frames.size());
        const int value = range.value(index);
        const QString path = commandLine_.frames().fileName(index);
        const QString why = whyNotWritable(path);
        if (!why.isEmpty()) {
            failure = QStringLiteral("cannot write '%1': %2").arg(path, why);
            break;
        }
        const RenderParameters parameters = range.frame(base, value);
        Renderer renderer(parameters);
        if (renderer.surface().image().isNull()) {
            failure = QStringLiteral("not enough memory for a %1 x %2 drawing surface")
                          .arg(base.client.width())
                          .arg(base.client.height());
            break;
        }
        points = renderer.pointCount();
        if (!bar && isatty(STDERR_FILENO)) {
            bar = std::make_unique<ProgressBar>(stderr, points * range.frameCount(),
                                                range.frameCount());
        }
        const RenderSummary summary = renderer.render(
            [&] {
                if (interruption.load() != 0)
                    renderer.abandon();
                if (bar)
                    bar->update(points * index + renderer.pointsDone(), index);
            },
            &pool);
        if (renderer.abandoned())
            break;
        if (commandLine_.shade())
            shadeCaptures(renderer, parameters.colorOne, parameters.colorTwo);
        QString reason;
        if (!writeImageFile(renderer.surface().image(), path, commandLine_.format(), &reason)) {
            failure = QStringLiteral("cannot write '%1': %2").arg(path, reason);
            break;
        }
        Statistics statistics;
        if (parameters.keepPointSteps) {
            statistics = basinStatistics(parameters.picture.width(), parameters.picture.height(),
                                         renderer.captures(), renderer.pointSteps(),
                                         commandLine_.entropyBox());
            addRandomMeasures(statistics, parameters, commandLine_.randomPoints(), &pool);
            if (!previous.empty())
                statistics.tippingFromPrevious = tippingMatrix(previous, renderer.captures());
            previous = renderer.captures();
        }
        frames.push_back({value, summary, statistics});
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (bar)
        bar->finish();

    // The frames written so far are complete; their statistics and plot are kept too. The
    // first failure is the one reported.
    QString why;
    if (statisticsToFile) {
        const QByteArray text = statisticsText(frames, *statisticsFormat(statisticsPath));
        if (!writeFileSafely(
                statisticsPath,
                [&](QIODevice &device) { return device.write(text) == text.size(); }, &why) &&
            failure.isEmpty()) {
            failure = QStringLiteral("cannot write '%1': %2").arg(statisticsPath, why);
        }
    }
    if (!commandLine_.plot().isEmpty() &&
        !writeImageFile(plotImage(range, frames, commandLine_.plotMeasure()), commandLine_.plot(), "PNG", &why) &&
        failure.isEmpty()) {
        failure = QStringLiteral("cannot write '%1': %2").arg(commandLine_.plot(), why);
    }

    if (!failure.isEmpty()) {
        printError(failure);
        return 1;
    }
    if (const int signal = interruption.load(); signal != 0) {
        printError(QStringLiteral("interrupted; %1 of %2 frames written")
                       .arg(frames.size())
                       .arg(range.frameCount()));
        return 128 + signal;
    }
    std::uint64_t steps = 0;
    for (const Frame &f : frames)
        steps += f.summary.steps;
    QByteArray printed = QStringLiteral("%1 frames, %2 start points, %3 steps in %4 s\n")
                             .arg(frames.size())
                             .arg(points * std::int64_t(frames.size()))
                             .arg(steps)
                             .arg(seconds, 0, 'f', 2)
                             .toUtf8();
    if (statisticsPath == QStringLiteral("-"))
        printed += statisticsText(frames, StatisticsFormat::json);
    if (!printOut(printed)) {
        printError(
            QStringLiteral("the frames are written, but the summary could not be printed: %1")
                .arg(qt_error_string(errno)));
        return 1;
    }
    return 0;
}
