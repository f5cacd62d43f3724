#include "step.h"

#include "number.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace sim {

namespace {

/// The point reached by the pull of one fixed mass at (fx, fy): on the line toward it, at the
/// distance of the pull. A pull equal to the distance reaches the mass itself, the limit of the
/// section-ratio formula, which would divide by zero there.
void pointReached(double pull, double distance, double gx, double gy, double fx, double fy,
                  double &lambda, double &px, double &py)
{
    const double gap = distance - pull;
    if (gap == 0) {
        lambda = std::numeric_limits<double>::infinity();
        px = fx;
        py = fy;
        return;
    }
    lambda = pull / gap;
    px = (gx + fx * lambda) / (lambda + 1);
    py = (gy + fy * lambda) / (lambda + 1);
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

Capture step(simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo, bool firstStep)
{
    double dxOne;
    double dxTwo;
    if (firstStep) {
        // xgreen still holds the start point's single value: the x differences are singles,
        // rounded as such before they are squared, however the compiler evaluates floats.
        const float x = static_cast<float>(s.xgreen);
        dxOne = roundToSingle(static_cast<float>(s.xrot) - x);
        dxTwo = roundToSingle(static_cast<float>(s.xblau) - x);
    } else {
        dxOne = s.xrot - s.xgreen;
        dxTwo = s.xblau - s.xgreen;
    }
    const double dyOne = s.yrot - s.ygreen;
    const double dyTwo = s.yblau - s.ygreen;
    s.distrot = std::sqrt(dxOne * dxOne + dyOne * dyOne);
    s.distblau = std::sqrt(dxTwo * dxTwo + dyTwo * dyTwo);

    if (s.distrot <= radiusOne)
        return Capture::one;
    if (s.distblau <= radiusTwo)
        return Capture::two;

    s.powerrot = ((s.massgreen * s.massrot) / (s.distrot * s.distrot)) * G;
    s.powerblau = ((s.massgreen * s.massblau) / (s.distblau * s.distblau)) * G;
    pointReached(s.powerrot, s.distrot, s.xgreen, s.ygreen, s.xrot, s.yrot, s.lambdarot,
                 s.xpowerrot, s.ypowerrot);
    pointReached(s.powerblau, s.distblau, s.xgreen, s.ygreen, s.xblau, s.yblau, s.lambdablau,
                 s.xpowerblau, s.ypowerblau);

    const double x = s.xgreen;
    const double y = s.ygreen;
    s.xgreen = s.xpowerrot + ((s.xpowerblau + x) - 2 * x);
    s.ygreen = s.ypowerrot + ((s.ypowerblau + y) - 2 * y);
    return Capture::none;
}

StepInput StepInput::of(const simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo)
{
    return {s.xgreen, s.ygreen, s.massrot, s.massgreen, s.massblau, s.xrot,
            s.yrot,   s.xblau,  s.yblau,   radiusOne,   radiusTwo};
}

bool StepInput::operator==(const StepInput &o) const
{
    return sameBits(xgreen, o.xgreen) && sameBits(ygreen, o.ygreen) && sameParameters(o);
}

bool StepInput::sameParameters(const StepInput &o) const
{
    return sameBits(massrot, o.massrot) && sameBits(massgreen, o.massgreen) &&
           massblau == o.massblau && xrot == o.xrot && yrot == o.yrot && xblau == o.xblau &&
           yblau == o.yblau && radiusOne == o.radiusOne && radiusTwo == o.radiusTwo;
}

bool CycleDetector::repeats(const StepInput &input)
{
    if (!haveSaved_ || !input.sameParameters(saved_)) {
        saved_ = input;
        power_ = 1;
        sinceSaved_ = 0;
        haveSaved_ = true;
        return false;
    }
    if (input == saved_)
        return true;
    if (++sinceSaved_ == power_) {
        saved_ = input;
        power_ *= 2;
        sinceSaved_ = 0;
    }
    return false;
}

bool Trajectory::advance(simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo,
                         std::uint64_t limit)
{
    if (steps_ == limit)
        return false;
    // A repeated input can never be captured while nothing changes; a change made between two
    // steps makes the input new again.
    if (steps_ > 0 && cycle_.repeats(StepInput::of(s, radiusOne, radiusTwo)))
        return false;
    ++steps_;
    capture_ = step(s, radiusOne, radiusTwo, steps_ == 1);
    return capture_ == Capture::none;
}

TrajectoryResult trajectory(simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo,
                            std::uint64_t limit)
{
    Trajectory t;
    while (t.advance(s, radiusOne, radiusTwo, limit)) {
    }
    return {t.capture(), t.steps()};
}

} // namespace sim
