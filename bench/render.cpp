// The renderer's throughput, nanoseconds a step and start points a second, for every kernel this
// processor has, with one thread and with every core, on the default picture, on a 600 x 450
// picture in a 1920 x 1080 client, and on that picture with 3 and with 5 fixed masses, and the
// engine's on a view of 1920 x 1080 start points at spacing 0.25 around the middle between the
// default masses; then how long the engine's workers take to return once a view is abandoned.
// Wall time is given as the best, the median and the worst of several rounds: other work on the
// machine only ever slows a round down, so the best is the figure to compare, and the spread
// says how loaded the machine was. The processor time of the process (best and median) counts
// only the time its threads ran, so on a busy machine it shows the cost of a step on one core
// better than the wall time does.
//
// On the 600 x 450 pictures with one thread, each round of a kernel follows a round of the
// divider's floor: a step's 4 divisions and square root for each mass alone (8 and 2 with two
// masses), 4 lanes a vector and 4 vectors at once, the least time a step can take on this
// processor. Paired so, both see the same load, and the share of the floor a kernel reaches
// (floor / kernel) is given round by round, best, median and worst.
//
// Usage: bench_render [rounds]; bench_render --floor [KERNEL] [rounds] measures only the
// 600 x 450 pictures with one thread beside the floor, for each kernel or the one named.

#include "engine/engine.h"
#include "render/renderer.h"

#ifdef VELMORA_DIVIDER_FLOOR
#include "dividerfloor.h"
#endif

#include <QThread>

#include <random>
#include <thread>

#include <algorithm>
#include <chrono>
#include <cmath>
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
    bool besideFloor;
    /// Fixed masses: 2 where the client puts them; more, of the default weight and radius,
    /// evenly on the circle through those two around the middle between them, the first where
    /// mass one is.
    int masses;
};

void placeMasses(Scene &scene, int count)
{
    std::vector<FixedMass> &masses = scene.trajectory.masses;
    if (count == 2)
        return;
    const double middleX = (masses[0].x + masses[1].x) / 2.0;
    const double middleY = (masses[0].y + masses[1].y) / 2.0;
    const double radius = (masses[1].x - masses[0].x) / 2.0;
    masses.resize(std::size_t(count));
    for (int k = 0; k < count; ++k) {
        const double angle = M_PI + 2 * M_PI * k / count;
        masses[std::size_t(k)].x = std::int16_t(std::lround(middleX + radius * std::cos(angle)));
        masses[std::size_t(k)].y = std::int16_t(std::lround(middleY + radius * std::sin(angle)));
    }
    scene.colours.resize(std::size_t(count), scene.colours.back());
}

double processorSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

/// Values of several rounds, sorted from the least.
struct Spread
{
    std::vector<double> values;

    void add(double v) { values.insert(std::upper_bound(values.begin(), values.end(), v), v); }
    double least() const { return values.front(); }
    double median() const { return values[values.size() / 2]; }
    double most() const { return values.back(); }
};

/// Nanoseconds a step of every round, wall and processor time, and the counts of the last.
struct Rounds
{
    Spread wall;
    Spread processor;
    RenderSummary summary;

    /// Times work once, work returning the counts; adds and returns its ns a step.
    void add(const std::function<RenderSummary()> &work, double &wallStep, double &processorStep)
    {
        const double processorStart = processorSeconds();
        const auto start = std::chrono::steady_clock::now();
        summary = work();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double steps = double(summary.steps);
        wallStep = seconds * 1e9 / steps;
        processorStep = (processorSeconds() - processorStart) * 1e9 / steps;
        wall.add(wallStep);
        processor.add(processorStep);
    }
};

/// One round of the divider's floor with this many masses; false where this processor lacks
/// AVX2.
bool floorRound(Rounds &floor, int masses, double &wallStep, double &processorStep)
{
#ifdef VELMORA_DIVIDER_FLOOR
    if (!kernelAvailable(Kernel::avx2))
        return false;
    // About as long a round for every number of masses.
    const std::int64_t turns = 8'000'000 / masses;
    static volatile double sink = 0;
    floor.add(
        [&] {
            sink = sink + runDividerFloor(turns, masses);
            RenderSummary s;
            s.steps = std::uint64_t(turns * dividerFloorLanes);
            return s;
        },
        wallStep, processorStep);
    return true;
#else
    (void)floor;
    (void)masses;
    (void)wallStep;
    (void)processorStep;
    return false;
#endif
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
        double wall = 0;
        double processor = 0;
        r.add(
            [&] {
                engine.computeView(benchView(), maps, false);
                RenderSummary s;
                s.points = engine.pointsDone();
                s.steps = engine.stepsTaken();
                return s;
            },
            wall, processor);
    }
    return r;
}

