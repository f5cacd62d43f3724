#pragma once

#include "simstate.h"

#include <cstdint>

namespace sim {

/// Which fixed mass caught the moving mass.
enum class Capture : std::uint8_t { none, one, two };

/// One step of a trajectory from (xgreen, ygreen): the distances, the capture tests against the
/// given radii (mass one first), and, without a capture, the pulls, the section ratios, the two
/// points reached and the new position, all written into s. On the first step of a trajectory
/// xgreen holds its single-precision start value and the x differences are formed in single
/// precision. A pull exactly equal to its distance reaches the fixed mass itself.
Capture step(simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo, bool firstStep);

/// Everything a step reads: the moving mass's position, both fixed positions, all three masses
/// and both radii. Two equal inputs give equal steps.
struct StepInput
{
    double xgreen, ygreen;
    double massrot, massgreen;
    std::int32_t massblau;
    std::int16_t xrot, yrot, xblau, yblau;
    std::int16_t radiusOne, radiusTwo;

    static StepInput of(const simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo);
    /// Bitwise equality, so that a repeated input means a repeated step.
    bool operator==(const StepInput &other) const;
    /// The same, for everything but the moving mass's position.
    bool sameParameters(const StepInput &other) const;
};

/// Recognises a trajectory that has come back to an input it had before: a fixed point or a
/// periodic orbit, which no step can leave while nothing changes. Brent's method: compares each
/// input with one saved at a power-of-two step, so memory stays constant and any cycle is seen
/// within a few periods of entering it. Only inputs since the last change of a parameter are
/// compared: what came before a change says nothing about the path after it.
class CycleDetector
{
public:
    /// True when this input has been seen before in the trajectory, with no parameter changed
    /// in between.
    bool repeats(const StepInput &input);

private:
    StepInput saved_{}; ///< its parameters are those of every input since the last change
    std::uint64_t power_ = 1;
    std::uint64_t sinceSaved_ = 0;
    bool haveSaved_ = false;
};

/// A trajectory taken one step at a time, so that a caller can act between two steps (the window
/// shows the values and yields) or follow several side by side (the renderer). It keeps the step
/// count and the cycle detector; the moving mass and the parameters stay in the simstate passed
/// to each step, where a caller may change them in between.
class Trajectory
{
public:
    /// Takes the next step from s with the given radii. Returns true while the trajectory goes
    /// on; false once it is over: captured by this step, or, without a step, because the input
    /// repeats an earlier one or the limit is reached.
    bool advance(simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo,
                 std::uint64_t limit = stepLimit);

    Capture capture() const { return capture_; }
    /// Steps taken, the capturing one included.
    std::uint64_t steps() const { return steps_; }

private:
    CycleDetector cycle_;
    std::uint64_t steps_ = 0;
    Capture capture_ = Capture::none;
};

/// How a trajectory ended.
struct TrajectoryResult
{
    Capture capture = Capture::none;
    std::uint64_t steps = 0; ///< steps computed, the capturing one included
};

/// The whole trajectory from the start point already in s.xgreen (a single value) and s.ygreen,
/// with nothing changed between steps: ends at a capture, at a repeated input, or after
/// limit steps. Leaves the live variables of the last step in s.
TrajectoryResult trajectory(simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo,
                            std::uint64_t limit = stepLimit);

} // namespace sim
