#include "massframe.h"

#include <algorithm>
#include <cmath>

QRectF massesFrame(const TrajectoryParameters &parameters)
{
    QRectF frame;
    for (const FixedMass &m : parameters.masses) {
        const QRectF circle(m.x - m.radius, m.y - m.radius, 2.0 * m.radius, 2.0 * m.radius);
        frame = frame.isNull() ? circle : frame.united(circle);
    }
    const double margin = std::max(35.0, std::max(frame.width(), frame.height()) / 4);
    return frame.adjusted(-margin, -margin, margin, margin);
}

std::optional<QPointF> edgeArrow(const QRectF &area, QPointF target, double inset)
{
    if (area.contains(target))
        return std::nullopt;
    const QRectF inner = area.adjusted(inset, inset, -inset, -inset);
    const QPointF c = inner.center();
    const QPointF d = target - c;
    // The largest share of d that stays within inner, across and down.
    double t = 1;
    if (d.x() != 0)
        t = std::min(t, (d.x() > 0 ? inner.right() - c.x() : inner.left() - c.x()) / d.x());
    if (d.y() != 0)
        t = std::min(t, (d.y() > 0 ? inner.bottom() - c.y() : inner.top() - c.y()) / d.y());
    return c + d * std::max(0.0, t);
}
