#include "number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace sim {

std::string numberText(Number n, std::string_view decimalSeparator)
{
    const double v = n.value;
    if (v == 0)
        return "0"; // also -0
    std::array<char, 64> buffer{};
    std::to_chars_result result{};
    if (std::isfinite(v) && std::fabs(v) < 1e15 && v == std::trunc(v)) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v,
                               std::chars_format::fixed, 0);
    } else if (n.kind == Kind::single) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), float(v),
                               std::chars_format::general, 7);
    } else {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v,
                               std::chars_format::general, 15);
    }
    std::string text;
    for (const char *c = buffer.data(); c != result.ptr; ++c) {
        if (*c == '.')
            text += decimalSeparator;
        else if (*c == 'e')
            text += 'E';
        else
            text += *c;
    }
    return text;
}

std::int16_t roundToInt16(double v)
{
    return clampToInt16(std::nearbyint(v));
}

std::int16_t clampToInt16(double v)
{
    constexpr double lowest = std::numeric_limits<std::int16_t>::min();
    constexpr double highest = std::numeric_limits<std::int16_t>::max();
    if (std::isnan(v))
        return 0;
    return static_cast<std::int16_t>(std::min(std::max(v, lowest), highest));
}

bool incrementInt16(std::int16_t &v)
{
    if (v == std::numeric_limits<std::int16_t>::max())
        return false;
    ++v;
    return true;
}

} // namespace sim
