#pragma once

#include "engine/engine.h"
#include "engine/kernel.h"
#include "engine/parameters.h"
#include "engine/view.h"
#include "picture/surface.h"
#include "sim/defaults.h"
#include "sim/scan.h"
#include "sim/simstate.h"
#include "sim/step.h"

#include <QPointF>
#include <QSize>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

/// What one picture is computed from: the trajectories' parameters (the engine's table names
/// them), and in the units of the window's scrollbars the drawing surface, the picture rectangle
/// and the colours (red + 256 x green + 65536 x blue).
struct RenderParameters : TrajectoryParameters
{
    QSize client = defaultClient;
    QSize picture{sim::defaultPictureWidth, sim::defaultPictureHeight};
    /// When set, the picture is this view instead: a surface of its size whose pixel (i, j) is
    /// start point (i, j) of the view; client and picture are then not used.
    std::optional<View> view;
    std::int32_t colorOne = sim::defaultColourOne;
    std::int32_t colorTwo = sim::defaultColourTwo;
    std::int32_t background = sim::defaultBackground;
    /// Worker threads; 0 means one per core.
    int threads = 0;
    /// The worker threads a render starts: threads, or one per core.
    int workers() const;
    /// The code that follows the trajectories; the picture is the same with every one.
    Kernel kernel = Kernel::automatic;
    /// Whether pointSteps() is kept: 8 bytes a start point.
    bool keepPointSteps = false;

    /// The parameters start-up gives a client area of this size: the masses where the window
    /// places them, clamped to the position scrollbars' ranges as the scrollbars clamp them.
    static RenderParameters defaults(QSize client);

    /// The record a run of these parameters starts from.
    sim::simstate state() const;
};

/// The view a picture is: the one given, or the replica's whole start points.
View viewOf(const RenderParameters &parameters);
/// Where its start points run: its kernel and threads, in no pool.
Workers workersOf(const RenderParameters &parameters);

/// The counts of a finished picture.
struct RenderSummary
{
    std::int64_t points = 0;
    std::int64_t capturedOne = 0;
    std::int64_t capturedTwo = 0;
    std::int64_t neverCaptured = 0;
    std::uint64_t steps = 0;
};

/// Computes the drawing surface that a complete, undisturbed run leaves for the given
/// parameters: the background, mass two's capture circle, mass one's, then every start point of
/// the picture rectangle in the colour of the mass that captures it. With a view, the surface is
/// the view's start points alone, without circles. The start points are spread over worker
/// threads; the surface does not depend on how many.
class Renderer
{
public:
    explicit Renderer(const RenderParameters &parameters);

    /// Computes the picture and blocks until it is complete, calling onProgress on the calling
    /// thread about every tenth of a second meanwhile. The workers run in pool, whose threads
    /// several renders may share, or else in threads of their own. Call once.
    RenderSummary render(const std::function<void()> &onProgress = {}, QThreadPool *pool = nullptr);

    /// Makes render() return soon, with an incomplete picture: the workers begin no new start
    /// point and leave the ones under way. Any thread may call it, before or during render().
    void abandon() { engine_.abandon(); }
    bool abandoned() const { return engine_.abandoned(); }

    /// Start points finished so far; any thread may read it while render() runs.
    std::int64_t pointsDone() const { return engine_.pointsDone(); }
    std::int64_t pointCount() const { return std::int64_t(captures_.size()); }
    /// The start points as a view: the replica's picture is the view of whole start points from
    /// the rectangle's top-left one.
    const View &view() const { return view_; }
    /// The start point of the replica's picture with this index in scan order.
    sim::StartPoint startPoint(std::int64_t index) const;
    /// Where the start point with this index in scan order is painted: the start point itself
    /// on the replica's surface, (i, j) on a view's.
    QPointF pixel(std::int64_t index) const;

    /// Each start point's outcome in scan order; complete once render() has returned.
    const std::vector<sim::Capture> &captures() const { return captures_; }
    /// Each start point's steps in scan order, the capturing one included; empty unless the
    /// parameters keep them. Complete once render() has returned.
    const std::vector<std::uint64_t> &pointSteps() const { return pointSteps_; }

    /// The drawing surface; complete once render() has returned.
    const Surface &surface() const { return surface_; }
    /// The same, for painting over a finished picture.
    Surface &surface() { return surface_; }

    /// The kernel that computes the picture: the parameters' request, resolved.
    Kernel kernel() const { return engine_.kernel(); }

private:
    RenderParameters parameters_;
    sim::simstate state_;
    View view_;
    Surface surface_;
    Engine engine_;
    std::vector<sim::Capture> captures_;
    std::vector<std::uint64_t> pointSteps_;
};
