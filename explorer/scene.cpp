#include "scene.h"

bool Scene::sameOutcomes(const Scene &o) const
{
    for (const ParameterInfo &p : parameterTable()) {
        if (p.get(trajectory) != p.get(o.trajectory))
            return false;
    }
    return true;
}

bool Scene::operator==(const Scene &o) const
{
    return sameOutcomes(o) && colorOne == o.colorOne && colorTwo == o.colorTwo &&
           background == o.background && shade == o.shade;
}
