#include "pixels.h"

#include <algorithm>
#include <cmath>

namespace sim {

Pixel pixelAt(float x, float y)
{
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

int widgetCoordinate(float v)
{
    constexpr float reach = 1.0e6f;
    if (!std::isfinite(v))
        return static_cast<int>(-reach);
    return static_cast<int>(std::clamp(std::floor(v), -reach, reach));
}

std::vector<Pixel> circleOutline(float x, float y, float radius)
{
    const Pixel centre = pixelAt(x, y);
    const int r = static_cast<int>(std::lround(radius));
    if (r <= 0)
        return {centre};

    // Midpoint circle: one octant, mirrored into the other seven.
    std::vector<Pixel> octant;
    int dx = r;
    int dy = 0;
    int error = 1 - r;
    while (dy <= dx) {
        octant.push_back({dx, dy});
        ++dy;
        if (error < 0) {
            error += 2 * dy + 1;
        } else {
            --dx;
            error += 2 * (dy - dx) + 1;
        }
    }

    std::vector<Pixel> outline;
    outline.reserve(octant.size() * 8);
    auto add = [&](int ox, int oy) { outline.push_back({centre.x + ox, centre.y + oy}); };
    for (const Pixel &o : octant) {
        add(o.x, o.y);
        add(o.y, o.x);
        add(-o.y, o.x);
        add(-o.x, o.y);
        add(-o.x, -o.y);
        add(-o.y, -o.x);
        add(o.y, -o.x);
        add(o.x, -o.y);
    }
    // The octant boundaries meet themselves in the mirror images.
    auto before = [](const Pixel &a, const Pixel &b) { return a.y != b.y ? a.y < b.y : a.x < b.x; };
    auto same = [](const Pixel &a, const Pixel &b) { return a.x == b.x && a.y == b.y; };
    std::sort(outline.begin(), outline.end(), before);
    outline.erase(std::unique(outline.begin(), outline.end(), same), outline.end());
    return outline;
}

} // namespace sim
