#include "sweep.h"

#include "progressbar.h"
#include "renderer.h"
#include "sweepplot.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>
#include <QThreadPool>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onInterrupt(int)
{
    interrupted.store(true);
}

/// Catches Ctrl-C and SIGTERM while it lives. The handler only sets the flag; a second signal
/// ends the program at once, as usual.
class InterruptGuard
{
public:
    InterruptGuard()
    {
        interrupted.store(false);
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

void printError(const QString &text)
{
    std::fprintf(stderr, "velmora-render: %s\n", qUtf8Printable(text));
}

/// Why path cannot be written, or nothing when it can. Leaves nothing behind.
QString whyNotWritable(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isDir() && !target.isWritable())
        return QStringLiteral("the file is read-only");
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return probe.errorString();
    probe.cancelWriting();
    return {};
}

/// One finished frame.
struct Frame
{
    int value;
    RenderSummary summary;
};

} // namespace

int Sweep::run()
{
    const SweepRange &range = *commandLine_.sweep();
    const RenderParameters &base = commandLine_.parameters();
    // The statistics and the plot come last; a sweep can take long, so find out first.
    for (const QString &path : {commandLine_.plot()}) {
        if (path.isEmpty())
            continue;
        const QString reason = whyNotWritable(path);
        if (!reason.isEmpty()) {
            printError(QStringLiteral("cannot write '%1': %2").arg(path, reason));
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
    QString failure;
    while (int(frames.size()) < range.frameCount() && !interrupted.load()) {
        const int index = int(frames.size());
        const int value = range.value(index);
        const QString path = commandLine_.frames().fileName(index);
        const QString reason = whyNotWritable(path);
        if (!reason.isEmpty()) {
            failure = QStringLiteral("cannot write '%1': %2").arg(path, reason);
            break;
        }
        Renderer renderer(range.frame(base, value));
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
                if (interrupted.load())
                    renderer.abandon();
                if (bar)
                    bar->update(points * index + renderer.pointsDone(), index);
            },
            &pool);
        if (renderer.abandoned())
            break;
        if (!writeImageFile(renderer.surface().image(), path, commandLine_.format())) {
            failure = QStringLiteral("cannot write '%1'; frames before it are complete.").arg(path);
            break;
        }
        frames.push_back({value, summary});
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (bar)
        bar->finish();

    if (!commandLine_.plot().isEmpty()) {
        SweepPlot plot(range.title());
        for (const Frame &f : frames) {
            const double n = double(f.summary.points);
            plot.add({double(f.value), double(f.summary.capturedOne) / n,
                      double(f.summary.capturedTwo) / n, double(f.summary.neverCaptured) / n,
                      std::nullopt});
        }
        if (!writeImageFile(plot.image(), commandLine_.plot(), "PNG") && failure.isEmpty())
            failure = QStringLiteral("cannot write '%1'").arg(commandLine_.plot());
    }

    if (!failure.isEmpty()) {
        printError(failure);
        return 1;
    }
    if (interrupted.load()) {
        printError(QStringLiteral("interrupted; %1 of %2 frames written")
                       .arg(frames.size())
                       .arg(range.frameCount()));
        return interruptedStatus;
    }
    std::uint64_t steps = 0;
    for (const Frame &f : frames)
        steps += f.summary.steps;
    std::printf("%d frames, %lld start points, %llu steps in %.2f s\n", int(frames.size()),
                static_cast<long long>(points) * int(frames.size()),
                static_cast<unsigned long long>(steps), seconds);
    return 0;
}
