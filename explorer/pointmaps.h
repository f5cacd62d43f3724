#pragma once

#include "scene.h"
#include "viewport.h"

#include "sim/step.h"

#include <QImage>

#include <cstdint>
#include <vector>

/// The outcome and step count of every start point of a viewport in scan order, and which of
/// them are known yet.
struct PointMaps
{
    Viewport view;
    Scene scene;
    std::vector<sim::Capture> outcomes;
    std::vector<std::uint64_t> steps;
    std::vector<std::uint8_t> known;

    /// Nothing known of view under scene; keeps from before every known point that is bitwise
    /// the same start point with the same outcome (a whole-point pan or a resize under the same
    /// scene and spacing). Returns how many it kept.
    std::int64_t moveTo(const Viewport &view, const Scene &scene);

    bool complete() const;
};

/// The picture of the maps, one pixel a start point: known points in their mass's colour (shaded
/// when the scene says so) or the background; a point not yet known takes the colour of the known
/// point at the top-left corner of its block of stride x stride points. Once every point is known
/// this is, byte for byte, the picture the renderer writes for the same view.
QImage paintPoints(const PointMaps &maps, int stride);
