#include "viewpicture.h"

#include "engine/shading.h"
#include "picture/surface.h"

#include <vector>

QImage viewPicture(const PointMaps &maps, const Scene &scene, int level)
{
    const int w = maps.width;
    const int h = maps.height;
    const std::int64_t count = std::int64_t(w) * h;
    const std::uint64_t *steps = scene.shade && !maps.steps.empty() ? maps.steps.data() : nullptr;
    const std::uint64_t latest = steps ? latestCapture(maps.outcomes.data(), steps, count) : 1;
    std::vector<std::int32_t> colours(static_cast<std::size_t>(count));
    pointColours(maps.outcomes.data(), steps, count, latest, scene.colorOne, scene.colorTwo,
                 scene.background, colours.data());

    // The renderer's surface: the same format and resolution, so that the files are equal.
    QImage image = Surface(QSize(w, h), scene.background).image();
    constexpr auto notComputed = std::uint8_t(Outcome::notComputed);
    for (int j = 0; j < h; ++j) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(j));
        const std::size_t row = std::size_t(j) * std::size_t(w);
        const std::size_t anchorRow = std::size_t(j - j % level) * std::size_t(w);
        for (int i = 0; i < w; ++i) {
            std::size_t k = row + std::size_t(i);
            if (maps.outcomes[k] == notComputed) {
                k = anchorRow + std::size_t(i - i % level);
                if (maps.outcomes[k] == notComputed)
                    continue;
            }
            line[i] = toRgb(colours[k]);
        }
    }
    return image;
}
