#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

/// The numeric kind a value had where the program computed it; it decides how the value reads
/// as text.
enum class Kind : std::uint8_t { int16, int32, single, real };

/// A value on its way to a value field: the number and the kind it was computed in.
struct Number
{
    Kind kind = Kind::real;
    double value = 0;
};

constexpr Number int16Number(std::int16_t v)
{
    return {Kind::int16, double(v)};
}
constexpr Number int32Number(std::int32_t v)
{
    return {Kind::int32, double(v)};
}
constexpr Number singleNumber(float v)
{
    return {Kind::single, double(v)};
}
constexpr Number realNumber(double v)
{
    return {Kind::real, v};
}

/// The text a value field shows for n. Whole values below 1e15 in magnitude are plain digits
/// with a leading minus when negative; other values have up to 15 significant digits (7 for a
/// single), the given decimal separator, an exponent only where the digits need one, and no
/// grouping. Independent of the C locale.
std::string numberText(Number n, std::string_view decimalSeparator = ".");

/// v rounded to single precision. The language rounds a float at each assignment and cast, but a
/// compiler may carry it further in wider registers (GCC does on x87); a store to memory rounds
/// it under every compiler, so the picture does not depend on how floats are evaluated.
inline float roundToSingle(float v)
{
    volatile float stored = v;
    return stored;
}

/// Rounds to the nearest integer, halves to the even neighbour (100.5 gives 100, 101.5 gives
/// 102). A result beyond -32768..32767 gives the nearest end of that range; NaN gives 0.
std::int16_t roundToInt16(double v);

/// A whole number as an int16: v itself, or the nearest end of -32768..32767 when v lies beyond
/// it; NaN gives 0.
std::int16_t clampToInt16(double v);

/// Adds one to v and returns true, or returns false with v unchanged when v is 32767 already.
bool incrementInt16(std::int16_t &v);

} // namespace sim
