#pragma once

#include "engine/kernel.h"
#include "picture/surface.h"
#include "sim/defaults.h"
#include "sim/scan.h"
#include "sim/simstate.h"
#include "sim/step.h"

#include <QSize>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

/// What one picture is computed from, in the units of the window's scrollbars: positions and
/// sizes in client-area pixels, masses as scrollbar Values (kilograms are Value x 10000 for the
/// fixed masses and Value x 10000000 for the moving mass), colours red + 256 x green +
/// 65536 x blue.
struct RenderParameters
{
    /// The largest Value of the mass scrollbars, and of the radius scrollbars.
    static constexpr std::int16_t maxMass = 32767;
    static constexpr std::int16_t maxRadius = 300;

    QSize client{1024, 700};
    QSize picture{sim::defaultPictureWidth, sim::defaultPictureHeight};
    /// The positions depend on the client area: defaults() places them as start-up does.
    std::int16_t xrot = 0;
    std::int16_t yrot = 0;
    std::int16_t xblau = 0;
    std::int16_t yblau = 0;
    std::int16_t massOne = sim::defaultFixedMass;
    std::int16_t massTwo = sim::defaultFixedMass;
    std::int16_t massMoving = sim::defaultMovingMass;
    std::int16_t radiusOne = sim::defaultRadius;
    std::int16_t radiusTwo = sim::defaultRadius;
    std::int32_t colorOne = sim::defaultColourOne;
    std::int32_t colorTwo = sim::defaultColourTwo;
    std::int32_t background = sim::defaultBackground;
    std::uint64_t stepLimit = sim::stepLimit;
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
/// the picture rectangle in the colour of the mass that captures it. The start points are
/// spread over worker threads; the surface does not depend on how many.
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
    void abandon() { abandoned_.store(true, std::memory_order_relaxed); }
    bool abandoned() const { return abandoned_.load(std::memory_order_relaxed); }

    /// Start points finished so far; any thread may read it while render() runs.
    std::int64_t pointsDone() const { return pointsDone_.load(std::memory_order_relaxed); }
    std::int64_t pointCount() const { return std::int64_t(captures_.size()); }
    /// The start point with this index in scan order.
    sim::StartPoint startPoint(std::int64_t index) const;

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
    Kernel kernel() const { return kernel_; }

private:
    void work();
    bool take(std::int64_t &first, std::int64_t &end);

    RenderParameters parameters_;
    sim::simstate state_;
    Surface surface_;
    Kernel kernel_;
    // Every row of an unchanged rectangle has the same columns; only the first row's are kept.
    std::vector<float> columns_;
    std::int16_t firstRowY_ = 0;
    std::vector<sim::Capture> captures_;
    std::vector<std::uint64_t> pointSteps_;
    std::atomic<std::int64_t> nextPoint_{0};
    std::atomic<std::int64_t> pointsDone_{0};
    std::atomic<std::uint64_t> steps_{0};
    std::atomic<bool> abandoned_{false};
};
