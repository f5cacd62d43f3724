#pragma once

#include "picture/surface.h"

#include <cmath>
#include <utility>
#include <vector>

/// A drawing surface that also records the order of the pixels set on it and counts the clears.
class RecordingSurface : public Surface
{
public:
    using Surface::Surface;

    std::vector<std::pair<int, int>> painted; ///< whole pixels, in the order set
    int clears = 0;

    void clear() override
    {
        ++clears;
        Surface::clear();
    }
    void setPixel(float x, float y, std::int32_t colour) override
    {
        painted.emplace_back(int(std::floor(x)), int(std::floor(y)));
        Surface::setPixel(x, y, colour);
    }
};
