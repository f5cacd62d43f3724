#include "zoompath.h"

#include <cmath>

View ZoomPath::view(int frame) const
{
    if (frame <= 0)
        return from;
    if (frame >= frames - 1)
        return to;
    const double t = double(frame) / double(frames - 1);
    View v = from;
    v.spacing = from.spacing * std::pow(to.spacing / from.spacing, t);
    // The corners move in proportion to the spacing's change: zooming about one fixed point.
    const double w = to.spacing == from.spacing
                         ? t
                         : (v.spacing - from.spacing) / (to.spacing - from.spacing);
    const double x0 = from.x + double(from.column) * from.spacing;
    const double y0 = from.y + double(from.row) * from.spacing;
    const double x1 = to.x + double(to.column) * to.spacing;
    const double y1 = to.y + double(to.row) * to.spacing;
    v.x = x0 + (x1 - x0) * w;
    v.y = y0 + (y1 - y0) * w;
    v.column = 0;
    v.row = 0;
    return v;
}

int ZoomPath::firstFault() const
{
    for (int k = 0; k < frames; ++k) {
        if (checkView(view(k)) != ViewFault::none)
            return k;
    }
    return -1;
}

ZoomPath ZoomPath::between(const Viewport &from, const Viewport &to, int frames)
{
    const auto view = [](const Viewport &v) {
        View w;
        w.x = v.x;
        w.y = v.y;
        w.spacing = v.spacing;
        w.width = v.size.width();
        w.height = v.size.height();
        return w;
    };
    return {view(from), view(to), frames};
}
