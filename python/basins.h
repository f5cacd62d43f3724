#pragma once

#include <pybind11/pybind11.h>

namespace velmora_python {

/// Adds basins(), statistics(), picture() and trajectory() and their result classes.
void addFunctions(pybind11::module_ &module);

} // namespace velmora_python
