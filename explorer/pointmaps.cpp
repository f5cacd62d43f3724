#include "pointmaps.h"

#include "picture/surface.h"
#include "render/shading.h"

#include <algorithm>

std::int64_t PointMaps::moveTo(const Viewport &newView, const Scene &newScene)
{
    const std::size_t n = std::size_t(newView.size.width()) * std::size_t(newView.size.height());
    std::vector<sim::Capture> newOutcomes(n, sim::Capture::none);
    std::vector<std::uint64_t> newSteps(n, 0);
    std::vector<std::uint8_t> newKnown(n, 0);
    std::int64_t kept = 0;

    const double di = (newView.x - view.x) / view.spacing;
    const double dj = (newView.y - view.y) / view.spacing;
    const bool reusable = !known.empty() && scene.sameOutcomes(newScene) &&
                          newView.spacing == view.spacing && di == std::floor(di) &&
                          dj == std::floor(dj) && std::abs(di) < 1e6 && std::abs(dj) < 1e6;
    if (reusable) {
        const int oi = int(di);
        const int oj = int(dj);
        const int w = view.size.width();
        for (int j = 0; j < newView.size.height(); ++j) {
            const int oldJ = j + oj;
            if (oldJ < 0 || oldJ >= view.size.height() || newView.startY(j) != view.startY(oldJ))
                continue;
            for (int i = 0; i < newView.size.width(); ++i) {
                const int oldI = i + oi;
                if (oldI < 0 || oldI >= w || newView.startX(i) != view.startX(oldI))
                    continue;
                const std::size_t from = std::size_t(oldJ) * std::size_t(w) + std::size_t(oldI);
                if (!known[from])
                    continue;
                const std::size_t to = std::size_t(j) * std::size_t(newView.size.width()) +
                                       std::size_t(i);
                newOutcomes[to] = outcomes[from];
                newSteps[to] = steps[from];
                newKnown[to] = 1;
                ++kept;
            }
        }
    }
    view = newView;
    scene = newScene;
    outcomes = std::move(newOutcomes);
    steps = std::move(newSteps);
    known = std::move(newKnown);
    return kept;
}

bool PointMaps::complete() const
{
    return std::all_of(known.begin(), known.end(), [](std::uint8_t k) { return k != 0; });
}

QImage paintPoints(const PointMaps &maps, int stride)
{
    const int w = maps.view.size.width();
    const int h = maps.view.size.height();
    // The renderer's surface: the same format and resolution, so the files are equal.
    QImage image = Surface(QSize(w, h), maps.scene.parameters.background).image();
    const RenderParameters &p = maps.scene.parameters;

    std::uint64_t latest = 1;
    if (maps.scene.shade) {
        for (std::size_t k = 0; k < maps.known.size(); ++k) {
            if (maps.known[k] && maps.outcomes[k] != sim::Capture::none)
                latest = std::max(latest, maps.steps[k]);
        }
    }
    const QRgb background = toRgb(p.background);
    const auto colourOf = [&](std::size_t k) {
        if (maps.outcomes[k] == sim::Capture::none)
            return background;
        const std::int32_t colour =
            maps.outcomes[k] == sim::Capture::one ? p.colorOne : p.colorTwo;
        if (!maps.scene.shade)
            return toRgb(colour);
        return toRgb(scaledColour(colour, captureBrightness(maps.steps[k], latest)));
    };

    for (int j = 0; j < h; ++j) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(j));
        const std::size_t row = std::size_t(j) * std::size_t(w);
        const std::size_t anchorRow = std::size_t(j - j % stride) * std::size_t(w);
        for (int i = 0; i < w; ++i) {
            std::size_t k = row + std::size_t(i);
            if (!maps.known[k]) {
                k = anchorRow + std::size_t(i - i % stride);
                if (!maps.known[k])
                    continue;
            }
            line[i] = colourOf(k);
        }
    }
    return image;
}
