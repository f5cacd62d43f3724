#include "parameters.h"

#include "render/commandline.h"

#include <pybind11/stl.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace velmora_python {

namespace {

/// One keyword argument: its name, what it accepts on a client area of the given size, how it
/// is read and shown.
struct Field
{
    const char *name;
    std::string doc;
    std::function<std::string(QSize client)> accepts;
    /// Reads value into p, whose client area is set; false when it lies outside the range.
    std::function<bool(py::handle value, QSize client, Parameters &p)> read;
    std::function<py::object(const Parameters &p)> value;
};

[[noreturn]] void badKind(const char *name, const char *expected, py::handle value)
{
    throw py::type_error(std::string(name) + ": expected " + expected + ", got " +
                         std::string(py::str(py::type::handle_of(value).attr("__name__"))));
}

/// A Python integer (a NumPy one too, but no bool) within [min, max].
std::optional<long long> whole(const char *name, py::handle value, long long min, long long max)
{
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr()))
        badKind(name, "an integer", value);
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(py::reinterpret_steal<py::object>(
                                                         PyNumber_Index(value.ptr()))
                                                         .ptr(),
                                                     &overflow);
    if (overflow != 0 || n < min || n > max)
        return std::nullopt;
    return n;
}

/// A pair of integers such as (1024, 700), each within [min, max first] and [min, max second].
std::optional<std::pair<int, int>> pair(const char *name, py::handle value, int min, int maxFirst,
                                        int maxSecond)
{
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::str>(value) ||
        py::len(value) != 2) {
        badKind(name, "a pair of integers", value);
    }
    const py::sequence items = py::reinterpret_borrow<py::sequence>(value);
    const auto first = whole(name, items[0], min, maxFirst);
    const auto second = whole(name, items[1], min, maxSecond);
    if (!first || !second)
        return std::nullopt;
    return std::pair{int(*first), int(*second)};
}

/// "#RRGGBB" packed as red + 256 x green + 65536 x blue.
bool colour(const char *name, py::handle value, std::int32_t &packed)
{
    if (!py::isinstance<py::str>(value))
        badKind(name, "a string '#RRGGBB'", value);
    const std::string text = value.cast<std::string>();
    unsigned rgb = 0;
    int length = 0;
    if (text.size() != 7 || std::sscanf(text.c_str(), "#%6x%n", &rgb, &length) != 1 ||
        length != 7 || text.find_first_of("+- ") != std::string::npos) {
        return false;
    }
    packed = std::int32_t(((rgb >> 16) & 0xFF) + 256 * ((rgb >> 8) & 0xFF) + 65536 * (rgb & 0xFF));
    return true;
}

py::str colourText(std::int32_t packed)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", packed & 0xFF, (packed >> 8) & 0xFF,
                  (packed >> 16) & 0xFF);
    return py::str(text);
}

std::string wholeRange(long long min, long long max)
{
    return "an integer from " + std::to_string(min) + " to " + std::to_string(max);
}

using Member16 = std::int16_t RenderParameters::*;

std::string sizeRange(QSize c, int min)
{
    return "(x, y) with x " + std::to_string(min) + " to " + std::to_string(c.width()) +
           " and y " + std::to_string(min) + " to " + std::to_string(c.height());
}

Field positionField(const char *name, const char *mass, Member16 x, Member16 y)
{
    return {name, std::string("Position (x, y) of mass ") + mass + ", in pixels of the client area.",
            [](QSize c) { return sizeRange(c, 0); },
            [name, x, y](py::handle v, QSize c, Parameters &p) {
                const auto xy = pair(name, v, 0, c.width(), c.height());
                if (xy) {
                    p.render.*x = std::int16_t(xy->first);
                    p.render.*y = std::int16_t(xy->second);
                }
                return bool(xy);
            },
            [x, y](const Parameters &p) -> py::object {
                return py::make_tuple(p.render.*x, p.render.*y);
            }};
}

