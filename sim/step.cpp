#include "step.h"

#include "fieldstep.h"

#include <cstring>

namespace sim {

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

Capture step(simstate &s, std::int16_t radiusOne, std::int16_t radiusTwo, bool firstStep)
{
    const MassField field{{{double(s.xrot), double(s.yrot), s.massrot, double(radiusOne)},
                       {double(s.xblau), double(s.yblau), double(s.massblau), double(radiusTwo)}},
                      2,
                      s.massgreen};
    Pull pulls[2];
    const std::uint8_t capture = stepField(field, s.xgreen, s.ygreen, firstStep, pulls);
    s.distrot = pulls[0].distance;
    s.distblau = pulls[1].distance;
    if (capture != 0)
        return Capture(capture);
    s.powerrot = pulls[0].pull;
    s.powerblau = pulls[1].pull;
    s.lambdarot = pulls[0].lambda;
    s.lambdablau = pulls[1].lambda;
    s.xpowerrot = pulls[0].x;
    s.ypowerrot = pulls[0].y;
    s.xpowerblau = pulls[1].x;
    s.ypowerblau = pulls[1].y;
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
