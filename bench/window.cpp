// Times a complete default run of the main window offscreen and prints the cost of one yielded
// step. The number of yielded steps comes from the simulation core alone: every step of a
// trajectory yields except the one that ends in a capture.

#include "ui/mainwindow/frmgrav.h"

#include "sim/capturemap.h"
#include "sim/defaults.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {

std::uint64_t yieldedSteps(const sim::simstate &start, const sim::Rect &picture)
{
    std::uint64_t yields = 0;
    for (const sim::CapturedPoint &p :
         sim::captureMap(start, picture, sim::defaultRadius, sim::defaultRadius)) {
        yields += p.result.steps - (p.result.capture == sim::Capture::none ? 0 : 1);
    }
    return yields;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VELMORA_BENCH_SCREEN);
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", VELMORA_BENCH_FONTS);
    QApplication app(argc, argv);

    frmgrav window;
    window.show();
    QCoreApplication::processEvents();

    const QWidget *client = window.centralWidget();
    const float width = static_cast<float>(client->width());
    const float height = static_cast<float>(client->height());
    std::printf("client area %d x %d\n", client->width(), client->height());

    const std::uint64_t yields =
        yieldedSteps(sim::defaultState(width, height), sim::defaultPicture(width, height));

    auto *start = window.findChild<QAction *>(QStringLiteral("cmdstart"));
    const auto begin = std::chrono::steady_clock::now();
    start->trigger();
    const auto end = std::chrono::steady_clock::now();

    const double total = std::chrono::duration<double, std::micro>(end - begin).count();
    std::printf("yielded steps %llu\n", static_cast<unsigned long long>(yields));
    std::printf("total %.3f s\n", total / 1e6);
    std::printf("per yielded step %.3f us\n", total / static_cast<double>(yields));
    std::printf("picture complete: %s\n", window.state().rowsdone >= 80 ? "yes" : "no");
    return 0;
}
