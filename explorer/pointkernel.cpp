#include "pointkernel.h"

#include <QThreadPool>

#include <algorithm>

bool followPoints(PointMaps &maps, const std::int32_t *indices, std::size_t count,
                  const std::function<bool()> &abandoned)
{
    const RenderParameters &p = maps.scene.parameters;
    const sim::simstate base = p.state();
    const int w = maps.view.size.width();
    for (std::size_t n = 0; n < count; ++n) {
        const std::int32_t k = indices[n];
        sim::simstate s = base;
        s.xgreen = double(maps.view.startX(k % w));
        s.ygreen = maps.view.startY(k / w);
        sim::Trajectory t;
        while (t.advance(s, p.radiusOne, p.radiusTwo, p.stepLimit)) {
            if ((t.steps() & 4095) == 0 && abandoned())
                return false;
        }
        maps.outcomes[std::size_t(k)] = t.capture();
        maps.steps[std::size_t(k)] = t.steps();
        maps.known[std::size_t(k)] = 1;
        if ((n & 15) == 15 && abandoned())
            return false;
    }
    return true;
}

bool followInParallel(PointMaps &maps, const std::vector<std::int32_t> &points, QThreadPool &pool,
                      const std::function<bool()> &abandoned, std::atomic<std::int64_t> *done)
{
    // Small enough to balance trajectories of very different lengths.
    constexpr std::size_t chunk = 32;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (;;) {
            const std::size_t first = next.fetch_add(chunk);
            if (first >= points.size())
                return;
            const std::size_t count = std::min(chunk, points.size() - first);
            if (!followPoints(maps, points.data() + first, count, abandoned))
                return;
            done->fetch_add(std::int64_t(count));
        }
    };
    for (int t = 0; t < pool.maxThreadCount(); ++t)
        pool.start(work);
    pool.waitForDone();
    return !abandoned();
}
