#pragma once

#include "engine/statistics.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <vector>

// Outcome maps drawn by hand or made by a repeatable rule, for the tests of the statistics and
// their files.

/// A picture's outcomes and steps in scan order.
struct Map
{
    int width = 0;
    int height = 0;
    std::vector<sim::Capture> outcomes;
    std::vector<std::uint64_t> steps;
    int masses = 2; ///< the fixed masses of the field
};

/// Rows separated by '/', one character a start point: '1' to '9' for the masses, '.' for
/// never captured; two masses at least, more when a higher digit shows. The steps are an
/// arbitrary repeatable sequence.
inline Map drawnMap(const char *rows)
{
    Map map;
    const QStringList lines = QString::fromLatin1(rows).split(QLatin1Char('/'));
    map.height = int(lines.size());
    map.width = int(lines.constFirst().size());
    for (const QString &line : lines) {
        for (const QChar c : line) {
            const int mass = c.isDigit() ? c.digitValue() : 0;
            map.outcomes.push_back(sim::Capture(mass));
            map.masses = std::max(map.masses, mass);
            map.steps.push_back(1 + (map.steps.size() * 37) % 11);
        }
    }
    return map;
}

/// A large map of all three outcomes, in patches, with widely spread steps.
inline Map scatteredMap(int width, int height)
{
    Map map{width, height, {}, {}};
    std::uint32_t seed = 12345;
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::uint32_t r = (seed >> 16) % 100;
        const int x = i % width;
        map.outcomes.push_back(r < 3                  ? sim::Capture::none
                               : (x / 6 + r / 80) % 2 ? sim::Capture::one
                                                      : sim::Capture::two);
        map.steps.push_back(1 + (seed >> 8) % 100000);
    }
    return map;
}


/// The statistics of a map.
inline Statistics statisticsOf(const Map &m, int box)
{
    return basinStatistics(m.width, m.height, m.outcomes, m.steps, box, m.masses);
}

Q_DECLARE_METATYPE(Map)

/// A map of patches of every outcome of a field of this many masses (ragged stripes and
/// blobs, with scattered points), its steps repeating often and reaching past 65536.
inline Map patchedMap(int width, int height, int masses, std::uint32_t seed = 7)
{
    Map map{width, height, {}, {}, masses};
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::uint32_t r = (seed >> 16) % 100;
        const int x = i % width;
        const int y = i / width;
        const int patch = (x / 4 + (y / 3) * 2 + (x * y) / 37) % (masses + 1);
        map.outcomes.push_back(sim::Capture(r < 8 ? r % std::uint32_t(masses + 1) : std::uint32_t(patch)));
        map.steps.push_back(r < 50 ? 1 + r % 7 : 1 + (seed >> 8) % 200000);
    }
    return map;
}
