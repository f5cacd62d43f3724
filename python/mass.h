#pragma once

#include "scene/scene.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <optional>

namespace velmora_python {

/// velmora.Mass: one fixed mass as Parameters(masses=[...]) takes it, a value that never
/// changes. Its ranges are checked where the client area is known, by the parameters.
struct Mass
{
    FixedMass mass;
    /// red + 256 x green + 65536 x blue; none for the default of its place.
    std::optional<std::int32_t> colour;
};

/// Reads masses=[Mass, ...] into the scene: 1 to 16 masses, positions within client, each
/// colour the one given or its place's default. TypeError or ValueError naming masses.
void readMasses(pybind11::handle list, QSize client, Scene &scene);
/// The scene's masses as a list of velmora.Mass, every colour given.
pybind11::list massList(const Scene &scene);

/// Adds the class velmora.Mass to the module.
void addMass(pybind11::module_ &module);

} // namespace velmora_python