Field valueField(const char *name, std::string doc, Member16 member, int max)
{
    return {name, std::move(doc), [max](QSize) { return wholeRange(1, max); },
            [name, member, max](py::handle v, QSize, Parameters &p) {
                const auto n = whole(name, v, 1, max);
                if (n)
                    p.render.*member = std::int16_t(*n);
                return bool(n);
            },
            [member](const Parameters &p) -> py::object { return py::int_(p.render.*member); }};
}

Field colourField(const char *name, const char *what, std::int32_t RenderParameters::*member)
{
    return {name, std::string("Colour of ") + what + ", '#RRGGBB'.",
            [](QSize) { return std::string("a colour '#RRGGBB'"); },
            [name, member](py::handle v, QSize, Parameters &p) {
                return colour(name, v, p.render.*member);
            },
            [member](const Parameters &p) -> py::object { return colourText(p.render.*member); }};
}

/// Every keyword but client, which the others' ranges and defaults depend on.
const std::vector<Field> &fields()
{
    static const std::vector<Field> table{
        {"picture", "Size (width, height) of the picture rectangle, centred in the client area.",
         [](QSize c) { return sizeRange(c, 2); },
         [](py::handle v, QSize c, Parameters &p) {
             const auto size = pair("picture", v, 2, c.width(), c.height());
             if (size)
                 p.render.picture = QSize(size->first, size->second);
             return bool(size);
         },
         [](const Parameters &p) -> py::object {
             return py::make_tuple(p.render.picture.width(), p.render.picture.height());
         }},
        positionField("one", "one", &RenderParameters::xrot, &RenderParameters::yrot),
        positionField("two", "two", &RenderParameters::xblau, &RenderParameters::yblau),
        valueField("mass_one", "Mass one; kilograms = value x 10000.", &RenderParameters::massOne,
                   RenderParameters::maxMass),
        valueField("mass_two", "Mass two; kilograms = value x 10000.", &RenderParameters::massTwo,
                   RenderParameters::maxMass),
        valueField("mass_moving", "The moving mass; kilograms = value x 10000000.",
                   &RenderParameters::massMoving, RenderParameters::maxMass),
        valueField("radius_one", "Capture radius of mass one in pixels.",
                   &RenderParameters::radiusOne, RenderParameters::maxRadius),
        valueField("radius_two", "Capture radius of mass two in pixels.",
                   &RenderParameters::radiusTwo, RenderParameters::maxRadius),
        colourField("color_one", "mass one", &RenderParameters::colorOne),
        colourField("color_two", "mass two", &RenderParameters::colorTwo),
        colourField("background", "the background", &RenderParameters::background),
        {"step_limit", "Steps per start point before it counts as never captured.",
         [](QSize) { return wholeRange(1, sim::stepLimit); },
         [](py::handle v, QSize, Parameters &p) {
             const auto n = whole("step_limit", v, 1, sim::stepLimit);
             if (n)
                 p.render.stepLimit = std::uint64_t(*n);
             return bool(n);
         },
         [](const Parameters &p) -> py::object { return py::int_(p.render.stepLimit); }},
        {"shade", "Whether picture() paints each captured start point darker the later it is "
                  "captured.",
         [](QSize) { return std::string("True or False"); },
         [](py::handle v, QSize, Parameters &p) {
             if (!PyBool_Check(v.ptr()))
                 badKind("shade", "a bool", v);
             p.shade = v.cast<bool>();
             return true;
         },
         [](const Parameters &p) -> py::object { return py::bool_(p.shade); }},
    };
    return table;
}

[[noreturn]] void outOfRange(const char *name, const std::string &accepts, py::handle value)
{
    throw py::value_error(std::string(name) + ": expected " + accepts + ", got " +
                          std::string(py::repr(value)));
}

std::string clientRange()
{
    return sizeRange(QSize(RenderCommandLine::maxClientSize, RenderCommandLine::maxClientSize), 2);
}

} // namespace

