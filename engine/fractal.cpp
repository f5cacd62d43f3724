#include "fractal.h"

#include "engine.h"

#include "sim/number.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

/// Start points handed to the outcome function at once: enough to keep every worker busy, few
/// enough that a measure looks at whether it is abandoned often (2^16 points took 0.025 to
/// 0.04 s on the default picture with 2 threads on a loaded machine).
constexpr std::size_t batchPoints = std::size_t(1) << 16;

std::size_t indexOf(sim::Capture outcome)
{
    return std::size_t(outcome);
}

} // namespace

std::uint64_t SplitMix64::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

std::optional<Slope> leastSquaresSlope(const std::vector<double> &x, const std::vector<double> &y)
{
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 3)
        return std::nullopt;
    double meanX = 0;
    double meanY = 0;
    for (std::size_t i = 0; i < n; ++i) {
        meanX += x[i];
        meanY += y[i];
    }
    meanX /= double(n);
    meanY /= double(n);
    double sxx = 0;
    double sxy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sxx += (x[i] - meanX) * (x[i] - meanX);
        sxy += (x[i] - meanX) * (y[i] - meanY);
    }
    if (!(sxx > 0))
        return std::nullopt;
    const double slope = sxy / sxx;
    double residuals = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = y[i] - meanY - slope * (x[i] - meanX);
        residuals += r * r;
    }
    return Slope{slope, std::sqrt(residuals / double(n - 2) / sxx)};
}

std::optional<Slope> boxCountSlope(const std::vector<double> &counts)
{
    const std::size_t n = counts.size();
    std::vector<double> logInverseSize;
    std::vector<double> logCount;
    for (std::size_t k = 0; k < n; ++k) {
        logInverseSize.push_back(-double(k + 1));
        logCount.push_back(std::log2(counts[k]));
    }
    std::optional<Slope> fit = leastSquaresSlope(logInverseSize, logCount);
    if (!fit)
        return fit;
    // The same slope, as the mean of the steps between neighbouring sizes weighted by
    // (k + 1) (n - 1 - k): a step is at most log2(4) = 2, and so, rounding and all, is the mean.
    double weighted = 0;
    double weights = 0;
    for (std::size_t k = 0; k + 1 < n; ++k) {
        const double weight = double((k + 1) * (n - 1 - k));
        weighted += weight * std::log2(counts[k] / counts[k + 1]);
        weights += weight;
    }
    fit->slope = weighted / weights;
    return fit;
}

BoxGrid boxGrid(int width, int height)
{
    BoxGrid grid;
    if (width <= 0 || height <= 0)
        return grid;
    while ((width >> (grid.sizes + 1)) >= minBoxesAcross &&
           (height >> (grid.sizes + 1)) >= minBoxesAcross) {
        ++grid.sizes;
    }
    grid.across = (width >> grid.sizes) << grid.sizes;
    grid.down = (height >> grid.sizes) << grid.sizes;
    return grid;
}

std::optional<Slope> boxCountingDimension(const PointMaps &maps)
{
    static_assert(std::uint8_t(PointOutcome::one) == std::uint8_t(sim::Capture::one) &&
                  std::uint8_t(PointOutcome::two) == std::uint8_t(sim::Capture::two) &&
                  std::uint8_t(PointOutcome::never) == std::uint8_t(sim::Capture::none));
    return boxCountingDimension(maps.width, maps.height,
                                reinterpret_cast<const sim::Capture *>(maps.outcomes.data()));
}

