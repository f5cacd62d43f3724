#include "basins.h"

#include "arrays.h"
#include "interruptible.h"
#include "parameters.h"

#include "engine/engine.h"
#include "engine/statistics.h"
#include "engine/view.h"
#include "picture/surface.h"
#include "scene/painter.h"
#include "scene/statisticsfile.h"
#include "sim/fieldstep.h"
#include "sim/number.h"

#include <pybind11/stl.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;

namespace velmora_python {

namespace {

/// What basins() returns: the outcome and step count of every start point.
struct Basins
{
    py::array_t<std::uint8_t> outcome;
    py::array_t<std::uint64_t> steps;
    /// (left, right, bottom, top) in the plane's units, for imshow with its origin at the top.
    py::tuple extent;
    /// The top-left start point and the spacing: (x, y, spacing).
    py::tuple view;
    Parameters parameters;
    std::string kernel;
};

/// What trajectory() returns.
struct Path
{
    py::array_t<double> positions;
    int outcome = 0;
    std::uint64_t steps = 0;
};

} // namespace
} // namespace velmora_python

VELMORA_CONSTRUCTED_ONLY(velmora_python::Basins)
VELMORA_CONSTRUCTED_ONLY(velmora_python::Path)

namespace velmora_python {
namespace {

/// The workers of the threads and kernel arguments.
Workers workersOf(int threads, const std::string &kernel)
{
    Workers workers;
    const int maxThreads = Workers::maxThreads;
    if (threads < 0 || threads > maxThreads)
        badValue("threads", "0 (one a core) to " + std::to_string(maxThreads), py::int_(threads));
    workers.threads = threads;
    if (!kernelFromName(kernel, workers.kernel))
        badValue("kernel", "'auto', 'scalar' or 'avx2'", py::str(kernel));
    if (!kernelAvailable(workers.kernel))
        badValue("kernel", "'auto' or 'scalar', as this processor lacks AVX2", py::str(kernel));
    return workers;
}

/// The view of the view and size arguments; ValueError for a view that cannot be computed.
View viewOf(const py::tuple &origin, const py::tuple &size)
{
    if (origin.size() != 3)
        badValue("view", "(x, y, spacing)", origin);
    if (size.size() != 2)
        badValue("size", "(width, height)", size);
    View view;
    std::int64_t width = 0;
    std::int64_t height = 0;
    try {
        view.x = py::float_(origin[0]).cast<double>();
        view.y = py::float_(origin[1]).cast<double>();
        view.spacing = py::float_(origin[2]).cast<double>();
    } catch (const py::error_already_set &) {
        throw py::type_error("view: expected (x, y, spacing) of real numbers, got " +
                             std::string(py::repr(origin)));
    }
    for (auto [side, value] : {std::pair{&width, size[0]}, std::pair{&height, size[1]}}) {
        const auto index = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
        if (!index) {
            PyErr_Clear();
            throw py::type_error("size: expected (width, height) of integers, got " +
                                 std::string(py::repr(size)));
        }
        int overflow = 0;
        *side = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
        if (overflow != 0)
            *side = -1;
    }
    if (width < 1 || height < 1 || width > maxClientSide || height > maxClientSide)
        badValue("size", "(width, height), each 1 to " + std::to_string(maxClientSide), size);
    view.width = int(width);
    view.height = int(height);
    switch (checkView(view)) {
    case ViewFault::none:
        break;
    case ViewFault::empty:
    case ViewFault::notFinite:
        badValue("view", "finite x and y and a spacing above 0", origin);
    case ViewFault::outOfRange:
        badValue("view", "start points within " + shortestText(maxViewCoordinate) + " of 0",
                 origin);
    case ViewFault::tooFine:
        badValue("view",
                 "a spacing of at least " + shortestText(finestSpacing(view.x, view.width)) +
                     " at x = " + shortestText(view.x) + " for " + std::to_string(view.width) +
                     " columns",
                 origin);
    }
    return view;
}

Basins basins(const Parameters &parameters, const std::optional<py::tuple> &origin,
              const std::optional<py::tuple> &size, int threads, const std::string &kernel)
{
    if (bool(origin) != bool(size)) {
        if (origin)
            badValue("size", "(width, height) with a view", py::none());
        badValue("view", "(x, y, spacing) with a size", py::none());
    }
    const View view = origin ? viewOf(*origin, *size) : parameters.framing.startPoints();
    Engine engine(parameters.scene.trajectory, workersOf(threads, kernel));
    PointMaps maps;
    runInterruptibly([&] { engine.computeView(view, maps); }, [&] { engine.abandon(); });

    Basins result;
    const double x = view.columnX(0);
    const double y = view.rowY(0);
    const double half = view.spacing / 2;
    result.outcome = ownedArray(std::move(maps.outcomes), {view.height, view.width});
    result.steps = ownedArray(std::move(maps.steps), {view.height, view.width});
    result.extent = py::make_tuple(x - half, view.columnX(view.width - 1) + half,
                                   view.rowY(view.height - 1) + half, y - half);
    result.view = py::make_tuple(view.x, view.y, view.spacing);
    result.parameters = parameters;
    result.kernel = kernelName(engine.kernel());
    return result;
}

/// The 2-D array of integers of 0 to max that value holds, as a C-ordered array of T: TypeError
/// for anything else (a float array is no map of outcomes or steps), ValueError for a value out
/// of range or a side too long; whatever NumPy raises (MemoryError) as it is.
template <typename T> py::array_t<T> mapOf(py::handle value, const char *what, std::uint64_t max)
{
    const py::module_ numpy = py::module_::import("numpy");
    const py::object array = numpy.attr("asarray")(value);
    const std::string name = what;
    if (py::int_(array.attr("ndim")).cast<int>() != 2)
        throw py::type_error(name + ": expected a 2-dimensional array");
    const auto kind = py::str(array.attr("dtype").attr("kind")).cast<std::string>();
    if (kind != "u" && kind != "i" && kind != "b") {
        throw py::type_error(name + ": expected an array of integers, got " +
                             std::string(py::str(array.attr("dtype"))));
    }
    const py::tuple shape = array.attr("shape");
    for (const py::handle side : shape) {
        if (side.cast<py::ssize_t>() > std::numeric_limits<int>::max()) {
            throw py::value_error(name + ": expected at most " +
                                  std::to_string(std::numeric_limits<int>::max()) +
                                  " rows and as many columns, got " + std::string(py::repr(shape)));
        }
    }
    if (py::int_(array.attr("size")).cast<std::int64_t>() > 0 && kind != "b") {
        const py::object low = array.attr("min")();
        const py::object high = array.attr("max")();
        if (low < py::int_(0) || high > py::int_(max)) {
            throw py::value_error(
                name + ": expected " +
                (max <= 16 ? "0 to " + std::to_string(max) : std::string("counts from 0")) +
                " at every point, got " + std::string(py::repr(low < py::int_(0) ? low : high)));
        }
    }
    const py::object converted = numpy.attr("ascontiguousarray")(array, py::dtype::of<T>());
    auto map = py::array_t<T, py::array::c_style>::ensure(converted);
    if (!map)
        throw py::type_error(name + ": expected a 2-dimensional array");
    return map;
}

py::object statistics(py::handle result, int entropyBox, bool wada)
{
    if (entropyBox < minEntropyBox || entropyBox > maxEntropyBox) {
        badValue("entropy_box",
                 "an integer from " + std::to_string(minEntropyBox) + " to " +
                     std::to_string(maxEntropyBox),
                 py::int_(entropyBox));
    }
    // The masses of the parameters computed, or two.
    int masses = 2;
    if (py::hasattr(result, "parameters") && py::isinstance<Parameters>(result.attr("parameters")))
        masses = int(
            result.attr("parameters").cast<const Parameters &>().scene.trajectory.masses.size());
    const auto outcome =
        mapOf<std::uint8_t>(result.attr("outcome"), "outcome", std::uint64_t(masses));
    const auto steps = mapOf<std::uint64_t>(result.attr("steps"), "steps",
                                            std::numeric_limits<std::uint64_t>::max());
    if (outcome.shape(0) != steps.shape(0) || outcome.shape(1) != steps.shape(1))
        throw py::value_error("steps: expected the shape of outcome");
    const std::uint8_t *outcomes = outcome.data();
    const int width = int(outcome.shape(1));
    const int height = int(outcome.shape(0));
    Statistics figures = basinStatistics(width, height, outcomes, steps.data(), entropyBox, masses);
    if (wada)
        figures.wada = wadaMeasures(width, height, outcomes, masses);
    const QByteArray json = statisticsJson(figures);
    return py::module_::import("json").attr("loads")(py::bytes(json.constData(), json.size()));
}

py::array_t<std::uint8_t> picture(const Parameters &parameters, int threads,
                                  const std::string &kernel)
{
    Surface surface(parameters.framing.imageSize(), parameters.scene.background);
    if (surface.image().isNull())
        throw std::bad_alloc();
    Engine engine(parameters.scene.trajectory, workersOf(threads, kernel));
    PointMaps maps;
    runInterruptibly(
        [&] { engine.computeView(parameters.framing.startPoints(), maps, parameters.scene.shade); },
        [&] { engine.abandon(); });
    paintPicture(parameters.scene, parameters.framing, maps.outcomes.data(),
                 maps.steps.empty() ? nullptr : maps.steps.data(), surface);

    const QImage &image = surface.image();
    const int width = image.width();
    const int height = image.height();
    std::vector<std::uint8_t> rgb(std::size_t(width) * std::size_t(height) * 3);
    std::uint8_t *out = rgb.data();
    for (int row = 0; row < height; ++row) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(row));
        for (int column = 0; column < width; ++column) {
            *out++ = std::uint8_t(qRed(line[column]));
            *out++ = std::uint8_t(qGreen(line[column]));
            *out++ = std::uint8_t(qBlue(line[column]));
        }
    }
    return ownedArray(std::move(rgb), {height, width, 3});
}