Parameters Parameters::fromKeywords(const py::kwargs &keywords)
{
    for (const auto &item : keywords) {
        const std::string name = py::str(item.first);
        bool known = name == "client";
        for (const Field &field : fields())
            known = known || name == field.name;
        if (!known)
            throw py::type_error("Parameters() got an unexpected keyword argument '" + name + "'");
    }
    QSize client = RenderParameters().client;
    if (keywords.contains("client")) {
        const py::handle value = keywords["client"];
        const int max = RenderCommandLine::maxClientSize;
        const auto size = pair("client", value, 2, max, max);
        if (!size)
            outOfRange("client", clientRange(), value);
        client = QSize(size->first, size->second);
    }
    Parameters p;
    p.render = RenderParameters::defaults(client);
    if (!keywords.contains("picture") && (p.render.picture.width() > client.width() ||
                                          p.render.picture.height() > client.height())) {
        outOfRange("client", "a client area that holds the default picture (100, 80), or a "
                             "picture that fits", keywords["client"]);
    }
    for (const Field &field : fields()) {
        if (!keywords.contains(field.name))
            continue;
        const py::handle value = keywords[field.name];
        if (!field.read(value, client, p))
            outOfRange(field.name, field.accepts(client), value);
    }
    return p;
}

py::dict Parameters::keywords() const
{
    py::dict result;
    result["client"] = py::make_tuple(render.client.width(), render.client.height());
    for (const Field &field : fields())
        result[field.name] = field.value(*this);
    return result;
}

std::string Parameters::repr() const
{
    std::string text = "velmora.Parameters(";
    const char *separator = "";
    for (const auto &item : keywords()) {
        text += separator + std::string(py::str(item.first)) + "=" +
                std::string(py::repr(item.second));
        separator = ", ";
    }
    return text + ")";
}

bool Parameters::operator==(const Parameters &other) const
{
    return keywords().equal(other.keywords());
}

void addParameters(py::module_ &module)
{
    std::string doc =
        "What one picture is computed from: every option of velmora-render, with underscores "
        "for dashes, in the same units and ranges.\n\n"
        "Parameters(client=(1024, 700), **options). A parameter not given takes the value "
        "start-up gives it for that client area. A value out of range raises ValueError naming "
        "the parameter and what it accepts. Parameters are immutable: replace() makes a "
        "changed copy.\n\nclient: Size (width, height) of the drawing surface, each " +
        clientRange().substr(std::string("(x, y) with x ").size()) + ".\n";
    for (const Field &field : fields())
        doc += std::string(field.name) + ": " + field.doc + "\n";

    py::class_<Parameters> cls(module, "Parameters", doc.c_str());
    cls.def(py::init([](const py::kwargs &keywords) { return Parameters::fromKeywords(keywords); }))
        .def("replace",
             [](const Parameters &p, const py::kwargs &changes) {
                 py::dict keywords = p.keywords();
                 // On a new client area the masses take start-up's places unless given.
                 if (changes.contains("client")) {
                     PyDict_DelItemString(keywords.ptr(), "one");
                     PyDict_DelItemString(keywords.ptr(), "two");
                 }
                 for (const auto &item : changes)
                     keywords[item.first] = item.second;
                 return Parameters::fromKeywords(py::kwargs(keywords));
             },
             "A copy with the given parameters changed, checked as the constructor checks them.")
        .def("keywords", &Parameters::keywords,
             "Every parameter by name: Parameters(**p.keywords()) == p.")
        .def("__repr__", &Parameters::repr)
        .def("__eq__", [](const Parameters &a, const Parameters &b) { return a == b; })
        .def("__hash__", [](const Parameters &p) { return py::hash(py::str(p.repr())); })
        .def(py::pickle([](const Parameters &p) { return p.keywords(); },
                        [](const py::dict &keywords) {
                            return Parameters::fromKeywords(py::kwargs(keywords));
                        }));
    cls.def_property_readonly(
        "client",
        [](const Parameters &p) {
            return py::make_tuple(p.render.client.width(), p.render.client.height());
        },
        "Size (width, height) of the drawing surface.");
    for (const Field &field : fields()) {
        const auto &value = field.value;
        cls.def_property_readonly(field.name, [value](const Parameters &p) { return value(p); },
                                  field.doc.c_str());
    }
}

} // namespace velmora_python
