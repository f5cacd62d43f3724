#pragma once

#include "host.h"
#include "simstate.h"

#include <cstdint>
#include <vector>

namespace sim {

/// The raster order of the start points: left to right, top to bottom over the picture
/// rectangle, re-reading the rectangle at every start point so that a size change made meanwhile
/// moves the row wrap and the row limit. The column counter starts at the smallest whole number
/// not below the left edge and the scan ends, at the latest, at the smallest whole number not
/// below the right edge fixed at the start; every row of an unchanged rectangle therefore has
/// exactly its width of start points, also when its edges lie on half pixels. Columns and rows
/// are int16: the scan ends by the column limit where the column counter would pass 32767, and
/// as complete where the next row would.
class Scan
{
public:
    /// Sets scanx and scany for a scan of the rectangle picture.
    Scan(simstate &s, const Rect &picture);

    enum class Next : std::uint8_t {
        point,       ///< (scanx, scany) is the next start point
        complete,    ///< rowsdone has reached the height: the picture is complete
        columnLimit, ///< the rectangle was widened past the end column fixed at the start
    };

    /// Moves to the next start point of the rectangle as it stands now.
    Next advance(simstate &s, const Rect &picture);

private:
    std::int16_t column_;
    std::int16_t endColumn_;
    bool started_ = false;
};

/// A start point: x a single, as the scan holds it; y the row.
struct StartPoint
{
    float x;
    std::int16_t y;
};

/// The start points of a complete scan of an unchanged rectangle, in scan order.
std::vector<StartPoint> startPoints(const Rect &picture);

} // namespace sim
