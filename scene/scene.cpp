#include "scene.h"

#include <algorithm>
#include <array>

Scene Scene::defaults(QSize client)
{
    Scene s;
    s.trajectory = TrajectoryParameters::defaults(client);
    return s;
}

bool Scene::addMass(const FixedMass &mass)
{
    if (trajectory.masses.size() >= std::size_t(sim::maxFixedMasses))
        return false;
    colours.push_back(defaultMassColour(int(trajectory.masses.size()), colours, background));
    trajectory.masses.push_back(mass);
    return true;
}

bool Scene::removeMass(int k)
{
    if (k < 0 || std::size_t(k) >= trajectory.masses.size() || trajectory.masses.size() == 1)
        return false;
    trajectory.masses.erase(trajectory.masses.begin() + k);
    colours.erase(colours.begin() + k);
    return true;
}

bool Scene::operator==(const Scene &o) const
{
    return sameOutcomes(o) && colours == o.colours && background == o.background &&
           shade == o.shade;
}

std::int32_t defaultMassColour(int mass, const std::vector<std::int32_t> &taken,
                               std::int32_t background)
{
    const auto untaken = [&](std::int32_t c) {
        return std::find(taken.begin(), taken.end(), c) == taken.end();
    };
    if (mass == 0 && untaken(sim::defaultColourOne))
        return sim::defaultColourOne;
    if (mass == 1 && untaken(sim::defaultColourTwo))
        return sim::defaultColourTwo;
    // As #rrggbb: green, orange, purple, teal, magenta, olive, brown, navy, pink, sky blue,
    // lime, grey, gold, maroon, cyan, black; red + 256 green + 65536 blue here.
    static constexpr std::array<std::int32_t, 16> later{
        0x00A000, 0x0080FF, 0xC00080, 0x808000, 0xFF00FF, 0x008080, 0x004080, 0x800000,
        0xC080FF, 0xFF8000, 0x00FF80, 0x808080, 0x00C0FF, 0x000080, 0xFFFF00, 0x000000};
    const auto free = [&](std::int32_t c) { return c != background && untaken(c); };
    for (const std::int32_t c : later) {
        if (free(c))
            return c;
    }
    // Sixteen masses and a background leave one of the 33 first values free.
    std::int32_t c = 0x010101;
    while (!free(c))
        c += 0x010101;
    return c;
}
