#pragma once

#include <cstdint>

namespace sim {

/// The gravitational constant. The pull it gives, G x (moving mass) x (fixed mass) / distance^2
/// with masses in kilograms and the distance in pixels, is used unchanged as a length in pixels.
inline constexpr double G = 6.67e-11;

/// Steps a trajectory may take before its start point stays unpainted.
inline constexpr std::uint64_t stepLimit = 100000000000000ULL;

/// The parameters, the live variables of the current step and the scan state of the picture, in
/// their declared order. Positions and lengths are client-area pixels (origin top left, y down),
/// masses kilograms, colours red + 256 x green + 65536 x blue. The main window owns the one
/// record; handlers and the run read and write it field by field on the GUI thread.
struct simstate
{
    std::int16_t xblau = 0;    ///< x of mass two
    std::int16_t yblau = 0;    ///< y of mass two
    std::int32_t massblau = 0; ///< weight of mass two
    std::int16_t xrot = 0;     ///< x of mass one
    std::int16_t yrot = 0;     ///< y of mass one
    double massrot = 0;        ///< weight of mass one
    double xgreen = 0;         ///< x of the moving mass; a single value at a start point
    double ygreen = 0;         ///< y of the moving mass; a whole value at a start point
    double massgreen = 0;      ///< weight of the moving mass
    double distrot = 0;        ///< distance to mass one
    double distblau = 0;       ///< distance to mass two
    double powerrot = 0;       ///< pull of mass one
    double powerblau = 0;      ///< pull of mass two
    double lambdablau = 0;     ///< section ratio toward mass two
    double lambdarot = 0;      ///< section ratio toward mass one
    double xpowerrot = 0;      ///< point reached by the pull of mass one
    double ypowerrot = 0;
    double xpowerblau = 0; ///< point reached by the pull of mass two
    double ypowerblau = 0;
    float scanx = 0;            ///< x of the current start point
    std::int16_t scany = 0;     ///< y of the current start point (the current row)
    std::int32_t colorrot = 0;  ///< colour of mass one
    std::int32_t colorblau = 0; ///< colour of mass two
    std::int16_t rowsdone = 0;  ///< rows finished by the current or the last run
};

} // namespace sim
