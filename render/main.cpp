#include "commandline.h"
#include "console.h"
#include "interrupt.h"
#include "measures.h"
#include "outputs.h"
#include "plotfile.h"
#include "statisticsmerge.h"
#include "sweep.h"
#include "sweepplot.h"
#include "tilepart.h"

#include "files/safefile.h"
#include "scene/statisticsfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace {

/// Prints the help or the version: 0, or 1 with a message when it could not be printed.
int printOnly(const QByteArray &text)
{
    if (printOut(text))
        return 0;
    printError(QStringLiteral("cannot print: %1").arg(qt_error_string(errno)));
    return 1;
}

/// OUTPUT "-": the random start points' statistics alone, without a picture.
int runWithoutPicture(const RenderJob &job)
{
    const auto cannotWrite = [&](const QString &reason) {
        printError(QStringLiteral("cannot write '%1': %2; nothing written.")
                       .arg(job.statistics, reason));
        return 1;
    };
    if (const QString reason = job.statisticsToFile() ? whyNotWritable(job.statistics) : QString();
        !reason.isEmpty()) {
        return cannotWrite(reason);
    }
    QElapsedTimer timer;
    timer.start();
    Statistics statistics;
    statistics.grid = false;
    statistics.captured.assign(std::size_t(job.masses()), 0);
    {
        const InterruptGuard interrupts;
        if (!addRandomMeasures(statistics, job.parameters, job.randomPoints, nullptr,
                               [] { return InterruptGuard::signal() != 0; })) {
            printError(QStringLiteral("interrupted; nothing written."));
            return 128 + InterruptGuard::signal();
        }
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    QString reason;
    if (job.statisticsToFile()) {
        const QByteArray text = statisticsText({{{}, statistics}},
                                               *statisticsFormat(job.statistics), false,
                                               job.masses(), false);
        if (!writeBytesSafely(job.statistics, text, &reason)) {
            return cannotWrite(reason);
        }
    }
    QByteArray printed = QStringLiteral("%1 random start points sampled, %2 for the uncertainty "
                                        "exponent, in %3 s\n")
                             .arg(job.randomPoints.sample)
                             .arg(job.randomPoints.uncertainty)
                             .arg(seconds, 0, 'f', 2)
                             .toUtf8();
    // Standard output that carries the statistics carries nothing else.
    if (!job.statisticsToFile()) {
        if (!printOut(statisticsJson(statistics) + '\n')) {
            printError(QStringLiteral("cannot print: %1").arg(qt_error_string(errno)));
            return 1;
        }
        printNote(printed);
        return 0;
    }
    if (!printOut(printed)) {
        printError(QStringLiteral("cannot print: %1").arg(qt_error_string(errno)));
        return 1;
    }
    return 0;
}

/// Answers a command line that asks for no job: the exit status once the help, the version or
/// the error is printed; nothing for a job or a merge.
std::optional<int> answerOnly(const RenderCommandLine &commandLine,
                              RenderCommandLine::Result result)
{
    switch (result) {
    case RenderCommandLine::Result::help:
        return printOnly(commandLine.helpText().toUtf8());
    case RenderCommandLine::Result::version:
        return printOnly(QByteArrayLiteral("velmora-render " VELMORA_VERSION "\n"));
    case RenderCommandLine::Result::error:
        printError(commandLine.errorText());
        return 2;
    case RenderCommandLine::Result::merge:
    case RenderCommandLine::Result::mergePicture:
    case RenderCommandLine::Result::render:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    // With standard output closed, the next file opened would take its place and receive what
    // is printed.
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1) {
        std::fputs("velmora-render: standard output is closed; nothing written.\n", stderr);
        return 1;
    }
    // A reader that went away is a failure to print, reported as such, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    try {
        QStringList arguments;
        QString problem;
        if (!readArguments(argc, argv, arguments, &problem)) {
            printError(problem);
            return 2;
        }
        RenderCommandLine commandLine;
        const RenderCommandLine::Result result = commandLine.parse(arguments);
        const RenderJob &job = commandLine.job();
        const std::unique_ptr<QCoreApplication> app = SweepPlot::createApplication(
            argv[0], result == RenderCommandLine::Result::render && !job.plot.isEmpty());
        if (const std::optional<int> status = answerOnly(commandLine, result))
            return *status;
        if (result == RenderCommandLine::Result::merge)
            return mergeStatisticsFiles(commandLine.mergeOutput(), commandLine.mergeParts());
        if (result == RenderCommandLine::Result::mergePicture)
            return mergePictureFiles(commandLine.mergeOutput(), commandLine.mergeParts());
        if (job.noPicture())
            return runWithoutPicture(job);

        PlotFile plot(job);
        Sweep sweep(job, job.plot.isEmpty() ? nullptr : &plot);
        if (const int status = sweep.checkOutputs(); status != 0)
            return status;
        const InterruptGuard interrupts;
        sweep.computeFrames();
        sweep.writeStatistics();
        return sweep.summarise();
    } catch (const std::bad_alloc &) {
        // Whatever failed to allocate has been freed again on the way here; print without
        // allocating all the same.
        std::fputs("velmora-render: not enough memory; nothing written.\n", stderr);
        return 1;
    }
}
