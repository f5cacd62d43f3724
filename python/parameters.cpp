#include "parameters.h"

#include "mass.h"

#include "scene/parametertext.h"
#include "scene/sceneparameters.h"
#include "scene/text.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

namespace py = pybind11;

namespace velmora_python {

namespace {

/// The keyword argument of a parameter: its name with '_' for '-'.
std::string keywordOf(const char *parameter)
{
    std::string name = parameter;
    for (char &c : name)
        c = c == '-' ? '_' : c;
    return name;
}

std::string keywordOf(const ParameterInfo &p)
{
    return keywordOf(p.name);
}

/// The renderer's options that the table does not hold, as keyword arguments, and what they
/// are. one and two give the table's one_x and one_y, two_x and two_y at once, as --one and
/// --two do.
struct OtherKeyword
{
    const char *name;
    const char *doc;
};
const OtherKeyword otherKeywords[] = {
    {"client", "(width, height) of the drawing surface, each side 2 to 16384 pixels"},
    {"picture", "(width, height) of the picture rectangle, centred in the client area, each side "
                "2 to the client area's"},
    {"one", "(x, y) of mass one: one_x and one_y"},
    {"two", "(x, y) of mass two: two_x and two_y"},
    {"color_one", "Colour of mass one, '#RRGGBB'"},
    {"color_two", "Colour of mass two, '#RRGGBB'"},
    {"background", "Background colour, '#RRGGBB'"},
    {"shade", "Whether picture() paints each captured start point darker the later it is "
              "captured"},
};

/// A whole number: a Python or NumPy integer, or a float with a whole value (step_limit=1e14);
/// nothing when it lies outside [min, max]. TypeError for anything else.
std::optional<std::int64_t> whole(const std::string &name, py::handle value, std::int64_t min,
                                  std::int64_t max)
{
    if (PyBool_Check(value.ptr()))
        throw py::type_error(name + ": expected an integer, got bool");
    if (PyFloat_Check(value.ptr())) {
        const double v = value.cast<double>();
        if (!(v >= double(min) && v <= double(max)) || std::floor(v) != v)
            return std::nullopt;
        return std::int64_t(v);
    }
    if (!PyIndex_Check(value.ptr())) {
        throw py::type_error(name + ": expected an integer, got " +
                             std::string(py::str(py::type::handle_of(value).attr("__name__"))));
    }
    int overflow = 0;
    const py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    const long long n = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (overflow != 0 || n < min || n > max)
        return std::nullopt;
    return n;
}

/// A pair (first, second) of values of any kind; TypeError for anything else.
std::pair<py::object, py::object> pairOf(const std::string &name, py::handle value)
{
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::str>(value) ||
        py::len(value) != 2) {
        throw py::type_error(name + ": expected a pair of integers, got " +
                             std::string(py::repr(value)));
    }
    const auto items = py::reinterpret_borrow<py::sequence>(value);
    return {items[0], items[1]};
}

/// A size (width, height), each side from min to the given maximum.
QSize size(const std::string &name, py::handle value, int min, QSize max)
{
    const auto [w, h] = pairOf(name, value);
    const auto width = whole(name, w, min, max.width());
    const auto height = whole(name, h, min, max.height());
    if (!width || !height) {
        badValue(name,
                 "(width, height) with width " + std::to_string(min) + " to " +
                     std::to_string(max.width()) + " and height " + std::to_string(min) + " to " +
                     std::to_string(max.height()),
                 value);
    }
    return QSize(int(*width), int(*height));
}

/// '#RRGGBB' packed as red + 256 x green + 65536 x blue.
std::int32_t colour(const char *name, py::handle value)
{
    if (!py::isinstance<py::str>(value)) {
        throw py::type_error(std::string(name) + ": expected a string '#RRGGBB', got " +
                             std::string(py::repr(value)));
    }
    std::int32_t packed = 0;
    if (!readColour(QString::fromStdString(value.cast<std::string>()), packed))
        badValue(name, "a colour '#RRGGBB'", value);
    return packed;
}

py::str colourString(std::int32_t packed)
{
    return py::str(colourText(packed).toStdString());
}

/// Reads a table parameter's keyword into p when given. Positions lie anywhere a view's may,
/// as views of any part of the plane are computed from the same parameters.
void readParameter(const ParameterInfo &parameter, const std::string &name, py::handle value,
                   Parameters &p)
{
    const QSize area = viewArea();
    const auto v = whole(name, value, parameter.min, maxValue(parameter, area));
    if (!v)
        badValue(name, parameterAccepts(parameter, area).toStdString(), value);
    parameter.set(p.scene.trajectory, *v);
}

/// The keywords of mass one and mass two, which masses replaces.
bool twoMassKeyword(const std::string &name)
{
    for (const char *two : {"one", "two", "color_one", "color_two"}) {
        if (name == two)
            return true;
    }
    std::string dashed = name;
    for (char &c : dashed)
        c = c == '_' ? '-' : c;
    const ParameterInfo *p = findParameter(dashed);
    return p && p->mass >= 0;
}

bool isKeyword(const std::string &name)
{
    if (name == "masses")
        return true;
    for (const OtherKeyword &other : otherKeywords) {
        if (name == other.name)
            return true;
    }
    for (const ParameterInfo &p : parameterTable()) {
        if (name == keywordOf(p))
            return true;
    }
    return false;
}

} // namespace

