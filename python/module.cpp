#include "basins.h"
#include "interruptible.h"
#include "mass.h"
#include "parameters.h"

#include <pybind11/pybind11.h>

PYBIND11_MODULE(_velmora, module)
{
    module.doc() = "The compiled part of the package velmora: import velmora instead.";
    module.attr("__version__") = VELMORA_VERSION;
    velmora_python::addMass(module);
    velmora_python::addParameters(module);
    velmora_python::addCancel(module);
    velmora_python::addFunctions(module);
}
