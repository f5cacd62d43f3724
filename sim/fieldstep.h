#pragma once

#include "field.h"

#include <cstdint>

namespace sim {

/// What one step works out for one fixed mass on its way, as the window shows it.
struct Pull
{
    double distance;
    double pull;
    double lambda; ///< the section ratio toward the mass
    double x;      ///< the point the pull reaches
    double y;
};

/// One step of the moving mass from (x, y) in the field: for every mass its distance, then the
/// capture tests in mass order, and without a capture every mass's pull and the point it reaches,
/// and the new position x' = x1 + ((x2 + x) - 2x) + ((x3 + x) - 2x) + ... in that order, the
/// same for y. Returns the number (1 to count) of the mass that captures, leaving (x, y) as it
/// was, or 0 after moving (x, y). On a trajectory's first step x holds the start point's single
/// value and the x differences are formed in single precision. A pull exactly equal to its
/// distance reaches the fixed mass itself. Unless null, pulls receives each mass's values (only
/// the distances when a mass captures).
std::uint8_t stepField(const MassField &field, double &x, double &y, bool firstStep,
                       Pull *pulls = nullptr);

/// A trajectory in a field that does not change between its steps: the step count and Brent's
/// cycle rule (each position compared with one saved at a power-of-two step), so that a fixed
/// point or a periodic orbit ends it as the step limit would.
class FieldTrajectory
{
public:
    /// Takes the next step from (x, y). True while the trajectory goes on; false once it is
    /// over: captured by this step, or, without a step, at a repeated position or the limit.
    bool advance(const MassField &field, double &x, double &y, std::uint64_t limit);

    /// 0 never captured, k captured by mass k.
    std::uint8_t outcome() const { return outcome_; }
    /// Steps taken, the capturing one included.
    std::uint64_t steps() const { return steps_; }

private:
    double savedX_ = 0;
    double savedY_ = 0;
    std::uint64_t power_ = 1;
    std::uint64_t sinceSaved_ = 0;
    std::uint64_t steps_ = 0;
    std::uint8_t outcome_ = 0;
};

} // namespace sim
