#pragma once

#include <cstdint>

// Plain data only: the vector kernel, compiled for another instruction set, reads it too.

namespace sim {

/// The most fixed masses a field holds.
inline constexpr int maxFixedMasses = 16;

/// A fixed mass as a step reads it: its position in the plane's units, its weight in kilograms
/// and its capture radius, each a double that holds the whole value exactly.
struct FieldMass
{
    double x;
    double y;
    double kilograms;
    double radius;
};

/// Everything a step reads besides the moving mass's position: plain data, made once for every
/// start point of a picture. No default member values, so that code built for another
/// instruction set can share it without sharing a constructor.
struct MassField
{
    FieldMass masses[maxFixedMasses];
    int count; ///< masses in use, 1 to maxFixedMasses, in mass order
    double movingKilograms;
};

} // namespace sim
