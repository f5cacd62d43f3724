#include "shading.h"

#include "renderer.h"

void shadeCaptures(Renderer &renderer, std::int32_t colourOne, std::int32_t colourTwo)
{
    const auto *outcomes = reinterpret_cast<const std::uint8_t *>(renderer.captures().data());
    const std::vector<std::uint64_t> &steps = renderer.pointSteps();
    const std::int64_t count = renderer.pointCount();
    const std::uint64_t latest = latestCapture(outcomes, steps.data(), count);
    for (std::int64_t i = 0; i < count; ++i) {
        if (outcomes[i] == std::uint8_t(PointOutcome::never))
            continue;
        const std::int32_t colour =
            outcomes[i] == std::uint8_t(PointOutcome::one) ? colourOne : colourTwo;
        const QPointF p = renderer.pixel(i);
        renderer.surface().setPixel(
            float(p.x()), float(p.y()),
            scaledColour(colour, captureBrightness(steps[std::size_t(i)], latest)));
    }
}
