#include "scan.h"

#include "number.h"

#include <cmath>

namespace sim {

namespace {

/// The smallest whole number not below v: the first column whose pixels a start point on a
/// fractional edge still belongs to.
std::int16_t columnAtOrAfter(float v)
{
    return static_cast<std::int16_t>(std::ceil(v));
}

} // namespace

Scan::Scan(simstate &s, const Rect &picture)
    : column_(columnAtOrAfter(picture.left)),
      endColumn_(columnAtOrAfter(picture.width + picture.left))
{
    s.scanx = picture.left - 1.0f;
    s.scany = roundToInt16(picture.top);
}

Scan::Next Scan::advance(simstate &s, const Rect &picture)
{
    if (started_)
        ++column_;
    started_ = true;
    if (column_ > endColumn_)
        return Next::columnLimit;
    s.scanx = s.scanx + 1.0f;
    // The wrap takes the pass that would handle the pixel right of the rectangle.
    if (picture.left + picture.width <= static_cast<float>(column_)) {
        s.scanx = picture.left;
        column_ = columnAtOrAfter(picture.left);
        ++s.rowsdone;
        ++s.scany;
    }
    if (static_cast<float>(s.rowsdone) >= picture.height)
        return Next::complete;
    return Next::point;
}

std::vector<StartPoint> startPoints(const Rect &picture)
{
    simstate s;
    Scan scan(s, picture);
    std::vector<StartPoint> points;
    while (scan.advance(s, picture) == Scan::Next::point)
        points.push_back({s.scanx, s.scany});
    return points;
}

} // namespace sim
