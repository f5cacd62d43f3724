#pragma once

#include "engine/view.h"

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

/// What the explorer shows: size.width() x size.height() start points, the top-left one at
/// (x, y), spacing apart in the plane's units; start point (i, j) starts at
/// x = single(x + i * spacing), y = y + j * spacing. One start point is one device pixel.
///
/// Every viewport the explorer makes lies on a binary grid: spacing = m x 2^e with m a whole
/// number from 16 to 31, and x and y whole multiples of 2^e. x + i * spacing and y + j * spacing
/// are then exact in double precision, so a viewport moved by whole points gives each point it
/// keeps bitwise the same start point, and the renderer's view with the same three numbers gives
/// the same picture.
struct Viewport
{
    double x = 0;
    double y = 0;
    double spacing = 1;
    QSize size;

    /// The engine's view of the same start points. On the grid its origin is the remainder of x
    /// and y after whole spacings, so that every viewport a whole-point pan reaches has the same
    /// origin and the engine can keep the points they share.
    View toView() const;
    float startX(int i) const { return toView().columnX(i); }
    double startY(int j) const { return toView().rowY(j); }
    /// The plane position of a device position (pixel i covers i to i + 1).
    QPointF plane(QPointF device) const;
    /// The device position of a plane position.
    QPointF device(QPointF plane) const;

    /// Moved by whole points: what was at point (di, dj) is at (0, 0).
    Viewport panned(int di, int dj) const;
    /// Spacing times factor (on the grid, at least one grid step away), with the plane position
    /// under the device position device staying where it is. Zooming in stops at the finest
    /// spacing allowed where that lies in between.
    Viewport zoomed(QPointF device, double factor) const;
    /// Grid spacing s, with the plane position under the device position d staying where it is.
    Viewport at(QPointF d, double s) const;
    /// The same middle and spacing at another size (on the grid).
    Viewport centred(QSize newSize) const;
    /// The same top-left start point and spacing at another size.
    Viewport resized(QSize newSize) const;
    /// The smallest grid spacing at which the plane rectangle fits into size, centred.
    static Viewport fitting(const QRectF &plane, QSize size);

    /// Empty when the engine computes the viewport (every column starts at a single x of its
    /// own) and the spacing is within the explorer's range; otherwise why not, in words for the
    /// status bar.
    QString refusal() const;

    bool operator==(const Viewport &o) const;
    bool operator!=(const Viewport &o) const { return !(*this == o); }

    /// The widest spacing the explorer shows.
    static constexpr double maxSpacing = 16;
};

/// s moved to the nearest grid spacing m x 2^e, m 16 to 31.
double gridSpacing(double s);
/// The grid unit 2^e of a grid spacing.
double gridUnit(double spacing);