std::optional<Slope> boxCountingDimension(int width, int height, const sim::Capture *outcomes)
{
    const BoxGrid grid = boxGrid(width, height);
    const int sizes = grid.sizes;
    if (sizes < minBoxSizes)
        return std::nullopt;
    // Every size is counted over the area the largest one tiles, so that a box of one size holds
    // at most four of the size below it.
    int across = grid.across;
    int down = grid.down;
    const auto at = [&](int x, int y) {
        return outcomes[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    };
    std::vector<char> boxes(std::size_t(across) * std::size_t(down));
    for (int y = 0; y < down; ++y) {
        for (int x = 0; x < across; ++x) {
            const sim::Capture o = at(x, y);
            boxes[std::size_t(y) * std::size_t(across) + std::size_t(x)] =
                (x + 1 < width && at(x + 1, y) != o) || (y + 1 < height && at(x, y + 1) != o);
        }
    }
    std::vector<double> counts;
    for (int size = 1; size <= sizes; ++size) {
        const int nextAcross = across / 2;
        const int nextDown = down / 2;
        std::vector<char> next(std::size_t(nextAcross) * std::size_t(nextDown));
        std::int64_t count = 0;
        for (int y = 0; y < nextDown; ++y) {
            for (int x = 0; x < nextAcross; ++x) {
                const std::size_t top = std::size_t(2 * y) * std::size_t(across) + std::size_t(2 * x);
                const std::size_t bottom = top + std::size_t(across);
                const bool any = boxes[top] || boxes[top + 1] || boxes[bottom] || boxes[bottom + 1];
                next[std::size_t(y) * std::size_t(nextAcross) + std::size_t(x)] = any;
                count += any;
            }
        }
        counts.push_back(double(count));
        boxes.swap(next);
        across = nextAcross;
        down = nextDown;
    }
    if (!(counts.front() > 0))
        return std::nullopt;
    return boxCountSlope(counts);
}

FreePoint Region::draw(SplitMix64 &random) const
{
    const double u = random.unit();
    const double v = random.unit();
    return {sim::roundToSingle(float(x + u * width)), y + v * height};
}

Region viewRegion(const View &view)
{
    return {view.x + double(view.column) * view.spacing, view.y + double(view.row) * view.spacing,
            double(view.width) * view.spacing, double(view.height) * view.spacing};
}

bool uncertain(sim::Capture point, sim::Capture below, sim::Capture above)
{
    return below != point || above != point;
}

std::vector<double> uncertaintyEpsilons(const Region &region)
{
    const double largest = std::max(std::abs(region.y), std::abs(region.y + region.height));
    const double unit = largest > 0
                            ? std::nextafter(largest, std::numeric_limits<double>::infinity()) - largest
                            : std::numeric_limits<double>::denorm_min();
    const double floor = std::ldexp(unit, 16);
    std::vector<double> epsilons;
    for (double epsilon = region.height / 4; epsilons.size() < 8 || epsilon >= floor;
         epsilon /= 2) {
        epsilons.push_back(epsilon);
    }
    return epsilons;
}

std::optional<double> Uncertainty::dimension() const
{
    if (!alpha)
        return std::nullopt;
    return 2 - alpha->slope;
}

std::optional<Uncertainty> uncertaintyExponent(const Region &region, std::int64_t n,
                                               std::uint64_t seed, const OutcomeFunction &outcomes,
                                               const std::function<bool()> &abandoned)
{
    Uncertainty result;
    result.n = n;
    result.seed = seed;
    const std::vector<double> epsilons = uncertaintyEpsilons(region);
    const std::size_t perPoint = 1 + 2 * epsilons.size();
    const auto batch = std::int64_t(std::max<std::size_t>(1, batchPoints / perPoint));
    std::vector<std::int64_t> counts(epsilons.size(), 0);
    SplitMix64 random(seed);
    std::vector<FreePoint> points;
    std::vector<sim::Capture> ends;
    for (std::int64_t done = 0; done < n; done += batch) {
        if (abandoned && abandoned())
            return std::nullopt;
        const std::int64_t now = std::min(batch, n - done);
        points.clear();
        for (std::int64_t i = 0; i < now; ++i) {
            const FreePoint p = region.draw(random);
            points.push_back(p);
            for (const double epsilon : epsilons) {
                points.push_back({p.x, p.y - epsilon});
                points.push_back({p.x, p.y + epsilon});
            }
        }
        outcomes(points, ends);
        // Abandoned while the outcomes were computed, some may be missing.
        if (abandoned && abandoned())
            return std::nullopt;
        for (std::size_t first = 0; first < points.size(); first += perPoint) {
            for (std::size_t k = 0; k < epsilons.size(); ++k)
                counts[k] += uncertain(ends[first], ends[first + 1 + 2 * k], ends[first + 2 + 2 * k]);
        }
    }

    std::vector<double> logEpsilon;
    std::vector<double> logFraction;
    for (std::size_t k = 0; k < epsilons.size(); ++k) {
        const double fraction = n > 0 ? double(counts[k]) / double(n) : 0.0;
        result.table.push_back({epsilons[k], fraction, counts[k]});
        if (counts[k] >= minUncertainPoints) {
            logEpsilon.push_back(std::log(epsilons[k]));
            logFraction.push_back(std::log(fraction));
        }
    }
    result.alpha = leastSquaresSlope(logEpsilon, logFraction);
    return result;
}

double SampledFractions::fraction(sim::Capture outcome) const
{
    return n > 0 ? double(counts[indexOf(outcome)]) / double(n) : 0.0;
}

double SampledFractions::standardError(sim::Capture outcome) const
{
    const double p = fraction(outcome);
    return n > 0 ? std::sqrt(p * (1 - p) / double(n)) : 0.0;
}

std::optional<SampledFractions> sampleFractions(const Region &region, std::int64_t n,
                                                std::uint64_t seed, const OutcomeFunction &outcomes,
                                                const std::function<bool()> &abandoned,
                                                int masses)
{
    SampledFractions result;
    result.counts.assign(std::size_t(masses) + 1, 0);
    result.n = n;
    result.seed = seed;
    SplitMix64 random(seed);
    std::vector<FreePoint> points;
    std::vector<sim::Capture> ends;
    for (std::int64_t done = 0; done < n; done += std::int64_t(batchPoints)) {
        if (abandoned && abandoned())
            return std::nullopt;
        const std::int64_t now = std::min(std::int64_t(batchPoints), n - done);
        points.clear();
        for (std::int64_t i = 0; i < now; ++i)
            points.push_back(region.draw(random));
        outcomes(points, ends);
        if (abandoned && abandoned())
            return std::nullopt;
        for (const sim::Capture end : ends)
            ++result.counts[indexOf(end)];
    }
    return result;
}

TippingMatrix tippingMatrix(const std::vector<sim::Capture> &earlier,
                            const std::vector<sim::Capture> &later, int masses)
{
    const std::size_t outcomes = std::size_t(masses) + 1;
    std::vector<std::vector<std::int64_t>> counts(outcomes, std::vector<std::int64_t>(outcomes));
    const std::size_t n = std::min(earlier.size(), later.size());
    for (std::size_t i = 0; i < n; ++i)
        ++counts[indexOf(earlier[i])][indexOf(later[i])];
    const std::vector<sim::Capture> order = outcomeOrder(masses);
    TippingMatrix matrix(outcomes, std::vector<std::optional<double>>(outcomes));
    for (std::size_t row = 0; row < outcomes; ++row) {
        const std::vector<std::int64_t> &from = counts[indexOf(order[row])];
        std::int64_t total = 0;
        for (const std::int64_t c : from)
            total += c;
        for (std::size_t column = 0; column < outcomes; ++column) {
            if (total > 0)
                matrix[row][column] = double(from[indexOf(order[column])]) / double(total);
        }
    }
    return matrix;
}

std::vector<sim::Capture> outcomeOrder(int masses)
{
    std::vector<sim::Capture> order;
    for (int k = 1; k <= masses; ++k)
        order.push_back(sim::Capture(k));
    order.push_back(sim::Capture::none);
    return order;
}
