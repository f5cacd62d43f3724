#include "arguments.h"
#include "arrays.h"
#include "basins.h"
#include "interruptible.h"
#include "parameters.h"

#include "engine/engine.h"
#include "engine/statistics.h"
#include "picture/surface.h"
#include "scene/painter.h"
#include "scene/statisticsfile.h"
#include "sim/fieldstep.h"
#include "sim/number.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace py = pybind11;

namespace velmora_python {

namespace {

/// Computes with the engine on threads of its own; see runInterruptibly().
void compute(Engine &engine, const Cancel *cancel, const std::function<void()> &work)
{
    runInterruptibly(work, [&] { engine.abandon(); }, cancel);
}

/// The bytes this process may still allocate: the memory the system has available, within
/// what is left of the address space a limit (ulimit -v) allows.
double memoryAvailable()
{
    double available = double(sysconf(_SC_AVPHYS_PAGES)) * double(sysconf(_SC_PAGESIZE));
    if (std::FILE *info = std::fopen("/proc/meminfo", "re")) {
        char line[256];
        unsigned long long kB = 0;
        while (std::fgets(line, sizeof line, info))
            if (std::sscanf(line, "MemAvailable: %llu kB", &kB) == 1)
                available = double(kB) * 1024;
        std::fclose(info);
    }
    rlimit limit{};
    unsigned long long pages = 0;
    std::FILE *statm = std::fopen("/proc/self/statm", "re");
    if (statm && std::fscanf(statm, "%llu", &pages) == 1 && getrlimit(RLIMIT_AS, &limit) == 0 &&
        limit.rlim_cur != RLIM_INFINITY) {
        const double used = double(pages) * double(sysconf(_SC_PAGESIZE));
        available = std::min(available, double(limit.rlim_cur) - used);
    }
    if (statm)
        std::fclose(statm);
    return available;
}

/// MemoryError, naming the size, when the outcome and steps arrays of view do not fit.
void checkMemory(const View &view)
{
    const double needed = double(view.pointCount()) * double(1 + sizeof(std::uint64_t));
    const double available = memoryAvailable();
    if (needed <= available)
        return;
    char text[200];
    std::snprintf(text, sizeof text,
                  "size %d x %d: its outcome and steps arrays need %.0f MiB, more than the %.0f "
                  "MiB of memory available",
                  view.width, view.height, needed / 1048576, std::max(available, 0.0) / 1048576);
    PyErr_SetString(PyExc_MemoryError, text);
    throw py::error_already_set();
}

Basins basins(const py::args &positional, const py::kwargs &keywords)
{
    const Arguments a("basins", {"parameters", "view=", "size=", "threads=", "kernel=", "cancel="},
                      positional, keywords);
    const Parameters &parameters = parametersArgument("parameters", a["parameters"]);
    const View view = a.given("view") || a.given("size") ? viewOf(a["view"], a["size"])
                                                         : parameters.framing.startPoints();
    const Workers workers = workersOf(a["threads"], a["kernel"]);
    const Cancel *cancel = cancelOf(a["cancel"]);
    checkMemory(view);
    Engine engine(parameters.scene.trajectory, workers);
    PointMaps maps;
    compute(engine, cancel, [&] { engine.computeView(view, maps); });

    Basins result;
    result.outcome = ownedArray(std::move(maps.outcomes), {view.height, view.width});
    result.steps = ownedArray(std::move(maps.steps), {view.height, view.width});
    result.view = view;
    result.parameters = parameters;
    result.kernel = kernelName(engine.kernel());
    return result;
}

/// The start points (x, y) of any shape, broadcast against each other, x rounded to single.
py::tuple points(const py::args &positional, const py::kwargs &keywords)
{
    const Arguments a("points", {"x", "y", "parameters", "threads=", "kernel=", "cancel="},
                      positional, keywords);
    const Parameters &parameters = parametersArgument("parameters", a["parameters"]);
    const Workers workers = workersOf(a["threads"], a["kernel"]);
    const Cancel *cancel = cancelOf(a["cancel"]);
    const py::module_ numpy = py::module_::import("numpy");
    std::vector<py::array_t<double, py::array::c_style>> coordinates;
    for (const char *name : {"x", "y"}) {
        const py::object value = a[name];
        const py::object array = numpy.attr("asarray")(value);
        const std::string kind = py::str(array.attr("dtype").attr("kind"));
        if (kind.size() != 1 || std::string("iuf").find(kind[0]) == std::string::npos) {
            throw py::type_error(std::string(name) + ": expected real numbers, got " +
                                 std::string(py::repr(array.attr("dtype"))));
        }
        coordinates.push_back(py::array_t<double, py::array::c_style>::ensure(array));
    }
    py::tuple pair;
    try {
        pair = numpy.attr("broadcast_arrays")(coordinates[0], coordinates[1]);
    } catch (const py::error_already_set &) {
        throw py::value_error("y: expected the shape of x or one broadcast against it, got " +
                              std::string(py::repr(coordinates[1].attr("shape"))));
    }
    const py::object shape = pair[0].attr("shape");
    const auto xs = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(pair[0]);
    const auto ys = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(pair[1]);
    const auto count = std::int64_t(xs.size());
    const auto n = std::size_t(count);
    std::vector<float> x(n);
    std::vector<double> y(n);
    for (std::int64_t k = 0; k < count; ++k) {
        for (auto [name, value] : {std::pair{"x", xs.data()[k]}, std::pair{"y", ys.data()[k]}}) {
            if (!(std::abs(value) <= maxViewCoordinate))
                badValue(name, "finite numbers within " + shortestText(maxViewCoordinate) +
                                   " of 0", py::float_(value));
        }
        x[std::size_t(k)] = sim::roundToSingle(float(xs.data()[k]));
        y[std::size_t(k)] = ys.data()[k];
    }
    std::vector<std::uint8_t> outcomes(n);
    std::vector<std::uint64_t> steps(n);
    Engine engine(parameters.scene.trajectory, workers);
    compute(engine, cancel, [&] {
        engine.computePoints(x.data(), y.data(), count, outcomes.data(), steps.data());
    });
    const std::vector<py::ssize_t> dims = shape.cast<std::vector<py::ssize_t>>();
    return py::make_tuple(ownedArray(std::move(outcomes), dims), ownedArray(std::move(steps), dims));
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

py::object statistics(const py::args &positional, const py::kwargs &keywords)
{
    const Arguments a("statistics", {"result", "entropy_box=", "wada="}, positional, keywords);
    const int entropyBox = a.given("entropy_box")
                               ? int(integerArgument("entropy_box", a["entropy_box"],
                                                     minEntropyBox, maxEntropyBox))
                               : 5;
    const bool wada = a.given("wada") && py::bool_(a["wada"]);
    const py::object result = a["result"];
    if (!py::hasattr(result, "outcome") || !py::hasattr(result, "steps"))
        throw py::type_error("result: expected a velmora.Basins or an object with outcome and "
                             "steps arrays");
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

py::array_t<std::uint8_t> picture(const py::args &positional, const py::kwargs &keywords)
{
    const Arguments a("picture", {"parameters", "threads=", "kernel=", "cancel="}, positional,
                      keywords);
    const Parameters &parameters = parametersArgument("parameters", a["parameters"]);
    const Workers workers = workersOf(a["threads"], a["kernel"]);
    const Cancel *cancel = cancelOf(a["cancel"]);
    Surface surface(parameters.framing.imageSize(), parameters.scene.background);
    if (surface.image().isNull())
        throw std::bad_alloc();
    Engine engine(parameters.scene.trajectory, workers);
    PointMaps maps;
    compute(engine, cancel, [&] {
        engine.computeView(parameters.framing.startPoints(), maps, parameters.scene.shade);
    });
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

Path trajectory(const py::args &positional, const py::kwargs &keywords)
{
    const Arguments a("trajectory", {"parameters", "x", "y", "limit=", "cancel="}, positional,
                      keywords);
    const Parameters &parameters = parametersArgument("parameters", a["parameters"]);
    const double x = startCoordinate("x", a["x"]);
    const double y = startCoordinate("y", a["y"]);
    const auto limit = a.given("limit") ? std::uint64_t(integerArgument(
                                              "limit", a["limit"], 1, INT64_MAX))
                                        : std::uint64_t(1000000);
    const Cancel *cancel = cancelOf(a["cancel"]);
    const TrajectoryParameters &p = parameters.scene.trajectory;
    const sim::MassField field = p.field();
    double px = sim::roundToSingle(float(x));
    double py = y;
    std::vector<double> positions{px, py};
    sim::FieldTrajectory t;
    std::atomic<bool> abandoned{false};
    runInterruptibly(
        [&] {
            const std::uint64_t most = std::min(limit, p.stepLimit);
            while (t.advance(field, px, py, most)) {
                // A step that leaves the mass where it was is no row of its own.
                if (px != positions[positions.size() - 2] || py != positions.back()) {
                    positions.push_back(px);
                    positions.push_back(py);
                }
                if (t.steps() % 65536 == 0 && abandoned.load(std::memory_order_relaxed))
                    return;
            }
        },
        [&] { abandoned.store(true, std::memory_order_relaxed); }, cancel);
    Path path;
    const auto n = py::ssize_t(positions.size() / 2);
    path.positions = ownedArray(std::move(positions), {n, 2});
    path.outcome = int(t.outcome());
    path.steps = t.steps();
    return path;
}

} // namespace

void addFunctions(py::module_ &module)
{
    addResults(module);
    module.def("basins", &basins,
               "basins(parameters, view=None, size=None, threads=0, kernel='auto', cancel=None) "
               "-> Basins\n\n"
               "Follows the moving mass from every start point and returns each one's outcome "
               "and step count, exactly as velmora-render computes them. Without view, the "
               "start points of the picture rectangle; view is (x, y, spacing) and size "
               "(width, height), any sequences or NumPy arrays, each side 1 to 16384. "
               "threads=0 uses every core; kernel is 'auto', 'scalar' or 'avx2' (all give the "
               "same result). Releases the GIL; Ctrl-C, cancel.cancel() or a KeyboardInterrupt "
               "in the main thread while it runs in another abandon it.");
    module.def("points", &points,
               "points(x, y, parameters, threads=0, kernel='auto', cancel=None) -> (outcome, "
               "steps)\n\n"
               "The outcome (uint8) and step count (uint64) of each start point (x, y), arrays "
               "of any shape broadcast against each other, x rounded to single precision as "
               "every start x is: what basins() gives the same points. On every core.");
    module.def("statistics", &statistics,
               "statistics(result, entropy_box=5, wada=False) -> dict\n\n"
               "The figures velmora-render --stats writes as JSON: counts and fractions of the "
               "outcomes, the capture steps of each mass, the basin entropy over boxes of "
               "entropy_box x entropy_box start points (2 to 100) and the boundary fraction; "
               "with wada, as --wada, how the basins meet: 'meet' and 'not_wada'. The masses "
               "are result.parameters' (two when it has none).");
    module.def("picture", &picture,
               "picture(parameters, threads=0, kernel='auto', cancel=None) -> numpy.ndarray\n\n"
               "The whole drawing surface velmora-render writes, as a uint8 array (height, "
               "width, 3) of red, green and blue: the capture circles and every start point of "
               "the picture rectangle in its mass's colour (shaded with parameters.shade).");
    module.def("trajectory", &trajectory,
               "trajectory(parameters, x, y, limit=1000000, cancel=None) -> Trajectory\n\n"
               "The path from the start point (x, y), x rounded to single precision as every "
               "start point's is, for at most limit steps (and the parameters' step_limit). "
               "x and y must be finite and within 1e9 of 0, as basins() asks of a view.");
}

} // namespace velmora_python
