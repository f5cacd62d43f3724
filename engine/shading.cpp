#include "shading.h"

#include <algorithm>
#include <cmath>

double captureBrightness(std::uint64_t step, std::uint64_t latest)
{
    if (latest <= 1)
        return 1.0;
    return 1.0 - 0.75 * std::log(double(step)) / std::log(double(latest));
}

std::int32_t scaledColour(std::int32_t colour, double brightness)
{
    const auto scaled = [&](int shift) {
        return std::int32_t(std::lround(double((colour >> shift) & 0xFF) * brightness)) << shift;
    };
    return scaled(0) | scaled(8) | scaled(16);
}

std::uint64_t latestCapture(const std::uint8_t *outcomes, const std::uint64_t *steps,
                            std::int64_t count)
{
    std::uint64_t latest = 1;
    for (std::int64_t i = 0; i < count; ++i) {
        if (outcomes[i] != 0 && outcomes[i] != 0xFF)
            latest = std::max(latest, steps[i]);
    }
    return latest;
}
