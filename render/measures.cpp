#include "measures.h"

#include "sim/defaults.h"
#include "sim/scan.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <numeric>

namespace {

/// Start points a worker takes at a time.
constexpr std::size_t chunkSize = 256;

} // namespace

Region pictureRegion(const RenderParameters &p)
{
    sim::Rect row = sim::centredPicture(float(p.client.width()), float(p.client.height()),
                                        float(p.picture.width()), float(p.picture.height()));
    row.height = 1;
    const sim::StartPoint first = sim::startPoints(row).front();
    return {double(first.x), double(first.y), double(p.picture.width()),
            double(p.picture.height())};
}

OutcomeFunction pointOutcomes(const RenderParameters &parameters, QThreadPool *pool)
{
    return [parameters, pool](const std::vector<FreePoint> &points,
                              std::vector<sim::Capture> &outcomes) {
        outcomes.assign(points.size(), sim::Capture::none);
        const sim::simstate state = parameters.state();
        std::vector<std::size_t> chunks((points.size() + chunkSize - 1) / chunkSize);
        std::iota(chunks.begin(), chunks.end(), std::size_t(0));
        QThreadPool ownPool;
        if (!pool)
            ownPool.setMaxThreadCount(parameters.workers());
        QtConcurrent::blockingMap(pool ? pool : &ownPool, chunks, [&](std::size_t chunk) {
            const std::size_t end = std::min(points.size(), (chunk + 1) * chunkSize);
            for (std::size_t i = chunk * chunkSize; i < end; ++i) {
                sim::simstate s = state;
                s.xgreen = points[i].x;
                s.ygreen = points[i].y;
                outcomes[i] = sim::trajectory(s, parameters.radiusOne, parameters.radiusTwo,
                                              parameters.stepLimit)
                                  .capture;
            }
        });
    };
}

void addRandomMeasures(Statistics &statistics, const RenderParameters &parameters,
                       const RandomPointOptions &options, QThreadPool *pool)
{
    const Region region = pictureRegion(parameters);
    const OutcomeFunction outcomes = pointOutcomes(parameters, pool);
    if (options.uncertainty > 0)
        statistics.uncertainty = uncertaintyExponent(region, options.uncertainty, options.seed,
                                                     outcomes);
    if (options.sample > 0)
        statistics.sample = sampleFractions(region, options.sample, options.seed, outcomes);
}
