#include "sliderscale.h"

#include <algorithm>
#include <cmath>

SliderScale::SliderScale(std::int64_t min, std::int64_t max, std::int64_t centre,
                         bool logarithmic)
    : min_(min), max_(max), centre_(std::clamp(centre, min, max)),
      log_(logarithmic && min > 0 && min < centre_ && centre_ < max)
{
}

std::int64_t SliderScale::value(int position) const
{
    const double share = double(position) / halfRange; // -1 to 1
    double v = 0;
    if (!log_)
        v = double(min_) + (share + 1) / 2 * double(max_ - min_);
    else if (share >= 0)
        v = double(centre_) * std::pow(double(max_) / double(centre_), share);
    else
        v = double(centre_) * std::pow(double(min_) / double(centre_), -share);
    return std::clamp(std::llround(v), static_cast<long long>(min_),
                      static_cast<long long>(max_));
}

int SliderScale::position(std::int64_t value) const
{
    const double v = double(std::clamp(value, min_, max_));
    double share = 0;
    if (!log_)
        share = max_ > min_ ? 2 * (v - double(min_)) / double(max_ - min_) - 1 : 0;
    else if (v >= double(centre_))
        share = std::log(v / double(centre_)) / std::log(double(max_) / double(centre_));
    else
        share = -std::log(v / double(centre_)) / std::log(double(min_) / double(centre_));
    return int(std::lround(share * halfRange));
}
