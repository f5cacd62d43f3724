#include "measures.h"

#include "engine/engine.h"

#include <algorithm>

Region pictureRegion(const RenderParameters &parameters)
{
    return viewRegion(parameters.framing.startPoints());
}

OutcomeFunction pointOutcomes(const RenderParameters &parameters, QThreadPool *pool,
                              const AbandonedFunction &abandoned)
{
    return [parameters, pool, abandoned](const std::vector<FreePoint> &points,
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
        if (abandoned) {
            // A batch of slow points may take long: it is given up as the grid is.
            engine.setProgress([&](std::int64_t) {
                if (abandoned())
                    engine.abandon();
            });
        }
        std::vector<std::uint8_t> ends(points.size());
        engine.computePoints(x.data(), y.data(), std::int64_t(points.size()), ends.data(), nullptr);
        outcomes.resize(points.size());
        std::transform(ends.begin(), ends.end(), outcomes.begin(),
                       [](std::uint8_t end) { return sim::Capture(end); });
    };
}

bool addRandomMeasures(Statistics &statistics, const RenderParameters &parameters,
                       const RandomPointOptions &options, QThreadPool *pool,
                       const AbandonedFunction &abandoned)
{
    const Region region = pictureRegion(parameters);
    const OutcomeFunction outcomes = pointOutcomes(parameters, pool, abandoned);
    std::optional<Uncertainty> uncertainty;
    std::optional<SampledFractions> sample;
    if (options.uncertainty > 0) {
        uncertainty =
            uncertaintyExponent(region, options.uncertainty, options.seed, outcomes, abandoned);
        if (!uncertainty)
            return false;
    }
    if (options.sample > 0) {
        sample = sampleFractions(region, options.sample, options.seed, outcomes, abandoned,
                                 int(parameters.scene.trajectory.masses.size()));
        if (!sample)
            return false;
    }
    if (uncertainty)
        statistics.uncertainty = std::move(uncertainty);
    if (sample)
        statistics.sample = sample;
    return true;
}