void badValue(const std::string &name, const std::string &accepts, py::handle value)
{
    throw py::value_error(name + ": expected " + accepts + ", got " + std::string(py::repr(value)));
}

Parameters Parameters::fromKeywords(const py::kwargs &keywords)
{
    for (const auto &item : keywords) {
        const std::string name = py::str(item.first);
        if (!isKeyword(name))
            throw py::type_error("Parameters() got an unexpected keyword argument '" + name + "'");
    }
    const auto given = [&](const char *name) { return keywords.contains(name); };
    if (given("masses")) {
        for (const auto &item : keywords) {
            if (twoMassKeyword(py::str(item.first)))
                throw py::type_error("masses: give it or the keywords of mass one and mass "
                                     "two, not both; got " +
                                     std::string(py::str(item.first)));
        }
    }

    QSize client = defaultClient;
    if (given("client"))
        client = size("client", keywords["client"], 2, QSize(maxClientSide, maxClientSide));
    Parameters p;
    p.scene = Scene::defaults(client);
    p.framing.client = client;
    if (given("picture")) {
        p.framing.picture = size("picture", keywords["picture"], 2, client);
    } else if (p.framing.picture.width() > client.width() ||
               p.framing.picture.height() > client.height()) {
        badValue("client",
                 "a client area that holds the default picture (100, 80), or a "
                 "picture that fits",
                 keywords["client"]);
    }
    for (const char *mass : {"one", "two"}) {
        if (!given(mass))
            continue;
        const std::string x = std::string(mass) + "_x";
        const std::string y = std::string(mass) + "_y";
        if (given(x.c_str()) || given(y.c_str()))
            throw py::type_error(std::string(mass) + ": give it or " + x + " and " + y);
        const auto [vx, vy] = pairOf(mass, keywords[mass]);
        readParameter(*findParameter(std::string(mass) + "-x"), x, vx, p);
        readParameter(*findParameter(std::string(mass) + "-y"), y, vy, p);
    }
    for (const ParameterInfo &parameter : parameterTable()) {
        const std::string name = keywordOf(parameter);
        if (given(name.c_str()))
            readParameter(parameter, name, keywords[name.c_str()], p);
    }
    for (const SceneParameter &parameter : sceneParameters()) {
        const std::string name = keywordOf(parameter.name);
        if (parameter.kind == SceneParameter::Kind::colour && given(name.c_str()))
            parameter.set(p.scene, colour(name.c_str(), keywords[name.c_str()]));
    }
    if (given("masses"))
        readMasses(keywords["masses"], client, p.scene);
    if (given("shade")) {
        if (!PyBool_Check(keywords["shade"].ptr()))
            throw py::type_error("shade: expected True or False");
        p.scene.shade = keywords["shade"].cast<bool>();
    }
    return p;
}

py::dict Parameters::keywords() const
{
    py::dict result;
    result["client"] = py::make_tuple(framing.client.width(), framing.client.height());
    result["picture"] = py::make_tuple(framing.picture.width(), framing.picture.height());
    // Two masses by their keywords, as ever; any other number as a list.
    const bool list = scene.trajectory.masses.size() != 2;
    if (list)
        result["masses"] = massList(scene);
    for (const SceneParameter &parameter : sceneParameters()) {
        const std::string name = keywordOf(parameter.name);
        if (list && twoMassKeyword(name))
            continue;
        if (parameter.kind == SceneParameter::Kind::colour)
            result[name.c_str()] = colourString(std::int32_t(parameter.get(scene)));
        else
            result[name.c_str()] = parameter.get(scene);
    }
    result["shade"] = scene.shade;
    return result;
}

std::string Parameters::repr() const
{
    std::string text = "velmora.Parameters(";
    const char *separator = "";
    for (const auto &item : keywords()) {
        text +=
            separator + std::string(py::str(item.first)) + "=" + std::string(py::repr(item.second));
        separator = ", ";
    }
    return text + ")";
}

