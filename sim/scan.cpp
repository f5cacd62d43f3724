#include "scan.h"

#include "number.h"

#include <cmath>

namespace sim {

namespace {

/// The smallest whole number not below v: the first column whose pixels a start point on a
/// fractional edge still belongs to. Columns beyond the int16 range stop at its ends.
std::int16_t columnAtOrAfter(float v)
{
    return clampToInt16(std::ceil(v));
}

/// The right edge of a rectangle in single precision.
float rightEdge(const Rect &picture)
{
    return roundToSingle(picture.left + picture.width);
}

} // namespace

Scan::Scan(simstate &s, const Rect &picture)
    : column_(columnAtOrAfter(picture.left)), endColumn_(columnAtOrAfter(rightEdge(picture)))
{
    s.scanx = roundToSingle(picture.left - 1.0f);
    s.scany = roundToInt16(picture.top);
}

Scan::Next Scan::advance(simstate &s, const Rect &picture)
{
    // A column counter that would pass 32767 is past every end column.
    if (started_ && !incrementInt16(column_))
        return Next::columnLimit;
    started_ = true;
    if (column_ > endColumn_)
        return Next::columnLimit;
    s.scanx = roundToSingle(s.scanx + 1.0f);
    // The wrap takes the pass that would handle the pixel right of the rectangle.
    if (rightEdge(picture) <= static_cast<float>(column_)) {
        s.scanx = picture.left;
        column_ = columnAtOrAfter(picture.left);
        // No row lies below 32767: the scan ends there.
        if (!incrementInt16(s.rowsdone) || !incrementInt16(s.scany))
            return Next::complete;
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
