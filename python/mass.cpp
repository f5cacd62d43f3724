#include "mass.h"

#include "parameters.h"

#include "scene/text.h"

#include <string>
#include <vector>

namespace py = pybind11;

namespace velmora_python {

namespace {

std::string repr(const Mass &m)
{
    std::string text = "velmora.Mass(" + std::to_string(m.mass.x) + ", " +
                       std::to_string(m.mass.y) + ", " + std::to_string(m.mass.weight) + ", " +
                       std::to_string(m.mass.radius);
    if (m.colour)
        text += ", '" + colourText(*m.colour).toStdString() + "'";
    return text + ")";
}

/// Mass(x, y, weight, radius, color=None): whole numbers that fit the scene's fields, and a
/// colour '#RRGGBB' or None.
Mass makeMass(py::handle x, py::handle y, py::handle weight, py::handle radius,
              py::handle colour)
{
    const auto read = [](py::handle v, const char *name) {
        if (PyBool_Check(v.ptr()) || !PyIndex_Check(v.ptr()))
            throw py::type_error(std::string("Mass: ") + name + ": expected an integer, got " +
                                 std::string(py::repr(v)));
        const long long n = v.cast<long long>();
        if (n < 0 || n > 32767)
            badValue(std::string("Mass: ") + name, "an integer from 0 to 32767", v);
        return std::int16_t(n);
    };
    Mass m;
    m.mass = {read(x, "x"), read(y, "y"), read(weight, "weight"), read(radius, "radius")};
    if (!colour.is_none()) {
        std::int32_t packed = 0;
        if (!py::isinstance<py::str>(colour) ||
            !readColour(QString::fromStdString(colour.cast<std::string>()), packed)) {
            badValue("Mass: color", "a colour '#RRGGBB' or None", colour);
        }
        m.colour = packed;
    }
    return m;
}

} // namespace

void readMasses(py::handle list, QSize client, Scene &scene)
{
    if (!py::isinstance<py::sequence>(list) || py::isinstance<py::str>(list))
        throw py::type_error("masses: expected a list of velmora.Mass, got " +
                             std::string(py::repr(list)));
    const auto items = py::reinterpret_borrow<py::sequence>(list);
    if (py::len(items) < 1 || py::len(items) > std::size_t(sim::maxFixedMasses))
        badValue("masses", "a list of 1 to 16 velmora.Mass", list);
    const ParameterInfo &weight = *massParameter(0, ParameterKind::fixedMass);
    const ParameterInfo &radius = *massParameter(0, ParameterKind::radius);
    std::vector<Mass> masses;
    std::vector<std::int32_t> taken;
    for (const py::handle item : items) {
        if (!py::isinstance<Mass>(item))
            throw py::type_error("masses: expected velmora.Mass items, got " +
                                 std::string(py::repr(item)));
        const Mass m = item.cast<Mass>();
        if (m.mass.x > client.width() || m.mass.y > client.height() ||
            m.mass.weight < weight.min || m.mass.weight > weight.max ||
            m.mass.radius < radius.min || m.mass.radius > radius.max) {
            badValue("masses",
                     "masses with x 0 to " + std::to_string(client.width()) + ", y 0 to " +
                         std::to_string(client.height()) + ", weight " +
                         std::to_string(weight.min) + " to " + std::to_string(weight.max) +
                         " and radius " + std::to_string(radius.min) + " to " +
                         std::to_string(radius.max),
                     item);
        }
        if (m.colour)
            taken.push_back(*m.colour);
        masses.push_back(m);
    }
    scene.trajectory.masses.clear();
    scene.colours.clear();
    for (const Mass &m : masses) {
        scene.trajectory.masses.push_back(m.mass);
        scene.colours.push_back(m.colour ? *m.colour
                                         : defaultMassColour(int(scene.colours.size()), taken,
                                                             scene.background));
        if (!m.colour)
            taken.push_back(scene.colours.back());
    }
}

py::list massList(const Scene &scene)
{
    py::list list;
    for (std::size_t k = 0; k < scene.trajectory.masses.size(); ++k)
        list.append(py::cast(Mass{scene.trajectory.masses[k], scene.colours[k]}));
    return list;
}

void addMass(py::module_ &module)
{
    py::class_<Mass>(module, "Mass",
                     "Mass(x, y, weight, radius, color=None): a fixed mass for "
                     "Parameters(masses=[...]): its whole-number position in the client area, "
                     "its weight (kilograms = weight x 10000, 1 to 32767), its capture radius "
                     "(1 to 300) and its colour '#RRGGBB' (None: red for the first, blue for "
                     "the second, then a colour of its own, none the background's). Mass k "
                     "captures the start points of outcome k.")
        .def(py::init(&makeMass), py::arg("x"), py::arg("y"), py::arg("weight"),
             py::arg("radius"), py::arg("color") = py::none())
        .def_property_readonly("x", [](const Mass &m) { return m.mass.x; })
        .def_property_readonly("y", [](const Mass &m) { return m.mass.y; })
        .def_property_readonly("weight", [](const Mass &m) { return m.mass.weight; })
        .def_property_readonly("radius", [](const Mass &m) { return m.mass.radius; })
        .def_property_readonly("color",
                               [](const Mass &m) -> py::object {
                                   if (!m.colour)
                                       return py::none();
                                   return py::str(colourText(*m.colour).toStdString());
                               })
        .def("__repr__", &repr)
        .def("__eq__",
             [](const Mass &a, py::handle b) -> py::object {
                 if (!py::isinstance<Mass>(b))
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 const Mass &o = b.cast<const Mass &>();
                 return py::bool_(a.mass == o.mass && a.colour == o.colour);
             })
        .def("__hash__", [](const Mass &m) { return py::hash(py::str(repr(m))); })
        .def(py::pickle(
            [](const Mass &m) {
                return py::make_tuple(m.mass.x, m.mass.y, m.mass.weight, m.mass.radius,
                                      m.colour ? py::object(py::str(colourText(*m.colour)
                                                                        .toStdString()))
                                               : py::object(py::none()));
            },
            [](const py::tuple &t) { return makeMass(t[0], t[1], t[2], t[3], t[4]); }));
}

} // namespace velmora_python
