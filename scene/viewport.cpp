#include "viewport.h"


#include <algorithm>
#include <cmath>
#include <limits>

double gridSpacing(double s)
{
    int exponent = 0;
    std::frexp(s, &exponent); // s = f x 2^exponent with f in [0.5, 1): m = 32 f
    double unit = std::ldexp(1.0, exponent - 5);
    double m = std::round(s / unit);
    if (m >= 32) {
        m = 16;
        unit *= 2;
    }
    return m * unit;
}

double gridUnit(double spacing)
{
    int exponent = 0;
    std::frexp(spacing, &exponent);
    return std::ldexp(1.0, exponent - 5);
}

namespace {

double onGrid(double v, double unit)
{
    return std::round(v / unit) * unit;
}

} // namespace

View Viewport::toView() const
{
    View v{x, y, spacing, 0, 0, size.width(), size.height()};
    const double unit = gridUnit(spacing);
    const double column = std::floor(x / spacing);
    const double row = std::floor(y / spacing);
    // Exact on the grid: x, y and spacing whole multiples of one power of two.
    if (spacing == onGrid(spacing, unit) && x == onGrid(x, unit) && y == onGrid(y, unit) &&
        std::fabs(column) < 1e12 &&
        std::fabs(row) < 1e12) {
        v.x = x - column * spacing;
        v.y = y - row * spacing;
        v.column = std::int64_t(column);
        v.row = std::int64_t(row);
    }
    return v;
}

QPointF Viewport::plane(QPointF d) const
{
    return {x + d.x() * spacing, y + d.y() * spacing};
}

QPointF Viewport::device(QPointF p) const
{
    return {(p.x() - x) / spacing, (p.y() - y) / spacing};
}

Viewport Viewport::panned(int di, int dj) const
{
    Viewport v = *this;
    v.x = x + di * spacing;
    v.y = y + dj * spacing;
    return v;
}

Viewport Viewport::zoomed(QPointF d, double factor) const
{
    double s = gridSpacing(spacing * factor);
    if (s == spacing) {
        const double unit = gridUnit(spacing);
        s = gridSpacing(factor < 1 ? spacing - unit : spacing + unit);
    }
    Viewport v = at(d, s);
    // Zooming in towards the limit goes as far as the limit allows before it is refused.
    while (factor < 1 && !v.refusal().isEmpty() && v.spacing < spacing) {
        const Viewport wider = at(d, gridSpacing(v.spacing + gridUnit(v.spacing)));
        if (wider.spacing >= spacing)
            break;
        v = wider;
    }
    return v;
}

Viewport Viewport::at(QPointF d, double s) const
{
    const QPointF fixed = plane(d);
    const double unit = gridUnit(s);
    Viewport v = *this;
    v.spacing = s;
    v.x = onGrid(fixed.x() - d.x() * s, unit);
    v.y = onGrid(fixed.y() - d.y() * s, unit);
    return v;
}

Viewport Viewport::centred(QSize newSize) const
{
    Viewport v = *this;
    v.size = newSize;
    const double unit = gridUnit(spacing);
    v.x = onGrid(x + (size.width() - newSize.width()) * spacing / 2, unit);
    v.y = onGrid(y + (size.height() - newSize.height()) * spacing / 2, unit);
    return v;
}

Viewport Viewport::resized(QSize newSize) const
{
    Viewport v = *this;
    v.size = newSize;
    return v;
}

Viewport Viewport::fitting(const QRectF &plane, QSize size)
{
    const double needed = std::max(plane.width() / std::max(1, size.width()),
                                   plane.height() / std::max(1, size.height()));
    double s = gridSpacing(needed);
    if (s < needed)
        s = s + gridUnit(s);
    s = gridSpacing(s);
    const double unit = gridUnit(s);
    Viewport v;
    v.size = size;
    v.spacing = s;
    v.x = onGrid(plane.center().x() - size.width() * s / 2, unit);
    v.y = onGrid(plane.center().y() - size.height() * s / 2, unit);
    return v;
}

QString Viewport::refusal() const
{
    if (spacing > maxSpacing)
        return QStringLiteral("The explorer shows spacings up to %1 a point.").arg(maxSpacing);
    const View v = toView();
    switch (checkView(v)) {
    case ViewFault::none:
        return {};
    case ViewFault::tooFine:
        return QStringLiteral("Zoom limit: the start x of a trajectory is single precision, and "
                              "at x = %1 neighbouring columns would start at the same x. The "
                              "finest spacing there is %2.")
            .arg(x, 0, 'g', 9)
            .arg(finestSpacing(x, size.width()), 0, 'g', 3);
    case ViewFault::empty:
        return QStringLiteral("The view has no start points.");
    case ViewFault::notFinite:
    case ViewFault::outOfRange:
        break;
    }
    return QStringLiteral("The view lies beyond the plane the engine computes (%1 from the "
                          "origin).")
        .arg(maxViewCoordinate);
}

bool Viewport::operator==(const Viewport &o) const
{
    return x == o.x && y == o.y && spacing == o.spacing && size == o.size;
}
