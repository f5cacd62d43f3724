#include "statistics.h"

#include "boundary.h"

#include <algorithm>
#include <array>
#include <type_traits>

namespace {

std::optional<StepRange> stepRange(std::size_t count, const sim::Capture *outcomes,
                                   const std::uint64_t *steps, sim::Capture mass)
{
    std::vector<std::uint64_t> captured;
    for (std::size_t i = 0; i < count; ++i) {
        if (outcomes[i] == mass)
            captured.push_back(steps[i]);
    }
    if (captured.empty())
        return std::nullopt;

    StepRange range;
    range.min = *std::min_element(captured.begin(), captured.end());
    range.max = *std::max_element(captured.begin(), captured.end());
    const auto middle = captured.begin() + std::ptrdiff_t(captured.size() / 2);
    std::nth_element(captured.begin(), middle, captured.end());
    if (captured.size() % 2 == 1) {
        range.median = double(*middle);
    } else {
        // Everything before the middle is at most the middle; the largest of it is the other
        // middle value. Step counts stay far below 2^52, so the sum is exact.
        const std::uint64_t lower = *std::max_element(captured.begin(), middle);
        range.median = (double(lower) + double(*middle)) / 2;
    }
    return range;
}

struct BoxEntropies
{
    std::optional<double> mean;
    std::optional<double> boundaryMean;
};

BoxEntropies boxEntropies(int width, int height, const sim::Capture *outcomes, int box,
                          int masses)
{
    const int across = width / box;
    const int down = height / box;
    if (across == 0 || down == 0)
        return {};

    const double boxPoints = double(box) * double(box);
    double sum = 0;
    double boundarySum = 0;
    std::int64_t boundaryBoxes = 0;
    std::vector<std::int64_t> counts(std::size_t(masses) + 1);
    for (int by = 0; by < down; ++by) {
        for (int bx = 0; bx < across; ++bx) {
            std::fill(counts.begin(), counts.end(), 0);
            for (int y = by * box; y < (by + 1) * box; ++y) {
                const std::size_t row = std::size_t(y) * std::size_t(width);
                for (int x = bx * box; x < (bx + 1) * box; ++x)
                    ++counts[std::size_t(outcomes[row + std::size_t(x)])];
            }
            const double entropy = boxEntropy(counts.data(), masses + 1, boxPoints);
            sum += entropy;
            if (entropy > 0) {
                boundarySum += entropy;
                ++boundaryBoxes;
            }
        }
    }
    return {sum / (double(across) * double(down)),
            boundaryBoxes > 0 ? boundarySum / double(boundaryBoxes) : 0.0};
}

double boundaryFraction(int width, int height, const std::uint8_t *outcomes)
{
    std::int64_t boundary = 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t *here = outcomes + std::size_t(y) * std::size_t(width);
        const std::uint8_t *above = y > 0 ? here - width : nullptr;
        const std::uint8_t *below = y + 1 < height ? here + width : nullptr;
        for (int x = 0; x < width; ++x)
            boundary += onBoundary(above, here, below, x, width);
    }
    const std::int64_t points = std::int64_t(width) * height;
    return points > 0 ? double(boundary) / double(points) : 0.0;
}

} // namespace

double Statistics::fraction(std::int64_t count) const
{
    return points > 0 ? double(count) / double(points) : 0.0;
}

Statistics basinStatistics(int width, int height, const std::vector<sim::Capture> &outcomes,
                           const std::vector<std::uint64_t> &steps, int entropyBox, int masses)
{
    return basinStatistics(width, height, reinterpret_cast<const std::uint8_t *>(outcomes.data()),
                           steps.empty() ? nullptr : steps.data(), entropyBox, masses);
}

Statistics basinStatistics(int width, int height, const std::uint8_t *outcomeValues,
                           const std::uint64_t *steps, int entropyBox, int masses)
{
    static_assert(std::is_same_v<std::underlying_type_t<sim::Capture>, std::uint8_t>);
    const auto *outcomes = reinterpret_cast<const sim::Capture *>(outcomeValues);
    Statistics s;
    s.points = std::int64_t(width) * height;
    s.captured.assign(std::size_t(masses), 0);
    for (std::int64_t i = 0; i < s.points; ++i) {
        if (outcomeValues[i] == 0)
            ++s.never;
        else
            ++s.captured[outcomeValues[i] - 1];
    }
    if (steps) {
        for (int k = 1; k <= masses; ++k)
            s.steps.push_back(stepRange(std::size_t(s.points), outcomes, steps, sim::Capture(k)));
    }
    s.entropyBox = entropyBox;
    const BoxEntropies entropies = boxEntropies(width, height, outcomes, entropyBox, masses);
    s.basinEntropy = entropies.mean;
    s.boundaryBasinEntropy = entropies.boundaryMean;
    s.boundaryFraction = boundaryFraction(width, height, outcomeValues);
    s.boxDimension = boxCountingDimension(width, height, outcomes);
    return s;
}
