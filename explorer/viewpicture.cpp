#include "viewpicture.h"

#include "engine/shading.h"
#include "picture/surface.h"

#include <vector>

namespace {

constexpr auto notComputed = std::uint8_t(PointOutcome::notComputed);

/// The finest pass: every start point's own colour, exactly as the renderer paints it.
void paintEach(const PointMaps &maps, const Scene &scene, const std::uint64_t *steps,
               std::uint64_t latest, QImage &image)
{
    const int w = maps.width;
    std::vector<std::int32_t> colours(static_cast<std::size_t>(w));
    for (int j = 0; j < maps.height; ++j) {
        const std::size_t row = std::size_t(j) * std::size_t(w);
        pointColours(maps.outcomes.data() + row, steps ? steps + row : nullptr, w, latest,
                     scene.colorOne, scene.colorTwo, scene.background, colours.data());
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(j));
        for (int i = 0; i < w; ++i) {
            if (maps.outcomes[row + std::size_t(i)] != notComputed)
                line[i] = toRgb(colours[std::size_t(i)]);
        }
    }
}

} // namespace

QImage viewPicture(const PointMaps &maps, const Scene &scene, int level)
{
    const int w = maps.width;
    const int h = maps.height;
    const std::int64_t count = std::int64_t(w) * h;
    const std::uint64_t *steps = scene.shade && !maps.steps.empty() ? maps.steps.data() : nullptr;
    const std::uint64_t latest = steps ? latestCapture(maps.outcomes.data(), steps, count) : 1;
    // The renderer's surface: the same format and resolution, so that the files are equal.
    QImage image = Surface(QSize(w, h), scene.background).image();
    if (level == 1) {
        paintEach(maps, scene, steps, latest, image);
        return image;
    }
    // A coarse pass: only the known start points' colours are worked out, and each block of
    // level x level points takes its top-left one's where a point of its own is not known.
    const auto colourOf = [&](std::size_t k) {
        std::int32_t colour = 0;
        pointColours(maps.outcomes.data() + k, steps ? steps + k : nullptr, 1, latest,
                     scene.colorOne, scene.colorTwo, scene.background, &colour);
        return toRgb(colour);
    };
    for (int top = 0; top < h; top += level) {
        for (int left = 0; left < w; left += level) {
            const std::size_t anchor = std::size_t(top) * std::size_t(w) + std::size_t(left);
            const bool anchorKnown = maps.outcomes[anchor] != notComputed;
            const QRgb anchorColour = anchorKnown ? colourOf(anchor) : 0;
            for (int j = top; j < std::min(h, top + level); ++j) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(j));
                const std::size_t row = std::size_t(j) * std::size_t(w);
                for (int i = left; i < std::min(w, left + level); ++i) {
                    if (maps.outcomes[row + std::size_t(i)] != notComputed)
                        line[i] = colourOf(row + std::size_t(i));
                    else if (anchorKnown)
                        line[i] = anchorColour;
                }
            }
        }
    }
    return image;
}
