#include "scene.h"

bool Scene::sameOutcomes(const Scene &o) const
{
    const RenderParameters &a = parameters;
    const RenderParameters &b = o.parameters;
    return a.xrot == b.xrot && a.yrot == b.yrot && a.xblau == b.xblau && a.yblau == b.yblau &&
           a.massOne == b.massOne && a.massTwo == b.massTwo && a.massMoving == b.massMoving &&
           a.radiusOne == b.radiusOne && a.radiusTwo == b.radiusTwo &&
           a.stepLimit == b.stepLimit;
}

bool Scene::operator==(const Scene &o) const
{
    const RenderParameters &a = parameters;
    const RenderParameters &b = o.parameters;
    return sameOutcomes(o) && a.colorOne == b.colorOne && a.colorTwo == b.colorTwo &&
           a.background == b.background && shade == o.shade;
}
