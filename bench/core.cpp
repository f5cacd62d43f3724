// The simulation core's cost per step on the default picture (1024 x 700 client, 8000 start
// points): sim::step alone, sim::trajectory with its cycle test, and sim::run driving the tests'
// fake window, which only records the values, on a drawing surface. Each figure is the best of
// several rounds; usage: bench_core [rounds].

#include "sim/host.h"

#include "picture/surface.h"
#include "sim/capturemap.h"
#include "sim/defaults.h"
#include "sim/run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

/// The least a run needs of a window: a picture rectangle, the radii, and no display; it counts
/// the distances shown, once a step.
class CountingHost : public sim::Host
{
public:
    explicit CountingHost(const sim::Rect &picture) : picture_(picture) {}

    sim::Rect picture() const override { return picture_; }
    void setPictureBorder(int) override {}
    void setSpriteVisible(bool) override {}
    float spriteWidth() const override { return 10; }
    float spriteHeight() const override { return 10; }
    void moveSprite(float, float) override {}
    std::int16_t value(sim::Scrollbar) const override { return sim::defaultRadius; }
    void setField(sim::Field field, sim::Number) override
    {
        distancesShown += field == sim::Field::textrrot ? 1 : 0;
    }
    bool yield() override { return true; }
    void message(std::string_view, std::string_view) override {}

    std::uint64_t distancesShown = 0;

private:
    sim::Rect picture_;
};

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Figure
{
    double best = 1e300;
    double median = 0;
};

template <typename Round> Figure measure(int rounds, Round round)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        round();
        times.push_back(seconds(start));
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

void print(const char *name, const Figure &f, std::uint64_t steps)
{
    std::printf("%-12s %8.2f ns/step best, %8.2f median  (%.1f ms a picture)\n", name,
                f.best * 1e9 / double(steps), f.median * 1e9 / double(steps), f.best * 1e3);
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const float width = 1024;
    const float height = 700;
    const sim::simstate start = sim::defaultState(width, height);
    const sim::Rect picture = sim::defaultPicture(width, height);
    const std::int16_t radius = sim::defaultRadius;

    // The steps each trajectory takes, so that step alone can repeat exactly that work.
    std::vector<sim::StartPoint> points;
    std::vector<std::uint64_t> lengths;
    std::uint64_t steps = 0;
    for (const sim::CapturedPoint &p : sim::captureMap(start, picture, radius, radius)) {
        points.push_back(p.point);
        lengths.push_back(p.result.steps);
        steps += p.result.steps;
    }
    std::printf("default picture: %zu start points, %llu steps; %d rounds\n", points.size(),
                static_cast<unsigned long long>(steps), rounds);

    volatile double sink = 0;
    const Figure step = measure(rounds, [&] {
        double sum = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            sim::simstate s = start;
            s.xgreen = points[i].x;
            s.ygreen = points[i].y;
            for (std::uint64_t n = 1; n <= lengths[i]; ++n)
                if (sim::step(s, radius, radius, n == 1) != sim::Capture::none)
                    break;
            sum += s.xgreen;
        }
        sink = sink + sum;
    });
    print("step", step, steps);

    const Figure trajectory = measure(rounds, [&] {
        std::uint64_t sum = 0;
        for (const sim::StartPoint &p : points) {
            sim::simstate s = start;
            s.xgreen = p.x;
            s.ygreen = p.y;
            sum += sim::trajectory(s, radius, radius).steps;
        }
        sink = sink + double(sum);
    });
    print("trajectory", trajectory, steps);

    std::uint64_t runSteps = 0;
    Surface surface{QSize(int(width), int(height))};
    const Figure run = measure(rounds, [&] {
        sim::simstate s = start;
        CountingHost host(picture);
        sim::run(s, host, surface);
        // A step either ends in a capture, which shows the distances only, or yields.
        runSteps = host.distancesShown;
    });
    print("run", run, steps);
    if (runSteps != steps)
        std::printf("run took %llu steps, trajectory %llu\n",
                    static_cast<unsigned long long>(runSteps),
                    static_cast<unsigned long long>(steps));
    return 0;
}
