#include "capturemap.h"

namespace sim {

std::vector<CapturedPoint> captureMap(const simstate &s, const Rect &picture,
                                      std::int16_t radiusOne, std::int16_t radiusTwo,
                                      std::uint64_t limit)
{
    std::vector<CapturedPoint> map;
    for (const StartPoint &point : startPoints(picture)) {
        simstate moving = s;
        moving.xgreen = point.x;
        moving.ygreen = point.y;
        map.push_back({point, trajectory(moving, radiusOne, radiusTwo, limit)});
    }
    return map;
}

} // namespace sim
