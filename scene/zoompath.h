#pragma once

#include "engine/view.h"
#include "viewport.h"

/// A smooth zoom from one view to another of the same size, frame by frame: the spacing changes
/// by the same factor from each frame to the next, about the one plane point that keeps its
/// place in the picture (a pan in equal steps when both spacings are the same). The first frame
/// is from and the last to, exactly.
struct ZoomPath
{
    View from;
    View to;
    int frames = 2; ///< 2 or more

    View view(int frame) const;
    /// The first frame that cannot be computed (engine/view.h checkView); -1 when all can.
    int firstFault() const;

    /// From one viewport to another of the same size, each as velmora-render reads it from a
    /// view file.
    static ZoomPath between(const Viewport &from, const Viewport &to, int frames);

    static constexpr int maxFrames = 100000;
};
