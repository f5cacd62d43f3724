#include "defaults.h"

#include "number.h"

namespace sim {

Rect centredPicture(float clientWidth, float clientHeight, float width, float height)
{
    return {clientWidth / 2.0f - width / 2.0f, clientHeight / 2.0f - height / 2.0f, width, height};
}

Rect defaultPicture(float clientWidth, float clientHeight)
{
    return centredPicture(clientWidth, clientHeight, defaultPictureWidth, defaultPictureHeight);
}

simstate defaultState(float clientWidth, float clientHeight)
{
    simstate s;
    s.xrot = roundToInt16(clientWidth / 2.0f - defaultMassOffset);
    s.yrot = roundToInt16(clientHeight / 2.0f);
    s.xblau = roundToInt16(clientWidth / 2.0f + defaultMassOffset);
    s.yblau = roundToInt16(clientHeight / 2.0f);
    s.massrot = defaultFixedMass * fixedMassUnit;
    s.massblau = static_cast<std::int32_t>(defaultFixedMass * fixedMassUnit);
    s.massgreen = defaultMovingMass * movingMassUnit;
    s.colorrot = defaultColourOne;
    s.colorblau = defaultColourTwo;
    const Rect picture = defaultPicture(clientWidth, clientHeight);
    s.xgreen = picture.left;
    s.ygreen = picture.top;
    return s;
}

} // namespace sim
