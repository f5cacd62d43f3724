#pragma once

#include "engine/parameters.h"

#include <QSize>

#include <cstdint>
#include <vector>

/// What a picture is made of, for every front end: the fixed masses, the moving mass and the
/// step limit (the engine's parameters), a colour for each mass in mass order, the background
/// and whether captures are shaded by their step. Colours are red + 256 x green + 65536 x blue.
struct Scene
{
    TrajectoryParameters trajectory = TrajectoryParameters::defaults(defaultClient);
    std::vector<std::int32_t> colours{sim::defaultColourOne, sim::defaultColourTwo};
    std::int32_t background = sim::defaultBackground;
    bool shade = false;

    /// The scene start-up gives a client area of this size.
    static Scene defaults(QSize client);

    /// Adds mass after the others, coloured as defaultMassColour colours it; false, the scene
    /// unchanged, when it has sim::maxFixedMasses already.
    bool addMass(const FixedMass &mass);
    /// Removes mass number k (from 0) and its colour; false, the scene unchanged, when k is no
    /// mass of it or the only one.
    bool removeMass(int k);

    /// Whether every start point has the same outcome and steps in both.
    bool sameOutcomes(const Scene &o) const { return trajectory == o.trajectory; }
    bool operator==(const Scene &o) const;
    bool operator!=(const Scene &o) const { return !(*this == o); }
};

/// The colour a scene gives mass number mass (from 0) when none is chosen for it: mass one red
/// and mass two blue, as at start-up, unless one of taken (the other masses' colours) is that
/// colour; every other the first of a fixed list of colours that is neither the background nor
/// one of taken.
std::int32_t defaultMassColour(int mass, const std::vector<std::int32_t> &taken,
                               std::int32_t background);