Path trajectory(const Parameters &parameters, double x, double y, std::uint64_t limit)
{
    if (limit < 1)
        badValue("limit", "an integer from 1", py::int_(limit));
    const TrajectoryParameters &p = parameters.scene.trajectory;
    const sim::MassField field = p.field();
    double px = sim::roundToSingle(float(x));
    double py = y;
    std::vector<double> positions{px, py};
    sim::FieldTrajectory t;
    {
        py::gil_scoped_release release;
        while (t.advance(field, px, py, std::min(limit, p.stepLimit))) {
            positions.push_back(px);
            positions.push_back(py);
        }
    }
    Path path;
    const auto n = py::ssize_t(positions.size() / 2);
    path.positions = ownedArray(std::move(positions), {n, 2});
    path.outcome = int(t.outcome());
    path.steps = t.steps();
    return path;
}

/// Results are not pickled, with any protocol: their arrays and parameters are.
[[noreturn]] void refusePickling(const std::string &type)
{
    throw py::type_error("cannot pickle '" + type +
                         "' object; pickle its arrays and parameters instead");
}

} // namespace

void addFunctions(py::module_ &module)
{
    py::class_<Basins>(module, "Basins",
                       "The outcome and step count of every start point of a view.")
        .def_readonly("outcome", &Basins::outcome,
                      "uint8 array (height, width), rows top to bottom: 0 never captured, 1 "
                      "captured by mass one, 2 by mass two.")
        .def_readonly("steps", &Basins::steps,
                      "uint64 array (height, width): the steps each start point took, the "
                      "capturing one included.")
        .def_readonly("extent", &Basins::extent,
                      "(left, right, bottom, top) in pixels of the client area, for "
                      "matplotlib.pyplot.imshow(outcome, extent=extent).")
        .def_readonly("view", &Basins::view,
                      "(x, y, spacing): the top-left start point and the "
                      "distance between neighbours.")
        .def_readonly("parameters", &Basins::parameters, "The parameters computed.")
        .def_readonly("kernel", &Basins::kernel, "The kernel that computed it.")
        .def("__reduce__", [](py::handle) { refusePickling("velmora.Basins"); })
        .def("__repr__", [](const Basins &b) {
            return "<velmora.Basins " + std::to_string(b.outcome.shape(1)) + " x " +
                   std::to_string(b.outcome.shape(0)) + " at " + std::string(py::repr(b.view)) +
                   ">";
        });
    py::class_<Path>(module, "Trajectory", "The path of the moving mass from one start point.")
        .def_readonly("positions", &Path::positions,
                      "float64 array (n, 2): the start point, then (x, y) after each step that "
                      "moved the mass.")
        .def_readonly("outcome", &Path::outcome, "0 never captured, k mass k.")
        .def_readonly("steps", &Path::steps, "Steps taken, the capturing one included.")
        .def("__reduce__", [](py::handle) { refusePickling("velmora.Trajectory"); })
        .def("__repr__", [](const Path &p) {
            return "<velmora.Trajectory outcome=" + std::to_string(p.outcome) +
                   " steps=" + std::to_string(p.steps) + ">";
        });

    module.def("basins", &basins, py::arg("parameters"), py::arg("view") = py::none(),
               py::arg("size") = py::none(), py::arg("threads") = 0, py::arg("kernel") = "auto",
               "basins(parameters, view=None, size=None, threads=0, kernel='auto') -> Basins\n\n"
               "Follows the moving mass from every start point and returns each one's outcome "
               "and step count, exactly as velmora-render computes them. Without view, the "
               "start points of the picture rectangle. threads=0 uses every core; kernel is "
               "'auto', 'scalar' or 'avx2' (all give the same result). Releases the GIL; "
               "Ctrl-C abandons it with KeyboardInterrupt.");
    module.def("statistics", &statistics, py::arg("result"), py::arg("entropy_box") = 5,
               py::arg("wada") = false,
               "statistics(result, entropy_box=5, wada=False) -> dict\n\n"
               "The figures velmora-render --stats writes as JSON: counts and fractions of the "
               "outcomes, the capture steps of each mass, the basin entropy over boxes of "
               "entropy_box x entropy_box start points (2 to 100) and the boundary fraction; "
               "with wada, as --wada, how the basins meet: 'meet' and 'not_wada'. The masses "
               "are result.parameters' (two when it has none).");
    module.def("picture", &picture, py::arg("parameters"), py::arg("threads") = 0,
               py::arg("kernel") = "auto",
               "picture(parameters, threads=0, kernel='auto') -> numpy.ndarray\n\n"
               "The whole drawing surface velmora-render writes, as a uint8 array (height, "
               "width, 3) of red, green and blue: the capture circles and every start point of "
               "the picture rectangle in its mass's colour (shaded with parameters.shade).");
    module.def("trajectory", &trajectory, py::arg("parameters"), py::arg("x"), py::arg("y"),
               py::arg("limit") = 1000000,
               "trajectory(parameters, x, y, limit=1000000) -> Trajectory\n\n"
               "The path from the start point (x, y), x rounded to single precision as every "
               "start point's is, for at most limit steps (and the parameters' step_limit).");
}

} // namespace velmora_python
