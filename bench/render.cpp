// The renderer's throughput, nanoseconds a step and start points a second, for every kernel this
// processor has, with one thread and with every core, on the default picture and on a 600 x 450
// picture in a 1920 x 1080 client, and the engine's on a view of 1920 x 1080 start points at
// spacing 0.25 around the middle between the default masses; then how long the engine's workers
// take to return once a view is abandoned. Wall time is given as the best, the median and the worst
// of several rounds: other work on the machine only ever slows a round down, so the best is the
// figure to compare, and the spread says how loaded the machine was. The processor time of the
// process (median) counts only the time its threads ran, so on a busy machine it shows the cost
// of a step on one core better than the wall time does. Usage: bench_render [rounds].

#include "engine/engine.h"
#include "render/renderer.h"

#include <QThread>

#include <random>
#include <thread>

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

/// The view: 1920 x 1080 start points a quarter pixel apart, centred between the default masses.
View benchView()
{
    View v;
    v.spacing = 0.25;
    v.width = 1920;
    v.height = 1080;
    v.x = 512 - v.spacing * v.width / 2;
    v.y = 350 - v.spacing * v.height / 2;
    return v;
}

Rounds measureView(const Workers &workers, int rounds)
{
    const TrajectoryParameters p = TrajectoryParameters::defaults(defaultClient);
    Rounds r;
    PointMaps maps;
    for (int i = 0; i < rounds; ++i) {
        Engine engine(p, workers);
        const double processor = processorSeconds();
        const auto start = std::chrono::steady_clock::now();
        engine.computeView(benchView(), maps, false);
        r.seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        r.processor.push_back(processorSeconds() - processor);
        r.summary.points = engine.pointsDone();
        r.summary.steps = engine.stepsTaken();
    }
    std::sort(r.seconds.begin(), r.seconds.end());
    std::sort(r.processor.begin(), r.processor.end());
    return r;
}

void print(const char *name, Kernel kernel, int threads, const Rounds &r, double single)
{
    const double steps = double(r.summary.steps);
    std::printf("%-26s %-6s %d thread%s %6.2f %6.2f %6.2f ns/step, %6.2f on a thread, "
                "%9.0f points/s",
                name, kernelName(kernel), threads, threads == 1 ? " " : "s", r.best() * 1e9 / steps,
                r.median() * 1e9 / steps, r.worst() * 1e9 / steps,
                r.processor[r.processor.size() / 2] * 1e9 / steps,
                double(r.summary.points) / r.best());
    if (threads > 1)
        std::printf("  speed-up %.2fx", single / r.best());
    std::printf("\n");
}

/// Milliseconds from abandoning a view at a random moment to the computation's return, sorted.
std::vector<double> abandonDelays(const Workers &workers, int times)
{
    const TrajectoryParameters p = TrajectoryParameters::defaults(defaultClient);
    std::mt19937 random(7);
    std::vector<double> delays;
    PointMaps maps;
    for (int i = 0; i < times; ++i) {
        Engine engine(p, workers);
        std::thread computing([&] { engine.computeView(benchView(), maps, false); });
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 180));
        const auto start = std::chrono::steady_clock::now();
        engine.abandon();
        computing.join();
        delays.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(delays.begin(), delays.end());
    return delays;
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
                if (threads == 1)
                    single = r.best();
                print(c.name, kernel, threads, r, single);
            }
        }
    }

    // About 2e9 steps a round: one round for the default nine.
    const int viewRounds = std::max(1, rounds / 9);
    std::printf("view 1920x1080 at S = 0.25 around (512, 350), %d rounds:\n", viewRounds);
    for (const Kernel kernel : kernels) {
        double single = 0;
        for (const int threads : threadCounts) {
            Workers w;
            w.kernel = kernel;
            w.threads = threads;
            const Rounds r = measureView(w, viewRounds);
            if (threads == 1)
                single = r.best();
            print("view 1920x1080, S 0.25", kernel, threads, r, single);
        }
    }
    for (const Kernel kernel : kernels) {
        Workers w;
        w.kernel = kernel;
        w.threads = cores;
        const std::vector<double> d = abandonDelays(w, 15);
        std::printf("abandon to return, %-6s %d threads: best %.3f, median %.3f, worst %.3f ms\n",
                    kernelName(kernel), cores, d.front(), d[d.size() / 2], d.back());
    }
    return 0;
}
