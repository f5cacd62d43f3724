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

/// Rounds to the nearest integer, halves to the even neighbour (100.5 gives 100, 101.5 gives
/// 102). The caller keeps v within -32768..32767.
std::int16_t roundToInt16(double v);

} // namespace sim
