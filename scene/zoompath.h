#pragma once

#include "engine/view.h"

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

    static constexpr int maxFrames = 100000;
};
