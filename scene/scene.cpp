#include "scene.h"

Scene Scene::defaults(QSize client)
{
    Scene s;
    s.trajectory = TrajectoryParameters::defaults(client);
    return s;
}

bool Scene::operator==(const Scene &o) const
{
    return sameOutcomes(o) && colours == o.colours && background == o.background &&
           shade == o.shade;
}
