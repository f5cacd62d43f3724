#include "pendingpattern.h"

QRgb pendingColour(int i, int j)
{
    return ((i + j) / 4) % 2 == 0 ? qRgb(0x80, 0x80, 0x80) : qRgb(0xb4, 0xb4, 0xb4);
}

void paintPending(const PointMaps &maps, int level, QImage &image)
{
    constexpr auto unknown = std::uint8_t(PointOutcome::notComputed);
    const auto at = [&](int i, int j) {
        return maps.outcomes[std::size_t(j) * std::size_t(maps.width) + std::size_t(i)];
    };
    for (int j = 0; j < maps.height; ++j) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(j));
        for (int i = 0; i < maps.width; ++i) {
            if (at(i, j) == unknown && at(i - i % level, j - j % level) == unknown)
                line[i] = pendingColour(i, j);
        }
    }
}
