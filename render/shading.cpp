#include "shading.h"

#include "renderer.h"

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

void shadeCaptures(Renderer &renderer, std::int32_t colourOne, std::int32_t colourTwo)
{
    const std::vector<sim::Capture> &captures = renderer.captures();
    const std::vector<std::uint64_t> &steps = renderer.pointSteps();
    std::uint64_t latest = 1;
    for (std::size_t i = 0; i < captures.size(); ++i) {
        if (captures[i] != sim::Capture::none)
            latest = std::max(latest, steps[i]);
    }
    for (std::size_t i = 0; i < captures.size(); ++i) {
        if (captures[i] == sim::Capture::none)
            continue;
        const std::int32_t colour = captures[i] == sim::Capture::one ? colourOne : colourTwo;
        const sim::StartPoint p = renderer.startPoint(std::int64_t(i));
        renderer.surface().setPixel(p.x, p.y,
                                    scaledColour(colour, captureBrightness(steps[i], latest)));
    }
}
