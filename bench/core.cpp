// The simulation core's cost per step on the default picture (1024 x 700 client, 8000 start
// points): sim::step alone, sim::trajectory with its cycle test, and sim::run driving a window
// that does nothing. Each figure is the best of several rounds; usage: bench_core [rounds].

#include "sim/defaults.h"
#include "sim/run.h"
#include "sim/scan.h"
#include "sim/step.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

/// A window that does nothing: the run's cost without any drawing or event handling.
class IdleHost : public sim::Host
{
public:
    explicit IdleHost(const sim::Rect &picture) : picture_(picture) {}

    void clear() override {}
    void drawCircle(float, float, float, std::int32_t) override {}
    void setPixel(float, float, std::int32_t) override { ++painted; }
    sim::Rect picture() const override { return picture_; }
    void setPictureBorder(int) override {}
    void setSpriteVisible(bool) override {}
    float spriteWidth() const override { return 10; }
    float spriteHeight() const override { return 10; }
    void moveSprite(float, float) override {}
    std::int16_t value(sim::Scrollbar) const override { return sim::defaultRadius; }
    void setField(sim::Field, sim::Number) override {}
    bool yield() override
    {
        ++yields;
        return true;
    }
    void message(std::string_view, std::string_view) override {}

    std::uint64_t painted = 0;
    std::uint64_t yields = 0;

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
    const std::vector<sim::StartPoint> points = sim::startPoints(picture);
    const std::int16_t radius = sim::defaultRadius;

    // The steps each trajectory takes, so that step alone can repeat exactly that work.
    std::vector<std::uint64_t> lengths;
    std::uint64_t steps = 0;
    for (const sim::StartPoint &p : points) {
        sim::simstate s = start;
        s.xgreen = p.x;
        s.ygreen = p.y;
        lengths.push_back(sim::trajectory(s, radius, radius).steps);
        steps += lengths.back();
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
    const Figure run = measure(rounds, [&] {
        sim::simstate s = start;
        IdleHost host(picture);
        sim::run(s, host);
        runSteps = host.painted + host.yields;
    });
    print("run", run, steps);
    if (runSteps != steps)
        std::printf("run took %llu steps, trajectory %llu\n",
                    static_cast<unsigned long long>(runSteps),
                    static_cast<unsigned long long>(steps));
    return 0;
}
