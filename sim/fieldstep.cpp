#include "fieldstep.h"

#include "number.h"
#include "simstate.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace sim {

namespace {

/// The point reached by the pull toward the fixed mass at (fx, fy): on the line toward it, at the
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

std::uint8_t stepField(const MassField &field, double &x, double &y, bool firstStep, Pull *pulls)
{
    Pull own[maxFixedMasses];
    Pull *p = pulls ? pulls : own;
    const int n = field.count;
    // x still holds the start point's single value on the first step: the x differences are
    // singles, rounded as such before they are squared, however the compiler evaluates floats.
    const float single = firstStep ? static_cast<float>(x) : 0.0f;
    for (int k = 0; k < n; ++k) {
        const FieldMass &m = field.masses[k];
        const double dx = firstStep ? roundToSingle(static_cast<float>(m.x) - single) : m.x - x;
        const double dy = m.y - y;
        p[k].distance = std::sqrt(dx * dx + dy * dy);
    }
    for (int k = 0; k < n; ++k) {
        if (p[k].distance <= field.masses[k].radius)
            return std::uint8_t(k + 1);
    }
    for (int k = 0; k < n; ++k) {
        const FieldMass &m = field.masses[k];
        p[k].pull = ((field.movingKilograms * m.kilograms) / (p[k].distance * p[k].distance)) * G;
        pointReached(p[k].pull, p[k].distance, x, y, m.x, m.y, p[k].lambda, p[k].x, p[k].y);
    }
    double nx = p[0].x;
    double ny = p[0].y;
    for (int k = 1; k < n; ++k) {
        nx = nx + ((p[k].x + x) - 2 * x);
        ny = ny + ((p[k].y + y) - 2 * y);
    }
    x = nx;
    y = ny;
    return 0;
}

bool FieldTrajectory::advance(const MassField &field, double &x, double &y, std::uint64_t limit)
{
    if (steps_ == limit)
        return false;
    if (steps_ == 1) {
        savedX_ = x;
        savedY_ = y;
    } else if (steps_ > 1) {
        if (sameBits(x, savedX_) && sameBits(y, savedY_))
            return false;
        if (++sinceSaved_ == power_) {
            savedX_ = x;
            savedY_ = y;
            power_ *= 2;
            sinceSaved_ = 0;
        }
    }
    ++steps_;
    outcome_ = stepField(field, x, y, steps_ == 1);
    return outcome_ == 0;
}

} // namespace sim
