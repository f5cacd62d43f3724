#pragma once

#include "constructed.h"
#include "parameters.h"

#include "engine/view.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

namespace velmora_python {

/// What basins() returns: the outcome and step count of every start point of a view.
struct Basins
{
    pybind11::array_t<std::uint8_t> outcome;
    pybind11::array_t<std::uint64_t> steps;
    /// Its width and height are the arrays'.
    View view;
    Parameters parameters;
    std::string kernel;
};

/// What trajectory() returns.
struct Path
{
    pybind11::array_t<double> positions;
    int outcome = 0;
    std::uint64_t steps = 0;
};

} // namespace velmora_python

VELMORA_CONSTRUCTED_ONLY(velmora_python::Basins)
VELMORA_CONSTRUCTED_ONLY(velmora_python::Path)

namespace velmora_python {

/// Adds basins(), points(), statistics(), picture() and trajectory() and their result classes.
void addFunctions(pybind11::module_ &module);
/// Adds the classes Basins and Trajectory.
void addResults(pybind11::module_ &module);

} // namespace velmora_python
