#pragma once

#include "scene/framing.h"
#include "scene/scene.h"

#include "constructed.h"

#include <pybind11/pybind11.h>

#include <string>

namespace velmora_python {

/// velmora.Parameters: what one picture is computed from, every option of velmora-render under
/// its name with underscores. A value: made once from keyword arguments, never changed.
struct Parameters
{
    Scene scene;
    /// The client area and the picture rectangle; never a view, which basins() takes apart.
    Framing framing;

    /// From keyword arguments; start-up's defaults for the client area where one is missing.
    /// Raises TypeError for an unknown name or a value of the wrong kind and ValueError, naming
    /// the parameter and what it accepts, for a value out of range.
    static Parameters fromKeywords(const pybind11::kwargs &keywords);
    /// Every parameter by name: Parameters(**p.keywords()) equals p.
    pybind11::dict keywords() const;
    /// velmora.Parameters(client=(1024, 700), ...).
    std::string repr() const;
};

/// Raises ValueError "name: expected accepts, got repr(value)".
[[noreturn]] void badValue(const std::string &name, const std::string &accepts,
                           pybind11::handle value);

/// Adds the class velmora.Parameters to the module.
void addParameters(pybind11::module_ &module);

} // namespace velmora_python

VELMORA_CONSTRUCTED_ONLY(velmora_python::Parameters)
