// The renderer's throughput, nanoseconds a step and start points a second, for every kernel this
// processor has, with one thread and with every core, on the default picture and on a 600 x 450
// picture in a 1920 x 1080 client. Wall time is given as the best, the median and the worst of
// several rounds: other work on the machine only ever slows a round down, so the best is the
// figure to compare, and the spread says how loaded the machine was. The processor time of the
// process (median) counts only the time its threads ran, so on a busy machine it shows the cost
// of a step on one core better than the wall time does. Usage: bench_render [rounds].

#include "render/renderer.h"

#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

struct Case
{
    const char *name;
    QSize client;
    QSize picture;
};

double processorSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

/// The wall and processor seconds of every round, sorted, and the counts of the picture.
struct Rounds
{
    std::vector<double> seconds;
    std::vector<double> processor;
    RenderSummary summary;

    double best() const { return seconds.front(); }
    double median() const { return seconds[seconds.size() / 2]; }
    double worst() const { return seconds.back(); }
};

Rounds measure(const RenderParameters &parameters, int rounds)
{
    Rounds r;
    for (int i = 0; i < rounds; ++i) {
        Renderer renderer(parameters);
        const double processor = processorSeconds();
        const auto start = std::chrono::steady_clock::now();
        r.summary = renderer.render();
        r.seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        r.processor.push_back(processorSeconds() - processor);
    }
    std::sort(r.seconds.begin(), r.seconds.end());
    std::sort(r.processor.begin(), r.processor.end());
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const int cores = std::max(1, QThread::idealThreadCount());
    const Case cases[] = {
        {"default 100x80 at 1024x700", {1024, 700}, {100, 80}},
        {"600x450 at 1920x1080", {1920, 1080}, {600, 450}},
    };
    std::vector<Kernel> kernels;
    for (const Kernel k : {Kernel::scalar, Kernel::avx2}) {
        if (kernelAvailable(k))
            kernels.push_back(k);
    }
    std::vector<int> threadCounts{1};
    if (cores > 1)
        threadCounts.push_back(cores);

    std::printf("%d rounds, %d cores. ns a step: wall time best, median, worst; processor time "
                "of a thread, median. Start points a second: best.\n",
                rounds, cores);
    for (const Case &c : cases) {
        RenderParameters p = RenderParameters::defaults(c.client);
        p.picture = c.picture;
        for (const Kernel kernel : kernels) {
            p.kernel = kernel;
            double single = 0;
            for (const int threads : threadCounts) {
                p.threads = threads;
                const Rounds r = measure(p, rounds);
                const double steps = double(r.summary.steps);
                std::printf("%-26s %-6s %d thread%s %6.2f %6.2f %6.2f ns/step, %6.2f on a thread, "
                            "%9.0f points/s",
                            c.name, kernelName(kernel), threads, threads == 1 ? " " : "s",
                            r.best() * 1e9 / steps, r.median() * 1e9 / steps,
                            r.worst() * 1e9 / steps,
                            r.processor[r.processor.size() / 2] * 1e9 / steps,
                            double(r.summary.points) / r.best());
                if (threads == 1)
                    single = r.best();
                else
                    std::printf("  speed-up %.2fx", single / r.best());
                std::printf("\n");
            }
        }
    }
    return 0;
}
