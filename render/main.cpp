#include "commandline.h"
#include "progressbar.h"
#include "renderer.h"
#include "shading.h"
#include "statisticsfile.h"
#include "sweep.h"
#include "sweepplot.h"

#include "picture/safefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void printError(const QString &text)
{
    std::fprintf(stderr, "velmora-render: %s\n", qUtf8Printable(text));
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = SweepPlot::createApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    RenderCommandLine commandLine;
    switch (commandLine.parse(QCoreApplication::arguments())) {
    case RenderCommandLine::Result::help:
        std::fputs(qUtf8Printable(commandLine.helpText()), stdout);
        return 0;
    case RenderCommandLine::Result::version:
        std::printf("velmora-render %s\n", VELMORA_VERSION);
        return 0;
    case RenderCommandLine::Result::error:
        printError(commandLine.errorText());
        return 2;
    case RenderCommandLine::Result::render:
        break;
    }
    if (commandLine.sweep())
        return Sweep(commandLine).run();

    // A render can take long; find out first whether its file can be written at all. The
    // probe is discarded and leaves nothing behind.
    {
        // Like Save Picture, a file marked read-only is not replaced.
        const QFileInfo target(commandLine.output());
        if (target.exists() && !target.isDir() && !target.isWritable()) {
            printError(QStringLiteral("cannot write '%1': the file is read-only")
                           .arg(commandLine.output()));
            return 1;
        }
        QSaveFile probe(commandLine.output());
        if (!probe.open(QIODevice::WriteOnly)) {
            printError(QStringLiteral("cannot write '%1': %2")
                           .arg(commandLine.output(), probe.errorString()));
            return 1;
        }
        probe.cancelWriting();
    }
    const QString &statisticsPath = commandLine.statistics();
    const bool statisticsToFile =
        !statisticsPath.isEmpty() && statisticsPath != QStringLiteral("-");
    if (statisticsToFile) {
        const QString why = whyNotWritable(statisticsPath);
        if (!why.isEmpty()) {
            printError(QStringLiteral("cannot write '%1': %2").arg(statisticsPath, why));
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

    if (!writeImageFile(renderer.surface().image(), commandLine.output(), commandLine.format())) {
        printError(QStringLiteral("cannot write '%1'; nothing written.").arg(commandLine.output()));
        return 1;
    }
    Statistics statistics;
    if (!statisticsPath.isEmpty()) {
        statistics =
            basinStatistics(parameters.picture.width(), parameters.picture.height(),
                            renderer.captures(), renderer.pointSteps(), commandLine.entropyBox());
    }
    QString why;
    if (statisticsToFile && !writeStatisticsFile(statisticsPath, statistics, &why)) {
        printError(QStringLiteral("cannot write '%1': %2").arg(statisticsPath, why));
        return 1;
    }

    std::printf("%lld start points: %lld captured by mass one, %lld by mass two, %lld never "
                "captured; %llu steps in %.2f s\n",
                static_cast<long long>(summary.points), static_cast<long long>(summary.capturedOne),
                static_cast<long long>(summary.capturedTwo),
                static_cast<long long>(summary.neverCaptured),
                static_cast<unsigned long long>(summary.steps), seconds);
    if (statisticsPath == QStringLiteral("-"))
        std::printf("%s\n", statisticsJson(statistics).constData());
    return 0;
}
