#include "defaults.h"

#include "number.h"

namespace sim {

Rect centredPicture(float clientWidth, float clientHeight, float width, float height)
{
    return {roundToSingle(clientWidth / 2.0f - width / 2.0f),
            roundToSingle(clientHeight / 2.0f - height / 2.0f), width, height};
}

Rect defaultPicture(float clientWidth, float clientHeight)
{
    return centredPicture(clientWidth, clientHeight, 100, 80);
}

simstate defaultState(float clientWidth, float clientHeight)
{
    simstate s;
    const float centreX = roundToSingle(clientWidth / 2.0f);
    const float centreY = roundToSingle(clientHeight / 2.0f);
    s.xrot = roundToInt16(roundToSingle(centreX - 10.0f));
    s.yrot = roundToInt16(centreY);
    s.xblau = roundToInt16(roundToSingle(centreX + 10.0f));
    s.yblau = roundToInt16(centreY);
    s.massrot = 100000;
    s.massblau = 100000;
    s.massgreen = 500000000;
    s.colorrot = 255;
    s.colorblau = 16711680;
    const Rect picture = defaultPicture(clientWidth, clientHeight);
    s.xgreen = picture.left;
    s.ygreen = picture.top;
    return s;
}

} // namespace sim
