#pragma once

#include "engine/engine.h"

#include <QImage>
#include <QRgb>

/// The colours of a start point still to be known: diagonal stripes of two greys, a pattern no
/// mass or background colour can be mistaken for.
QRgb pendingColour(int i, int j);

/// Draws the start points of maps whose outcome is not known, nor that of the top-left point of
/// their level x level block, in the pending pattern on image (one pixel a start point).
void paintPending(const PointMaps &maps, int level, QImage &image);
