#pragma once

#include "engine/parameters.h"

#include <QPointF>
#include <QRectF>

#include <optional>

/// The plane rectangle that holds every mass with its capture circle, grown on each side by a
/// quarter of its longer side, or by 35 units when that is more: for the default masses, the
/// default picture rectangle.
QRectF massesFrame(const TrajectoryParameters &parameters);

/// Where an arrow toward target goes when target lies outside area: the point where the line
/// from area's centre to target leaves area shrunk by inset on every side; none when target is
/// inside area.
std::optional<QPointF> edgeArrow(const QRectF &area, QPointF target, double inset);
