// The renderer's throughput, start points and steps per second, for the default picture and
// for a 400 x 300 picture on a 1920 x 1080 client, with one thread and with every core. Each
// figure is the best of several rounds, since other work on the machine only ever slows a
// round down; usage: bench_render [rounds].

#include "render/renderer.h"

#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Case
{
    const char *name;
    QSize client;
    QSize picture;
};

struct Figure
{
    double seconds = 1e300;
    RenderSummary summary;
};

Figure best(const RenderParameters &parameters, int rounds)
{
    Figure figure;
    for (int i = 0; i < rounds; ++i) {
        Renderer renderer(parameters);
        const auto start = std::chrono::steady_clock::now();
        figure.summary = renderer.render();
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        figure.seconds = std::min(figure.seconds, s);
    }
    return figure;
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int cores = std::max(1, QThread::idealThreadCount());
    const Case cases[] = {
        {"default 100x80 at 1024x700", {1024, 700}, {100, 80}},
        {"400x300 at 1920x1080", {1920, 1080}, {400, 300}},
    };
    std::printf("best of %d rounds, %d cores\n", rounds, cores);
    for (const Case &c : cases) {
        RenderParameters p = RenderParameters::defaults(c.client);
        p.picture = c.picture;
        std::vector<int> threadCounts{1};
        if (cores > 1)
            threadCounts.push_back(cores);

        double single = 0;
        for (const int threads : threadCounts) {
            p.threads = threads;
            const Figure f = best(p, rounds);
            const double pointsPerSecond = double(f.summary.points) / f.seconds;
            const double stepsPerSecond = double(f.summary.steps) / f.seconds;
            if (threads == 1)
                single = f.seconds;
            std::printf("%-28s %2d thread%s %10.0f points/s %12.0f steps/s %7.1f ms", c.name,
                        threads, threads == 1 ? " " : "s", pointsPerSecond, stepsPerSecond,
                        f.seconds * 1e3);
            if (threads > 1)
                std::printf("  speed-up %.2fx", single / f.seconds);
            std::printf("\n");
        }
    }
    return 0;
}
