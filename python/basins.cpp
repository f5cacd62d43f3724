#include "basins.h"

namespace py = pybind11;

namespace velmora_python {

namespace {

py::tuple viewTuple(const View &view)
{
    return py::make_tuple(view.x, view.y, view.spacing);
}

/// (left, right, bottom, top) in the plane's units, for imshow with its origin at the top.
py::tuple extentOf(const View &view)
{
    const double half = view.spacing / 2;
    return py::make_tuple(double(view.columnX(0)) - half,
                          double(view.columnX(view.width - 1)) + half,
                          view.rowY(view.height - 1) + half, view.rowY(0) - half);
}

template <typename T>
py::array_t<T> coordinates(int count, T (*at)(const View &, int), const View &view)
{
    py::array_t<T> values(count);
    auto out = values.template mutable_unchecked<1>();
    for (int i = 0; i < count; ++i)
        out(i) = at(view, i);
    return values;
}

bool arraysEqual(py::handle a, py::handle b)
{
    return py::module_::import("numpy").attr("array_equal")(a, b).cast<bool>();
}

/// A C-ordered 2-D array of T, as a pickle holds it; ValueError otherwise.
template <typename T>
py::array_t<T> restoredMap(py::handle value, const char *what)
{
    auto map = py::array_t<T, py::array::c_style | py::array::forcecast>::ensure(value);
    if (!map || map.ndim() != 2)
        throw py::value_error(std::string(what) + ": expected a 2-dimensional array");
    return map;
}

/// What pickle calls to make a Basins again from its state.
Basins restoreBasins(py::handle outcome, py::handle steps, const py::tuple &view,
                     const py::dict &keywords, const std::string &kernel)
{
    Basins b;
    b.outcome = restoredMap<std::uint8_t>(outcome, "outcome");
    b.steps = restoredMap<std::uint64_t>(steps, "steps");
    if (b.outcome.shape(0) != b.steps.shape(0) || b.outcome.shape(1) != b.steps.shape(1) ||
        view.size() != 3)
        throw py::value_error("Basins: expected outcome and steps of one shape and a view");
    b.view.x = view[0].cast<double>();
    b.view.y = view[1].cast<double>();
    b.view.spacing = view[2].cast<double>();
    b.view.width = int(b.outcome.shape(1));
    b.view.height = int(b.outcome.shape(0));
    b.parameters = Parameters::fromKeywords(py::kwargs(keywords));
    b.kernel = kernel;
    return b;
}

Path restorePath(py::handle positions, int outcome, std::uint64_t steps)
{
    Path p;
    p.positions = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(positions);
    if (!p.positions || p.positions.ndim() != 2 || p.positions.shape(1) != 2)
        throw py::value_error("positions: expected an (n, 2) array");
    p.outcome = outcome;
    p.steps = steps;
    return p;
}

/// What pickle calls with a result's state to make it again: a function of the package's Python
/// part, which pickle names, where it could not name a compiled one.
py::object restorer(const char *name)
{
    return py::module_::import("velmora").attr(name);
}

/// Calls the function of the package's Python part, velmora.module.
py::object delegate(const char *module, const char *function, py::handle self)
{
    return py::module_::import(module).attr(function)(self);
}

void addBasins(py::module_ &module)
{
    py::class_<Basins> cls(module, "Basins",
                           "The outcome and step count of every start point of a view. Pickles; "
                           "== compares the arrays, the view and the parameters.");
    cls.def_readonly("outcome", &Basins::outcome,
                     "uint8 array (height, width), rows top to bottom: 0 never captured, 1 "
                     "captured by mass one, 2 by mass two.")
        .def_readonly("steps", &Basins::steps,
                      "uint64 array (height, width): the steps each start point took, the "
                      "capturing one included.")
        .def_property_readonly(
            "x",
            [](const Basins &b) {
                return coordinates<double>(
                    b.view.width, [](const View &v, int i) { return double(v.columnX(i)); },
                    b.view);
            },
            "float64 array (width,): the start x of each column, rounded once to single "
            "precision as every start x is.")
        .def_property_readonly(
            "y",
            [](const Basins &b) {
                return coordinates<double>(
                    b.view.height, [](const View &v, int j) { return v.rowY(j); }, b.view);
            },
            "float64 array (height,): the start y of each row, top to bottom.")
        .def_property_readonly("extent", [](const Basins &b) { return extentOf(b.view); },
                               "(left, right, bottom, top) in pixels of the client area, for "
                               "matplotlib.pyplot.imshow(outcome, extent=extent).")
        .def_property_readonly("view", [](const Basins &b) { return viewTuple(b.view); },
                               "(x, y, spacing): the top-left start point and the distance "
                               "between neighbours.")
        .def_readonly("parameters", &Basins::parameters, "The parameters computed.")
        .def_readonly("kernel", &Basins::kernel, "The kernel that computed it.")
        .def("to_xarray",
             [](py::handle self) { return delegate("velmora._data", "basins_dataset", self); },
             "An xarray.Dataset: outcome and steps over (y, x) with the start points as "
             "coordinates and the parameters as attributes.")
        .def("_repr_png_", [](py::handle self) { return delegate("velmora._plot", "png", self); })
        .def("__eq__",
             [](const Basins &a, py::handle other) -> py::object {
                 if (!py::isinstance<Basins>(other))
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 const auto &b = other.cast<const Basins &>();
                 return py::bool_(arraysEqual(a.outcome, b.outcome) &&
                                  arraysEqual(a.steps, b.steps) &&
                                  viewTuple(a.view).equal(viewTuple(b.view)) &&
                                  a.parameters.keywords().equal(b.parameters.keywords()));
             })
        .def("__reduce__",
             [](const Basins &b) {
                 return py::make_tuple(restorer("_restore_basins"),
                                       py::make_tuple(b.outcome, b.steps, viewTuple(b.view),
                                                      b.parameters.keywords(), b.kernel));
             })
        .def("__repr__", [](const Basins &b) {
            return "<velmora.Basins " + std::to_string(b.view.width) + " x " +
                   std::to_string(b.view.height) + " at " +
                   std::string(py::repr(viewTuple(b.view))) + ">";
        });
    cls.attr("__hash__") = py::none();
    module.def("_basins", &restoreBasins);
}

void addPath(py::module_ &module)
{
    py::class_<Path> cls(module, "Trajectory",
                         "The path of the moving mass from one start point. Pickles.");
    cls.def_readonly("positions", &Path::positions,
                     "float64 array (n, 2): the start point, then (x, y) after each step that "
                     "moved the mass.")
        .def_readonly("outcome", &Path::outcome, "0 never captured, 1 mass one, 2 mass two.")
        .def_readonly("steps", &Path::steps, "Steps taken, the capturing one included.")
        .def("__eq__",
             [](const Path &a, py::handle other) -> py::object {
                 if (!py::isinstance<Path>(other))
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 const auto &b = other.cast<const Path &>();
                 return py::bool_(a.outcome == b.outcome && a.steps == b.steps &&
                                  arraysEqual(a.positions, b.positions));
             })
        .def("__reduce__",
             [](const Path &p) {
                 return py::make_tuple(restorer("_restore_trajectory"),
                                       py::make_tuple(p.positions, p.outcome, p.steps));
             })
        .def("__repr__", [](const Path &p) {
            return "<velmora.Trajectory outcome=" + std::to_string(p.outcome) +
                   " steps=" + std::to_string(p.steps) + ">";
        });
    cls.attr("__hash__") = py::none();
    module.def("_trajectory", &restorePath);
}

} // namespace

void addResults(py::module_ &module)
{
    addBasins(module);
    addPath(module);
}

} // namespace velmora_python
