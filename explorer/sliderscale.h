#pragma once

#include <cstdint>

/// Where a slider stands for a value: logarithmic on each side of a centre value, so that the
/// centre (a parameter's default) sits in the slider's middle and each end reaches its bound; or
/// linear from min to max.
class SliderScale
{
public:
    static constexpr int halfRange = 1000; ///< positions -halfRange to halfRange

    SliderScale(std::int64_t min, std::int64_t max, std::int64_t centre, bool logarithmic);

    std::int64_t value(int position) const;
    int position(std::int64_t value) const;
    bool logarithmic() const { return log_; }

private:
    std::int64_t min_, max_, centre_;
    bool log_;
};
