#include "basins.h"

#include "arrays.h"
#include "interruptible.h"
#include "parameters.h"

#include "render/commandline.h"
#include "render/renderer.h"
#include "render/shading.h"
#include "render/statistics.h"
#include "render/statisticsfile.h"
#include "sim/number.h"
#include "sim/step.h"

#include <pybind11/stl.h>

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

[[noreturn]] void outOfRange(const char *name, const std::string &accepts, py::handle value)
{
    throw py::value_error(std::string(name) + ": expected " + accepts + ", got " +
                          std::string(py::repr(value)));
}

/// The render request of the threads and kernel arguments.
RenderParameters withWorkers(const Parameters &parameters, int threads, const std::string &kernel)
{
    RenderParameters render = parameters.render;
    if (threads < 0 || threads > RenderCommandLine::maxThreads) {
        outOfRange("threads",
                   "0 (one per core) to " + std::to_string(RenderCommandLine::maxThreads),
                   py::int_(threads));
    }
    render.threads = threads;
    if (!kernelFromName(kernel, render.kernel))
        outOfRange("kernel", "'auto', 'scalar' or 'avx2'", py::str(kernel));
    if (!kernelAvailable(render.kernel))
        outOfRange("kernel", "'auto' or 'scalar', as this processor lacks AVX2", py::str(kernel));
    return render;
}

/// Runs a render, Ctrl-C abandoning it.
void renderInterruptibly(Renderer &renderer)
{
    if (renderer.surface().image().isNull())
        throw std::bad_alloc();
    runInterruptibly([&] { renderer.render(); }, [&] { renderer.abandon(); });
}

Basins basins(const Parameters &parameters, const std::optional<py::tuple> &view,
              const std::optional<py::tuple> &size, int threads, const std::string &kernel)
{
    if (view || size)
        throw py::value_error("view and size: not available yet");
    RenderParameters render = withWorkers(parameters, threads, kernel);
    render.keepPointSteps = true;
    Renderer renderer(render);
    renderInterruptibly(renderer);

    const int width = render.picture.width();
    const int height = render.picture.height();
    const auto &captures = renderer.captures();
    std::vector<std::uint8_t> outcome(captures.size());
    for (std::size_t i = 0; i < captures.size(); ++i)
        outcome[i] = std::uint8_t(captures[i]);
    std::vector<std::uint64_t> steps = renderer.pointSteps();
    const sim::StartPoint first = renderer.startPoint(0);
    const double x = first.x;
    const double y = first.y;

    Basins result;
    result.outcome = ownedArray(std::move(outcome), {height, width});
    result.steps = ownedArray(std::move(steps), {height, width});
    result.extent = py::make_tuple(x - 0.5, x + width - 0.5, y + height - 0.5, y - 0.5);
    result.view = py::make_tuple(x, y, 1.0);
    result.parameters = parameters;
    result.kernel = kernelName(renderer.kernel());
    return result;
}

/// A C-ordered 2-D array of T, or TypeError naming what.
template <typename T>
py::array_t<T> mapOf(py::handle array, const char *what)
{
    auto map = py::array_t<T, py::array::c_style | py::array::forcecast>::ensure(array);
    if (!map || map.ndim() != 2)
        throw py::type_error(std::string(what) + ": expected a 2-dimensional array");
    return map;
}

py::object statistics(py::handle result, int entropyBox)
{
    if (entropyBox < minEntropyBox || entropyBox > maxEntropyBox) {
        outOfRange("entropy_box",
                   "an integer from " + std::to_string(minEntropyBox) + " to " +
                       std::to_string(maxEntropyBox),
                   py::int_(entropyBox));
    }
    const auto outcome = mapOf<std::uint8_t>(result.attr("outcome"), "outcome");
    const auto steps = mapOf<std::uint64_t>(result.attr("steps"), "steps");
    if (outcome.shape(0) != steps.shape(0) || outcome.shape(1) != steps.shape(1))
        throw py::value_error("steps: expected the shape of outcome");
    std::vector<sim::Capture> captures(std::size_t(outcome.size()));
    for (std::size_t i = 0; i < captures.size(); ++i) {
        const std::uint8_t o = outcome.data()[i];
        if (o > 2)
            throw py::value_error("outcome: expected 0, 1 or 2 at every point, got " +
                                  std::to_string(o));
        captures[i] = sim::Capture(o);
    }
    const std::vector<std::uint64_t> counts(steps.data(), steps.data() + steps.size());
    const Statistics figures = basinStatistics(int(outcome.shape(1)), int(outcome.shape(0)),
                                               captures, counts, entropyBox);
    const QByteArray json = statisticsJson(figures);
    return py::module_::import("json").attr("loads")(py::bytes(json.constData(), json.size()));
}

py::array_t<std::uint8_t> picture(const Parameters &parameters, int threads,
                                  const std::string &kernel)
{
    RenderParameters render = withWorkers(parameters, threads, kernel);
    render.keepPointSteps = parameters.shade;
    Renderer renderer(render);
    renderInterruptibly(renderer);
    if (parameters.shade)
        shadeCaptures(renderer, render.colorOne, render.colorTwo);

    const QImage &image = renderer.surface().image();
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
        outOfRange("limit", "an integer from 1", py::int_(limit));
    const RenderParameters &render = parameters.render;
    sim::simstate s = render.state();
    s.xgreen = sim::roundToSingle(float(x));
    s.ygreen = y;
    std::vector<double> positions{s.xgreen, s.ygreen};
    sim::Trajectory t;
    {
        py::gil_scoped_release release;
        while (t.advance(s, render.radiusOne, render.radiusTwo,
                         std::min(limit, render.stepLimit))) {
            positions.push_back(s.xgreen);
            positions.push_back(s.ygreen);
        }
    }
    Path path;
    const auto n = py::ssize_t(positions.size() / 2);
    path.positions = ownedArray(std::move(positions), {n, 2});
    path.outcome = int(t.capture());
    path.steps = t.steps();
    return path;
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
        .def_readonly("view", &Basins::view, "(x, y, spacing): the top-left start point and the "
                                             "distance between neighbours.")
        .def_readonly("parameters", &Basins::parameters, "The parameters computed.")
        .def_readonly("kernel", &Basins::kernel, "The kernel that computed it.")
        .def("__repr__", [](const Basins &b) {
            return "<velmora.Basins " + std::to_string(b.outcome.shape(1)) + " x " +
                   std::to_string(b.outcome.shape(0)) + " at " + std::string(py::repr(b.view)) +
                   ">";
        });
    py::class_<Path>(module, "Trajectory", "The path of the moving mass from one start point.")
        .def_readonly("positions", &Path::positions,
                      "float64 array (n, 2): the start point, then (x, y) after each step that "
                      "moved the mass.")
        .def_readonly("outcome", &Path::outcome, "0 never captured, 1 mass one, 2 mass two.")
        .def_readonly("steps", &Path::steps, "Steps taken, the capturing one included.")
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
               "statistics(result, entropy_box=5) -> dict\n\n"
               "The figures velmora-render --stats writes as JSON: counts and fractions of the "
               "outcomes, the capture steps of each mass, the basin entropy over boxes of "
               "entropy_box x entropy_box start points (2 to 100) and the boundary fraction.");
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
