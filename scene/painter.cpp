#include "painter.h"

#include "engine/shading.h"
#include "picture/surface.h"

#include <algorithm>

namespace {

constexpr auto notComputed = std::uint8_t(PointOutcome::notComputed);

/// The finest pass: every start point's own colour.
void paintEach(const PointMaps &maps, const PointColours &colour, QImage &image)
{
    const int w = maps.width;
    for (int j = 0; j < maps.height; ++j) {
        const std::int64_t row = std::int64_t(j) * w;
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(j));
        for (int i = 0; i < w; ++i) {
            if (maps.outcomes[std::size_t(row + i)] != notComputed)
                line[i] = toRgb(colour(row + i));
        }
    }
}

/// A coarse pass: each block of level x level points takes its top-left one's colour where a
/// point of its own is not known.
void paintBlocks(const PointMaps &maps, const PointColours &colour, int level, QImage &image)
{
    const int w = maps.width;
    const int h = maps.height;
    for (int top = 0; top < h; top += level) {
        for (int left = 0; left < w; left += level) {
            const std::int64_t anchor = std::int64_t(top) * w + left;
            const bool anchorKnown = maps.outcomes[std::size_t(anchor)] != notComputed;
            const QRgb anchorColour = anchorKnown ? toRgb(colour(anchor)) : 0;
            for (int j = top; j < std::min(h, top + level); ++j) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(j));
                const std::int64_t row = std::int64_t(j) * w;
                for (int i = left; i < std::min(w, left + level); ++i) {
                    if (maps.outcomes[std::size_t(row + i)] != notComputed)
                        line[i] = toRgb(colour(row + i));
                    else if (anchorKnown)
                        line[i] = anchorColour;
                }
            }
        }
    }
}

} // namespace

PointColours::PointColours(const Scene &scene, const std::uint8_t *outcomes,
                           const std::uint64_t *steps, std::int64_t count)
    : scene_(scene), outcomes_(outcomes), steps_(scene.shade ? steps : nullptr)
{
    if (steps_)
        latest_ = latestCapture(outcomes, steps_, count);
}

PointColours PointColours::against(const Scene &scene, const std::uint8_t *outcomes,
                                   const std::uint64_t *steps, std::uint64_t latest)
{
    PointColours colours(scene, outcomes, nullptr, 0);
    colours.steps_ = scene.shade ? steps : nullptr;
    colours.latest_ = latest;
    return colours;
}

std::int32_t PointColours::operator()(std::int64_t k) const
{
    if (!captured(k))
        return scene_.background;
    const std::int32_t colour = scene_.colours[std::size_t(outcomes_[k] - 1)];
    return steps_ ? scaledColour(colour, captureBrightness(steps_[k], latest_)) : colour;
}

QImage paintView(const PointMaps &maps, const Scene &scene, int level)
{
    const PointColours colour(scene, maps.outcomes.data(),
                              maps.steps.empty() ? nullptr : maps.steps.data(),
                              std::int64_t(maps.outcomes.size()));
    QImage image = Surface(QSize(maps.width, maps.height), scene.background).image();
    if (level == 1)
        paintEach(maps, colour, image);
    else
        paintBlocks(maps, colour, level, image);
    return image;
}

void paintPicture(const Scene &scene, const Framing &framing, const std::uint8_t *outcomes,
                  const std::uint64_t *steps, Surface &surface)
{
    const View view = framing.startPoints();
    const PointColours colour(scene, outcomes, steps, view.pointCount());
    const std::vector<FixedMass> &masses = scene.trajectory.masses;
    if (!framing.view) {
        for (std::size_t k = masses.size(); k-- > 0;) {
            surface.drawCircle(masses[k].x, masses[k].y, masses[k].radius, scene.colours[k]);
        }
    }
    // Row by row, in scan order.
    std::vector<float> columns(std::size_t(view.width));
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = framing.view ? float(i) : view.columnX(std::int64_t(i));
    std::int64_t k = 0;
    for (int j = 0; j < view.height; ++j) {
        const auto y = framing.view ? float(j) : float(view.rowY(j));
        for (const float x : columns) {
            if (colour.captured(k))
                surface.setPixel(x, y, colour(k));
            ++k;
        }
    }
}
