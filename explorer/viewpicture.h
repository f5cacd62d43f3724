#pragma once

#include "scene.h"

#include "engine/engine.h"

#include <QImage>

/// The picture of a view's maps, one pixel a start point, in the renderer's image format. A start
/// point not known yet takes the colour of the known start point at the top-left corner of its
/// block of level x level points (the background while that is not known either); shading is
/// against the latest capture known. Once every start point is known this is, byte for byte,
/// the picture velmora-render writes for the same view.
QImage viewPicture(const PointMaps &maps, const Scene &scene, int level = 1);
