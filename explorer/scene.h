#pragma once

#include "render/renderer.h"

/// Everything a picture depends on besides its viewport: the masses, radii, positions, colours
/// and step limit, and whether captures are shaded by their capture step.
struct Scene
{
    RenderParameters parameters = RenderParameters::defaults(QSize(1024, 700));
    bool shade = false;

    /// Whether the start points' outcomes are the same in both (the colours may differ).
    bool sameOutcomes(const Scene &o) const;
    bool operator==(const Scene &o) const;
    bool operator!=(const Scene &o) const { return !(*this == o); }
};
