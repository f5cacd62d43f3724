#pragma once

#include "engine/engine.h"
#include "engine/kernel.h"
#include "engine/view.h"
#include "picture/surface.h"
#include "scene/framing.h"
#include "scene/scene.h"
#include "sim/step.h"

#include <QSize>
#include <QThreadPool>

#include <cstdint>
#include <functional>
#include <vector>

/// What one picture is computed from: the scene, which start points it shows and how they lie
/// on it, and where the start points run.
struct RenderParameters
{
    Scene scene;
    Framing framing;
    /// The kernel and the worker threads; the picture is the same with every one. No pool.
    Workers workers;
    /// Whether pointSteps() is kept: 8 bytes a start point.
    bool keepPointSteps = false;

    /// The parameters start-up gives a client area of this size, the replica's picture.
    static RenderParameters defaults(QSize client);
};

/// The counts of a finished picture.
struct RenderSummary
{
    std::int64_t points = 0;
    /// The start points each fixed mass captured, in mass order.
    std::vector<std::int64_t> captured;
    std::int64_t neverCaptured = 0;
    std::uint64_t steps = 0;

    /// Adds another picture's counts to these.
    void add(const RenderSummary &other);
};

/// Computes one picture: the outcome of every start point on worker threads, then the picture
/// painted from them (scene/painter.h). The picture does not depend on how many threads.
class Renderer
{
public:
    /// Takes the picture's memory at once: surface().image() is null when there is not enough.
    explicit Renderer(const RenderParameters &parameters);

    /// Computes the picture and blocks until it is complete, calling onProgress on the calling
    /// thread about every tenth of a second meanwhile. The workers run in pool, whose threads
    /// several renders may share, or else in threads of their own. Call once.
    RenderSummary render(const std::function<void()> &onProgress = {}, QThreadPool *pool = nullptr);

    /// Makes render() return soon, with an incomplete picture: the workers begin no new start
    /// point and leave the ones under way. Any thread may call it, before or during render().
    void abandon() { engine_.abandon(); }
    bool abandoned() const { return engine_.abandoned(); }
    /// The engine computing the picture, for what abandons it.
    Engine &engine() { return engine_; }

    /// Start points finished so far; any thread may read it while render() runs.
    std::int64_t pointsDone() const { return engine_.pointsDone(); }
    /// The steps of the longest trajectory under way (Engine::longestRunning).
    std::uint64_t longestRunning() const { return engine_.longestRunning(); }
    std::int64_t pointCount() const { return std::int64_t(captures_.size()); }
    /// The start points as a view, row by row.
    const View &view() const { return view_; }

    /// Each start point's outcome, row by row; complete once render() has returned.
    const std::vector<sim::Capture> &captures() const { return captures_; }
    /// Each start point's steps, row by row, the capturing one included; empty unless the
    /// parameters keep them. Complete once render() has returned.
    const std::vector<std::uint64_t> &pointSteps() const { return pointSteps_; }

    /// The picture; complete once render() has returned.
    const Surface &surface() const { return surface_; }

    /// The kernel that computes the picture: the parameters' request, resolved.
    Kernel kernel() const { return engine_.kernel(); }

private:
    RenderParameters parameters_;
    View view_;
    Surface surface_;
    Engine engine_;
    std::vector<sim::Capture> captures_;
    std::vector<std::uint64_t> pointSteps_;
};
