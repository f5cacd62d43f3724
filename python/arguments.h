#pragma once

#include "engine/engine.h"
#include "engine/view.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace velmora_python {

class Cancel;
struct Parameters;

/// A call's arguments by name, positional or keyword, read as Python reads a signature: a
/// TypeError naming the function for an unknown keyword, one given twice, too many positional
/// arguments or a missing required one (those before the first optional name, marked '=').
class Arguments
{
public:
    Arguments(const char *function, std::initializer_list<const char *> names,
              const pybind11::args &positional, const pybind11::kwargs &keywords);

    /// The argument, or None when it was not given.
    pybind11::object operator[](const char *name) const;
    bool given(const char *name) const;

private:
    std::vector<std::string> names_;
    std::vector<pybind11::object> values_;
};

/// Every conversion below raises TypeError or ValueError "name: expected ..., got ...".

const Parameters &parametersArgument(const char *name, pybind11::handle value);
/// A real number; finite and within maxViewCoordinate of 0 when it is a start coordinate.
double realArgument(const char *name, pybind11::handle value, const char *accepts = "a number");
double startCoordinate(const char *name, pybind11::handle value);
std::int64_t integerArgument(const char *name, pybind11::handle value, std::int64_t min,
                             std::int64_t max);
/// Items of a sequence (a list, a tuple, a NumPy array...) of exactly count items.
std::vector<pybind11::object> itemsOf(const char *name, pybind11::handle value, std::size_t count,
                                      const char *accepts);
/// The view of the view and size arguments, checked as the renderer checks its views.
View viewOf(pybind11::handle origin, pybind11::handle size);
/// The workers of the threads and kernel arguments, None for their defaults.
Workers workersOf(pybind11::handle threads, pybind11::handle kernel);
/// The token of the cancel argument, null for None.
const Cancel *cancelOf(pybind11::handle value);

} // namespace velmora_python
