#pragma once

#include <cstdint>
#include <string>

/// A grid of start points in the plane, in client-area pixels (the masses' units): width x height
/// start points spacing apart, counted from a fixed origin (x, y). Start point (i, j) of the
/// view, i = 0..width-1 left to right and j = 0..height-1 top to bottom, is the grid's point
/// (column + i, row + j). Moving a view by whole points changes only column and row, so a start
/// point it keeps has the same bits, and so the same outcome, before and after.
struct View
{
    double x = 0; ///< the origin: the grid's point (0, 0)
    double y = 0;
    double spacing = 1;      ///< between neighbouring start points, across and down
    std::int64_t column = 0; ///< the view's top-left start point, in whole points from the origin
    std::int64_t row = 0;
    int width = 0;  ///< start points across
    int height = 0; ///< start points down

    /// The start x of the view's column i: x + (column + i) x spacing, the product and the sum
    /// each rounded to double, then rounded once to single precision (sim::roundToSingle), as
    /// every start x is.
    float columnX(std::int64_t i) const;
    /// The start y of the view's row j: y + (row + j) x spacing, in double precision.
    double rowY(std::int64_t j) const;

    /// The same grid moved right by columns and down by rows whole points.
    View moved(std::int64_t columns, std::int64_t rows) const;

    std::int64_t pointCount() const { return std::int64_t(width) * height; }

    /// A view at spacing 1 from the start point (left, top): the replica's picture, whose
    /// start points lie a whole pixel apart from its left edge, which may be on a half pixel.
    static View unitSpacing(double left, double top, int width, int height);
};

/// The replica's picture as a view: the start points of a width x height picture rectangle
/// centred in a client area as the window centres it, each a whole pixel from the rectangle's
/// left edge (which may lie on a half pixel), from its top-left one.
View pictureView(int clientWidth, int clientHeight, int width, int height);

/// The largest magnitude a view's start coordinates may have.
inline constexpr double maxViewCoordinate = 1e9;

/// The finest spacing allowed for a view whose left column starts at x and that has columns
/// start points across: the gap between neighbouring single-precision values at the start x
/// farthest from 0. Finer, neighbouring columns would start at the same x.
double finestSpacing(double x, std::int64_t columns = 1);

/// Why a view cannot be computed.
enum class ViewFault : std::uint8_t {
    none,
    empty,      ///< width or height below 1
    notFinite,  ///< x, y or spacing is not a finite number, or spacing is not above 0
    outOfRange, ///< a start coordinate beyond maxViewCoordinate in magnitude
    tooFine,    ///< below finestSpacing(), or two neighbouring columns start at the same x
};

/// The first fault of view, or ViewFault::none when every column starts at its own x.
ViewFault checkView(const View &view);

/// A real number in the shortest form that reads back to the same double ("0.25", "502",
/// "1e-07"), whatever the locale: how views are written and shown.
std::string shortestText(double value);
/// Reads a real number written in decimal (an optional minus, digits, a point, an exponent) into
/// value, rounded to the nearest double; false for any other text or a number beyond double.
bool readReal(const std::string &text, double &value);
