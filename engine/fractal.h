#pragma once

// How fractal the boundary between the basins is, and how the basins move: pure functions of
// outcome maps and of an outcome function, so that every front end and every test can use them.

#include "sim/step.h"
#include "view.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct PointMaps;

/// A small portable random generator (splitmix64): the same seed gives the same numbers on every
/// machine and compiler, which the standard library's distributions do not promise.
class SplitMix64
{
public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    /// A double in [0, 1): the top 53 bits of next() times 2^-53.
    double unit() { return double(next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t state_;
};

/// The slope of a least-squares line and its standard error.
struct Slope
{
    double slope = 0;
    double error = 0;
};

/// The least-squares slope of y against x with its standard error, sqrt(sum of squared
/// residuals / (n - 2) / sum (x - mean x)^2); none for fewer than three points or when every x
/// is the same.
std::optional<Slope> leastSquaresSlope(const std::vector<double> &x, const std::vector<double> &y);

/// The smallest number of box sizes a box-counting dimension is fitted over.
constexpr int minBoxSizes = 4;

/// The fewest boxes of a size across and down the map: larger boxes all hold the boundary and
/// would bend the fit towards 2.
constexpr int minBoxesAcross = 4;

/// The box-counting sizes of a width x height map, 2 x 2 to 2^sizes x 2^sizes, and the area
/// from the top-left point that every size is counted over, the one the largest size tiles.
struct BoxGrid
{
    int sizes = 0;
    int across = 0;
    int down = 0;
};
BoxGrid boxGrid(int width, int height);

/// The dimension fitted to counts[k], the boxes of 2^(k + 1) x 2^(k + 1) points that hold the
/// boundary (boxCountingDimension's slope).
std::optional<Slope> boxCountSlope(const std::vector<double> &counts);

/// The box-counting dimension of the boundary of a width x height outcome map in scan order.
/// The boundary is the set of neighbouring pairs of points of different outcomes, each pair
/// marked once at its left or upper point (a straight boundary is then one point thick wherever
/// it lies). The sizes are 2, 4, ..., S, the largest S of which at least 4 boxes fit across and
/// down; every size is counted over the same area, the S x S boxes laid from the top-left point
/// (the points right of and below them are left out, though a pair across that edge marks its
/// point inside). The dimension is the least-squares slope
/// of log(boxes holding a mark) against log(1 / size), with its standard error over n - 2
/// degrees of freedom. As a box holds at most four of the size below it, the slope is never
/// above 2. None when fewer than minBoxSizes sizes fit or no box holds a mark.
std::optional<Slope> boxCountingDimension(int width, int height, const sim::Capture *outcomes);
/// The same for a computed view's maps, every point computed.
std::optional<Slope> boxCountingDimension(const PointMaps &maps);

/// A start point anywhere: x single, y double.
struct FreePoint
{
    float x;
    double y;
};

/// The rectangle random start points are drawn from: x in [x, x + width), y in [y, y + height).
struct Region
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    /// A point drawn uniformly: x = single(x + u width), then y = y + v height, with u and v the
    /// generator's next two units.
    FreePoint draw(SplitMix64 &random) const;
};

/// Where a view's start points lie: from its first column and row to one spacing past its last.
Region viewRegion(const View &view);

/// Computes the outcome of every start point of a list into outcomes (resized to match); the
/// same point always has the same outcome.
using OutcomeFunction =
    std::function<void(const std::vector<FreePoint> &points, std::vector<sim::Capture> &outcomes)>;

/// The largest number of random start points --uncertainty and --sample accept.
constexpr std::int64_t maxRandomPoints = 100000000;

/// The fewest uncertain points an epsilon needs to take part in the fit.
constexpr std::int64_t minUncertainPoints = 20;

/// Whether a start point is uncertain: the points at y - epsilon and y + epsilon do not both end
/// as the point itself does.
bool uncertain(sim::Capture point, sim::Capture below, sim::Capture above);

/// The epsilons of the uncertainty exponent: height / 4, halved again and again while it stays at
/// least 2^16 units in the last place of the largest |y| of the region, and at least 8 of them.
std::vector<double> uncertaintyEpsilons(const Region &region);

struct UncertaintyRow
{
    double epsilon = 0;
    double fraction = 0; ///< the share of uncertain points
    std::int64_t uncertain = 0;
};

/// The uncertainty exponent alpha (Grebogi, McDonald, Ott and Yorke 1983) and the boundary's
/// dimension 2 - alpha.
struct Uncertainty
{
    std::int64_t n = 0;
    std::uint64_t seed = 0;
    std::vector<UncertaintyRow> table;
    /// The slope of ln f against ln epsilon over the rows with at least minUncertainPoints
    /// uncertain points; none when fewer than three rows have.
    std::optional<Slope> alpha;
    std::optional<double> dimension() const;
};

/// Draws n points from region with a generator seeded by seed and classifies each at every
/// epsilon, asking outcomes for the points and their neighbours a batch at a time. Before and
/// after each batch it asks abandoned, when given, and once that says true it stops and returns
/// none.
std::optional<Uncertainty> uncertaintyExponent(const Region &region, std::int64_t n,
                                               std::uint64_t seed, const OutcomeFunction &outcomes,
                                               const std::function<bool()> &abandoned = {});

/// Basin stability: the shares of the outcomes among random start points (Menck et al. 2013).
struct SampledFractions
{
    std::int64_t n = 0;
    std::uint64_t seed = 0;
    /// Counts indexed by the outcome: never, one, two, ... to the last fixed mass.
    std::vector<std::int64_t> counts = std::vector<std::int64_t>(3);
    /// The fixed masses: counts holds one more.
    int masses() const { return int(counts.size()) - 1; }
    double fraction(sim::Capture outcome) const;
    /// sqrt(p (1 - p) / n).
    double standardError(sim::Capture outcome) const;
};

/// Follows n points drawn from region as uncertaintyExponent draws them, in a field of this many
/// fixed masses, and is abandoned as it is.
std::optional<SampledFractions> sampleFractions(const Region &region, std::int64_t n,
                                                std::uint64_t seed, const OutcomeFunction &outcomes,
                                                const std::function<bool()> &abandoned = {},
                                                int masses = 2);

/// Rows: the earlier outcome (one, two, ... never); columns: the later one in the same order.
/// Each entry is the share of the row's start points that end in the column's outcome; a row
/// whose outcome has no start point is none.
using TippingMatrix = std::vector<std::vector<std::optional<double>>>;

/// The tipping between two frames of the same start points, each in scan order, in a field of
/// this many fixed masses.
TippingMatrix tippingMatrix(const std::vector<sim::Capture> &earlier,
                            const std::vector<sim::Capture> &later, int masses = 2);

/// The outcomes of a field of this many fixed masses in the order of the tipping matrix and the
/// files: one, two, ... the last mass, then never.
std::vector<sim::Capture> outcomeOrder(int masses);