/// What each parameter is, with its default for the default client area, by keyword.
py::dict parameterDocs()
{
    const py::dict defaults = Parameters::fromKeywords(py::kwargs()).keywords();
    defaults["one"] = py::make_tuple(defaults["one_x"], defaults["one_y"]);
    defaults["two"] = py::make_tuple(defaults["two_x"], defaults["two_y"]);
    py::dict docs;
    for (const OtherKeyword &other : otherKeywords) {
        docs[other.name] = std::string(other.doc) +
                           " (default: " + std::string(py::repr(defaults[other.name])) + ").";
    }
    for (const ParameterInfo &parameter : parameterTable())
        docs[keywordOf(parameter).c_str()] = parameterHelp(parameter, viewArea()).toStdString();
    return docs;
}

namespace {

/// A copy of p with changes, checked as the constructor checks them.
Parameters replaced(const Parameters &p, const py::kwargs &changes)
{
    py::dict keywords = p.keywords();
    if (changes.contains("masses")) {
        for (const auto &item : p.keywords()) {
            if (twoMassKeyword(py::str(item.first)))
                PyDict_DelItem(keywords.ptr(), item.first.ptr());
        }
    }
    for (const char *mass : {"one", "two"}) {
        // A pair replaces both coordinates; a new client area places the masses
        // as start-up does unless they are given.
        if (keywords.contains(std::string(mass) + "_x") &&
            (changes.contains(mass) || changes.contains("client"))) {
            PyDict_DelItemString(keywords.ptr(), (std::string(mass) + "_x").c_str());
            PyDict_DelItemString(keywords.ptr(), (std::string(mass) + "_y").c_str());
        }
    }
    for (const auto &item : changes)
        keywords[item.first] = item.second;
    return Parameters::fromKeywords(py::kwargs(keywords));
}

} // namespace

void addParameters(py::module_ &module)
{
    const py::dict docs = parameterDocs();
    std::string doc =
        "What one picture is computed from: every option of velmora-render, with underscores "
        "for dashes, in the same units and ranges.\n\n"
        "Parameters(client=(1024, 700), **options). A parameter not given takes the value "
        "start-up gives it for that client area. A value out of range raises ValueError naming "
        "the parameter and what it accepts. Parameters never change: replace() makes a changed "
        "copy. They pickle, so they can be sent to other processes. For views, give a client "
        "area that holds the masses.\n\n"
        "masses: a list of 1 to 16 velmora.Mass, in mass order, instead of the keywords of "
        "mass one and mass two; outcome k is a capture by mass k.\n";
    for (const auto &item : docs)
        doc += std::string(py::str(item.first)) + ": " + std::string(py::str(item.second)) + "\n";

    py::class_<Parameters> cls(module, "Parameters", doc.c_str());
    cls.def(py::init([](const py::kwargs &keywords) { return Parameters::fromKeywords(keywords); }))
        .def("replace", &replaced,
             "A copy with the given parameters changed, checked as the constructor checks them.")
        .def("keywords", &Parameters::keywords,
             "Every parameter by name: Parameters(**p.keywords()) == p.")
        .def("__repr__", &Parameters::repr)
        .def("__eq__",
             [](const Parameters &a, py::handle b) -> py::object {
                 if (!py::isinstance<Parameters>(b))
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 return py::bool_(a.keywords().equal(b.cast<const Parameters &>().keywords()));
             })
        .def("__hash__", [](const Parameters &p) { return py::hash(py::str(p.repr())); })
        // Parameters(**keywords) again, which every protocol can name: a value with no
        // constructor but its keywords' is never made half.
        .def("__reduce__", [](const Parameters &p) {
            const py::object partial = py::module_::import("functools").attr("partial");
            return py::make_tuple(partial(py::type::of<Parameters>(), **p.keywords()), py::tuple());
        });
    for (const auto &item : Parameters().keywords()) {
        const std::string name = py::str(item.first);
        cls.def_property_readonly(
            name.c_str(),
            [name](const Parameters &p) -> py::object {
                const py::dict keywords = p.keywords();
                return keywords.contains(name) ? py::object(keywords[name.c_str()]) : py::none();
            },
            std::string(py::str(docs[name.c_str()])).c_str());
    }
    cls.def_property_readonly(
        "masses", [](const Parameters &p) { return massList(p.scene); },
        "The fixed masses in mass order, each a velmora.Mass with its colour.");
    for (const char *mass : {"one", "two"}) {
        const std::string x = std::string(mass) + "_x";
        const std::string y = std::string(mass) + "_y";
        cls.def_property_readonly(
            mass,
            [x, y](const Parameters &p) -> py::object {
                const py::dict keywords = p.keywords();
                if (!keywords.contains(x))
                    return py::none();
                return py::make_tuple(keywords[x.c_str()], keywords[y.c_str()]);
            },
            std::string(py::str(docs[mass])).c_str());
    }
}

} // namespace velmora_python
