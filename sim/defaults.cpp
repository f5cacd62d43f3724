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
    return centredPicture(clientWidth, clientHeight, defaultPictureWidth, defaultPictureHeight);
}

std::array<Position, 2> defaultMassPositions(float clientWidth, float clientHeight)
{
    const float centreX = roundToSingle(clientWidth / 2.0f);
    const float centreY = roundToSingle(clientHeight / 2.0f);
    return {{{roundToInt16(roundToSingle(centreX - defaultMassOffset)), roundToInt16(centreY)},
             {roundToInt16(roundToSingle(centreX + defaultMassOffset)), roundToInt16(centreY)}}};
}

simstate defaultState(float clientWidth, float clientHeight)
{
    simstate s;
    const std::array<Position, 2> masses = defaultMassPositions(clientWidth, clientHeight);
    s.xrot = masses[0].x;
    s.yrot = masses[0].y;
    s.xblau = masses[1].x;
    s.yblau = masses[1].y;
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