void print(const char *name, Kernel kernel, int threads, const Rounds &r, double single)
{
    const double best = r.wall.least();
    std::printf("%-30s %-6s %d thread%s %6.2f %6.2f %6.2f ns/step, %6.2f %6.2f on a thread, "
                "%9.0f points/s",
                name, kernelName(kernel), threads, threads == 1 ? " " : "s", best, r.wall.median(),
                r.wall.most(), r.processor.least(), r.processor.median(),
                double(r.summary.points) / (best * 1e-9 * double(r.summary.steps)));
    if (threads > 1)
        std::printf("  speed-up %.2fx", single / best);
    std::printf("\n");
}

/// A picture's rounds, each after a round of the floor when besideFloor; prints both, the
/// speed-up against single, the best ns a step on one thread.
Rounds measure(const Case &c, const RenderParameters &p, int rounds, bool besideFloor,
               double single)
{
    Rounds r;
    Rounds floor;
    Spread wallShare;
    Spread processorShare;
    for (int i = 0; i < rounds; ++i) {
        double floorWall = 0;
        double floorProcessor = 0;
        const bool haveFloor =
            besideFloor && floorRound(floor, c.masses, floorWall, floorProcessor);
        Renderer renderer(p);
        double wall = 0;
        double processor = 0;
        r.add([&] { return renderer.render(); }, wall, processor);
        if (haveFloor) {
            wallShare.add(floorWall / wall);
            processorShare.add(floorProcessor / processor);
        }
    }
    print(c.name, p.workers.kernel, p.workers.threads, r, single);
    if (!floor.wall.values.empty()) {
        std::printf("%-30s %-6s 1 thread  %6.2f %6.2f %6.2f ns/step, %6.2f %6.2f on a thread; "
                    "floor/kernel best, median, worst: processor %.2f %.2f %.2f, wall %.2f %.2f "
                    "%.2f\n",
                    "  divider floor", "", floor.wall.least(), floor.wall.median(),
                    floor.wall.most(), floor.processor.least(), floor.processor.median(),
                    processorShare.most(), processorShare.median(), processorShare.least(),
                    wallShare.most(), wallShare.median(), wallShare.least());
    }
    return r;
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
    int argument = 1;
    const bool floorOnly = argc > argument && std::strcmp(argv[argument], "--floor") == 0;
    Kernel only = Kernel::automatic;
    if (floorOnly && ++argument < argc && kernelFromName(argv[argument], only))
        ++argument;
    const int rounds = argc > argument ? std::max(1, std::atoi(argv[argument])) : 9;
    const int cores = std::max(1, QThread::idealThreadCount());
    std::vector<Case> cases{{"600x450 at 1920x1080", {1920, 1080}, {600, 450}, true, 2},
                            {"600x450 at 1920x1080, 3 masses", {1920, 1080}, {600, 450}, true, 3},
                            {"600x450 at 1920x1080, 5 masses", {1920, 1080}, {600, 450}, true, 5}};
    if (!floorOnly) {
        cases.insert(cases.begin(),
                     {"default 100x80 at 1024x700", {1024, 700}, {100, 80}, false, 2});
    }
    std::vector<Kernel> kernels;
    for (const Kernel k : {Kernel::scalar, Kernel::avx2}) {
        if (kernelAvailable(k) && (only == Kernel::automatic || only == k))
            kernels.push_back(k);
    }
    std::vector<int> threadCounts{1};
    if (cores > 1 && !floorOnly)
        threadCounts.push_back(cores);

    std::printf("%d rounds, %d cores. ns a step: wall time best, median, worst; processor time "
                "of a thread, best, median. Start points a second: best.\n",
                rounds, cores);
    for (const Case &c : cases) {
        RenderParameters p = RenderParameters::defaults(c.client);
        p.framing.picture = c.picture;
        placeMasses(p.scene, c.masses);
        for (const Kernel kernel : kernels) {
            p.workers.kernel = kernel;
            double single = 0;
            for (const int threads : threadCounts) {
                p.workers.threads = threads;
                const Rounds r = measure(c, p, rounds, c.besideFloor && threads == 1, single);
                if (threads == 1)
                    single = r.wall.least();
            }
        }
    }
    if (floorOnly)
        return 0;

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
                single = r.wall.least();
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
