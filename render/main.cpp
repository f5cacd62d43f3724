#include "commandline.h"
#include "console.h"
#include "measures.h"
#include "progressbar.h"
#include "renderer.h"
#include "shading.h"
#include "statisticsfile.h"
#include "sweep.h"
#include "sweepplot.h"
#include "viewoption.h"

#include "picture/safefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("cannot write '%1': %2; nothing written.").arg(path, reason);
}

/// Prints the help or the version: 0, or 1 with a message when it could not be printed.
int printOnly(const QByteArray &text)
{
    if (printOut(text))
        return 0;
    printError(QStringLiteral("cannot print: %1").arg(qt_error_string(errno)));
    return 1;
}

QByteArray summaryLine(const RenderSummary &summary, double seconds)
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

/// OUTPUT "-": the random start points' statistics alone, without a picture.
int runWithoutPicture(const RenderCommandLine &commandLine)
{
    const QString &statisticsPath = commandLine.statistics();
    const bool statisticsToFile = statisticsPath != QStringLiteral("-");
    if (const QString reason = statisticsToFile ? whyNotWritable(statisticsPath) : QString();
        !reason.isEmpty()) {
        printError(cannotWrite(statisticsPath, reason));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    Statistics statistics;
    statistics.grid = false;
    addRandomMeasures(statistics, commandLine.parameters(), commandLine.randomPoints());
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    QString reason;
    if (statisticsToFile && !writeStatisticsFile(statisticsPath, statistics, &reason)) {
        printError(cannotWrite(statisticsPath, reason));
        return 1;
    }
    QByteArray printed = QStringLiteral("%1 random start points sampled, %2 for the uncertainty "
                                        "exponent, in %3 s\n")
                             .arg(commandLine.randomPoints().sample)
                             .arg(commandLine.randomPoints().uncertainty)
                             .arg(seconds, 0, 'f', 2)
                             .toUtf8();
    if (!statisticsToFile)
        printed += statisticsJson(statistics) + '\n';
    if (!printOut(printed)) {
        printError(QStringLiteral("cannot print: %1").arg(qt_error_string(errno)));
        return 1;
    }
    return 0;
}

int run(const RenderCommandLine &commandLine)
{
    const QString &output = commandLine.output();
    // A render can take long; find out first whether its file can be written at all.
    if (const QString reason = whyNotWritable(output); !reason.isEmpty()) {
        printError(cannotWrite(output, reason));
        return 1;
    }
    const QString &statisticsPath = commandLine.statistics();
    const bool statisticsToFile =
        !statisticsPath.isEmpty() && statisticsPath != QStringLiteral("-");
    if (statisticsToFile) {
        if (const QString reason = whyNotWritable(statisticsPath); !reason.isEmpty()) {
            printError(cannotWrite(statisticsPath, reason));
            return 1;
        }
    }

    Renderer renderer(commandLine.parameters());
    if (renderer.surface().image().isNull()) {
        printError(QStringLiteral("not enough memory for a %1 x %2 drawing surface")
                       .arg(commandLine.parameters().client.width())
                       .arg(commandLine.parameters().client.height()));
        return 1;
    }
    std::unique_ptr<ProgressBar> bar;
    if (isatty(STDERR_FILENO))
        bar = std::make_unique<ProgressBar>(stderr, renderer.pointCount());

    QElapsedTimer timer;
    timer.start();
    const RenderSummary summary = renderer.render([&] {
        if (bar)
            bar->update(renderer.pointsDone());
    });
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (bar)
        bar->finish();
    const RenderParameters &parameters = commandLine.parameters();
    if (commandLine.shade())
        shadeCaptures(renderer, parameters.colorOne, parameters.colorTwo);

    QString reason;
    if (!writeImageFile(renderer.surface().image(), output, commandLine.format(), &reason)) {
        printError(cannotWrite(output, reason));
        return 1;
    }
    Statistics statistics;
    if (!statisticsPath.isEmpty()) {
        statistics =
            basinStatistics(parameters.picture.width(), parameters.picture.height(),
                            renderer.captures(), renderer.pointSteps(), commandLine.entropyBox());
        addRandomMeasures(statistics, parameters, commandLine.randomPoints());
    }
    if (statisticsToFile && !writeStatisticsFile(statisticsPath, statistics, &reason)) {
        printError(cannotWrite(statisticsPath, reason));
        return 1;
    }
    QByteArray printed = summaryLine(summary, seconds);
    if (parameters.view)
        printed.prepend(QStringLiteral("view %1: ").arg(viewText(*parameters.view)).toUtf8());
    if (statisticsPath == QStringLiteral("-"))
        printed += statisticsJson(statistics) + '\n';
    if (!printOut(printed)) {
        printError(QStringLiteral("'%1' is written, but its summary could not be printed: %2")
                       .arg(output, qt_error_string(errno)));
        return 1;
    }
    return 0;
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

    const std::unique_ptr<QCoreApplication> app = SweepPlot::createApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    try {
        RenderCommandLine commandLine;
        switch (commandLine.parse(QCoreApplication::arguments())) {
        case RenderCommandLine::Result::help:
            return printOnly(commandLine.helpText().toUtf8());
        case RenderCommandLine::Result::version:
            return printOnly(QByteArrayLiteral("velmora-render " VELMORA_VERSION "\n"));
        case RenderCommandLine::Result::error:
            printError(commandLine.errorText());
            return 2;
        case RenderCommandLine::Result::render:
            break;
        }
        if (commandLine.sweep())
            return Sweep(commandLine).run();
        if (commandLine.noPicture())
            return runWithoutPicture(commandLine);
        return run(commandLine);
    } catch (const std::bad_alloc &) {
        // Whatever failed to allocate has been freed again on the way here; print without
        // allocating all the same.
        std::fputs("velmora-render: not enough memory; nothing written.\n", stderr);
        return 1;
    }
}
