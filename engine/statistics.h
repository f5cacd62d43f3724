#pragma once

#include "fractal.h"
#include "wada.h"
#include "sim/step.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

/// The side of the square boxes the basin entropy is taken over, in start points.
constexpr int defaultEntropyBox = 5;
constexpr int minEntropyBox = 2;
constexpr int maxEntropyBox = 100;

/// The steps at which one mass captured its start points.
struct StepRange
{
    std::uint64_t min = 0;
    /// The middle value, or the mean of the two middle values for an even count.
    double median = 0;
    std::uint64_t max = 0;
};

/// The figures that describe a finished picture. Its outcomes are: captured by mass one, by mass
/// two, ... by the last fixed mass, never captured.
struct Statistics
{
    /// False when no picture was computed: only the random start points' measures count.
    bool grid = true;
    std::int64_t points = 0;
    /// The start points each fixed mass captured, in mass order: one entry a mass.
    std::vector<std::int64_t> captured = std::vector<std::int64_t>(2);
    std::int64_t never = 0;
    /// The steps of each mass's captures, in mass order; empty without steps, and an entry
    /// absent for a mass that captured nothing.
    std::vector<std::optional<StepRange>> steps;
    int entropyBox = defaultEntropyBox;
    /// The mean over the boxes of each box's outcome entropy -sum p ln p; absent when no whole
    /// box fits.
    std::optional<double> basinEntropy;
    /// The same mean over the boxes whose entropy is above 0 (0 when there is none).
    std::optional<double> boundaryBasinEntropy;
    /// The share of start points with a left, right, upper or lower neighbour of another
    /// outcome.
    double boundaryFraction = 0;
    /// The box-counting dimension of the boundary between the outcomes (boxCountingDimension).
    std::optional<Slope> boxDimension;
    /// From random start points, when asked for.
    std::optional<Uncertainty> uncertainty;
    std::optional<SampledFractions> sample;
    /// How the basins meet, when asked for.
    std::optional<WadaMeasures> wada;
    /// In a sweep, from the frame before; absent in the first frame and for a single picture.
    std::optional<TippingMatrix> tippingFromPrevious;

    /// count over all start points; 0 for an empty picture.
    double fraction(std::int64_t count) const;
    int masses() const { return int(captured.size()); }
    /// The start points of an outcome.
    std::int64_t count(sim::Capture outcome) const
    {
        return outcome == sim::Capture::none ? never : captured[std::size_t(outcome) - 1];
    }
};

/// The outcome entropy -sum p ln p of one box of boxPoints start points from its count of
/// each of outcomes outcomes; a box of one outcome has p = 1 and gives exactly 0.
template <typename Count>
double boxEntropy(const Count *counts, int outcomes, double boxPoints)
{
    double entropy = 0;
    for (int o = 0; o < outcomes; ++o) {
        if (counts[o] > 0) {
            const double p = double(counts[o]) / boxPoints;
            entropy -= p * std::log(p);
        }
    }
    return entropy;
}

/// The statistics of a width x height picture of a field of this many fixed masses whose
/// outcomes and step counts are given in scan order (rows top to bottom, each left to right).
/// Boxes of entropyBox x entropyBox start points are laid from the top-left start point; those
/// cut by the right or bottom edge are left out. Both vectors hold width x height entries.
Statistics basinStatistics(int width, int height, const std::vector<sim::Capture> &outcomes,
                           const std::vector<std::uint64_t> &steps, int entropyBox, int masses);
/// The same for maps as the engine keeps them (outcomes as PointOutcome values, width x height of
/// each); without steps (null) no step ranges.
Statistics basinStatistics(int width, int height, const std::uint8_t *outcomes,
                           const std::uint64_t *steps, int entropyBox, int masses);
