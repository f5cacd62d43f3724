// The renderer's throughput, nanoseconds a step and start points a second, for every kernel this
// processor has, with one thread and with every core, on the default picture and on a 600 x 450
// picture in a 1920 x 1080 client; beside them the divider's floor, the time a step's 8
// divisions and 2 square roots take on their own, 4 lanes a vector and 4 vectors at once, and
// the share of it each kernel reaches on one thread (floor / kernel). Wall time is given as the
// best, the median and the worst of several rounds: other work on the machine only ever slows a
// round down, so the best is the figure to compare, and the spread says how loaded the machine
// was. The processor time of the process (best and median) counts only the time its threads ran,
// so on a busy machine it shows the cost of a step on one core better than the wall time does.
// Usage: bench_render [rounds]; bench_render --floor [KERNEL] [rounds] measures only the floor
// and each kernel (or the one named) on the 600 x 450 picture with one thread.

#include "render/renderer.h"

#ifdef VELMORA_DIVIDER_FLOOR
#include "dividerfloor.h"
#endif

#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
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

/// Nanoseconds a step of every round, wall and processor time, sorted.
struct Rounds
{
    std::vector<double> wall;
    std::vector<double> processor;

    double best() const { return wall.front(); }
    double median() const { return wall[wall.size() / 2]; }
    double worst() const { return wall.back(); }
    double processorBest() const { return processor.front(); }
    double processorMedian() const { return processor[processor.size() / 2]; }
};

/// Runs work `rounds` times; work returns the steps it took.
Rounds measure(int rounds, const std::function<double()> &work)
{
    Rounds r;
    for (int i = 0; i < rounds; ++i) {
        const double processor = processorSeconds();
        const auto start = std::chrono::steady_clock::now();
        const double steps = work();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        r.wall.push_back(wall * 1e9 / steps);
        r.processor.push_back((processorSeconds() - processor) * 1e9 / steps);
    }
    std::sort(r.wall.begin(), r.wall.end());
    std::sort(r.processor.begin(), r.processor.end());
    return r;
}

/// The divider's floor, or nothing where this processor lacks AVX2.
bool measureFloor(int rounds, Rounds &floor)
{
#ifdef VELMORA_DIVIDER_FLOOR
    if (!kernelAvailable(Kernel::avx2))
        return false;
    constexpr std::int64_t turns = 4'000'000;
    volatile double sink = 0;
    floor = measure(rounds, [&] {
        sink = sink + runDividerFloor(turns);
        return double(turns * dividerFloorLanes);
    });
    std::printf("%-26s %-6s 1 thread  %6.2f %6.2f %6.2f ns/step, %6.2f %6.2f on a thread\n",
                "divider floor", "avx2", floor.best(), floor.median(), floor.worst(),
                floor.processorBest(), floor.processorMedian());
    return true;
#else
    (void)rounds;
    (void)floor;
    return false;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    int argument = 1;
    const bool floorOnly = argc > argument && std::strcmp(argv[argument], "--floor") == 0;
    Kernel only = Kernel::automatic;
    if (floorOnly && ++argument < argc && kernelFromName(argv[argument], only))
        ++argument;
    const int rounds = argc > argument ? std::max(1, std::atoi(argv[argument])) : 9;
    const int cores = std::max(1, QThread::idealThreadCount());
    const Case picture600 = {"600x450 at 1920x1080", {1920, 1080}, {600, 450}};
    std::vector<Case> cases{picture600};
    if (!floorOnly)
        cases.insert(cases.begin(), {"default 100x80 at 1024x700", {1024, 700}, {100, 80}});
    std::vector<Kernel> kernels;
    for (const Kernel k : {Kernel::scalar, Kernel::avx2}) {
        if (kernelAvailable(k) && (only == Kernel::automatic || only == k))
            kernels.push_back(k);
    }
    std::vector<int> threadCounts{1};
    if (cores > 1 && !floorOnly)
        threadCounts.push_back(cores);

    std::printf("%d rounds, %d cores. ns a step: wall time best, median, worst; processor time "
                "of a thread, best, median. Start points a second: best. Floor / kernel: wall "
                "best, processor best, processor median.\n",
                rounds, cores);
    Rounds floor;
    const bool haveFloor = measureFloor(rounds, floor);
    for (const Case &c : cases) {
        RenderParameters p = RenderParameters::defaults(c.client);
        p.picture = c.picture;
        for (const Kernel kernel : kernels) {
            p.kernel = kernel;
            double single = 0;
            for (const int threads : threadCounts) {
                p.threads = threads;
                RenderSummary summary;
                const Rounds r = measure(rounds, [&] {
                    Renderer renderer(p);
                    summary = renderer.render();
                    return double(summary.steps);
                });
                const double seconds = r.best() * 1e-9 * double(summary.steps);
                std::printf("%-26s %-6s %d thread%s %6.2f %6.2f %6.2f ns/step, %6.2f %6.2f on a "
                            "thread, %9.0f points/s",
                            c.name, kernelName(kernel), threads, threads == 1 ? " " : "s", r.best(),
                            r.median(), r.worst(), r.processorBest(), r.processorMedian(),
                            double(summary.points) / seconds);
                if (threads == 1) {
                    single = r.best();
                    if (haveFloor)
                        std::printf("  floor/kernel %.2f %.2f %.2f", floor.best() / r.best(),
                                    floor.processorBest() / r.processorBest(),
                                    floor.processorMedian() / r.processorMedian());
                } else {
                    std::printf("  speed-up %.2fx", single / r.best());
                }
                std::printf("\n");
            }
        }
    }
    return 0;
}
