#pragma once

#include "framing.h"
#include "scene.h"

#include "engine/engine.h"

#include <QImage>

class Surface;

#include <cstdint>

/// The colours of start points from their outcomes (0 never captured, k captured by mass k,
/// 0xFF not computed): a captured point takes its mass's colour, scaled by its capture brightness
/// (engine/shading.h) when the scene shades and steps are given, against the latest capture among
/// all the points; every other point the background.
class PointColours
{
public:
    PointColours(const Scene &scene, const std::uint8_t *outcomes, const std::uint64_t *steps,
                 std::int64_t count);
    /// The colours of some of a picture's start points, shaded against latest, the latest
    /// capture among all the picture's points: a band of rows of a picture.
    static PointColours against(const Scene &scene, const std::uint8_t *outcomes,
                                const std::uint64_t *steps, std::uint64_t latest);

    bool captured(std::int64_t k) const { return outcomes_[k] != 0 && outcomes_[k] != 0xFF; }
    std::int32_t operator()(std::int64_t k) const;

private:
    const Scene &scene_;
    const std::uint8_t *outcomes_;
    const std::uint64_t *steps_; ///< null when not shading
    std::uint64_t latest_ = 1;
};

/// The picture of a view's maps, one pixel a start point, in the drawing surface's image format.
/// A start point not known yet takes the colour of the known start point at the top-left corner
/// of its block of level x level points (the background while that is not known either);
/// shading is against the latest capture known. Once every start point is known this is the
/// view's picture file, byte for byte.
QImage paintView(const PointMaps &maps, const Scene &scene, int level = 1);

/// Paints the whole picture of framing from the outcomes and steps of its start points, row by
/// row (steps may be null without shading), on a surface of framing.imageSize() cleared to the
/// background: for a view, each captured start point (i, j) on pixel (i, j); for the replica's
/// picture the capture circles from the last mass to the first, then every captured start point
/// on the pixel it starts from.
void paintPicture(const Scene &scene, const Framing &framing, const std::uint8_t *outcomes,
                  const std::uint64_t *steps, Surface &surface);
