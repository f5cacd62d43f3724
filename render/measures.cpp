#include "measures.h"

#include "engine/engine.h"

#include <algorithm>

Region pictureRegion(const RenderParameters &parameters)
{
    return viewRegion(parameters.framing.startPoints());
}

OutcomeFunction pointOutcomes(const RenderParameters &parameters, QThreadPool *pool)
{
    return [parameters, pool](const std::vector<FreePoint> &points,
                              std::vector<sim::Capture> &outcomes) {
        std::vector<float> x(points.size());
        std::vector<double> y(points.size());
        for (std::size_t k = 0; k < points.size(); ++k) {
            x[k] = points[k].x;
            y[k] = points[k].y;
        }
        Workers workers = parameters.workers;
        workers.pool = pool;
        Engine engine(parameters.scene.trajectory, workers);
        std::vector<std::uint8_t> ends(points.size());
        engine.computePoints(x.data(), y.data(), std::int64_t(points.size()), ends.data(),
                             nullptr);
        outcomes.resize(points.size());
        std::transform(ends.begin(), ends.end(), outcomes.begin(),
                       [](std::uint8_t end) { return sim::Capture(end); });
    };
}

void addRandomMeasures(Statistics &statistics, const RenderParameters &parameters,
                       const RandomPointOptions &options, QThreadPool *pool)
{
    const Region region = pictureRegion(parameters);
    const OutcomeFunction outcomes = pointOutcomes(parameters, pool);
    if (options.uncertainty > 0) {
        statistics.uncertainty =
            uncertaintyExponent(region, options.uncertainty, options.seed, outcomes);
    }
    if (options.sample > 0)
        statistics.sample = sampleFractions(region, options.sample, options.seed, outcomes, {},
                                            int(parameters.scene.trajectory.masses.size()));
}
