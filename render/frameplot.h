#pragma once

#include "scene/statisticsfile.h"

#include <QString>

#include <vector>

/// The plot of a sweep's frames, which the sweep writes once its frames are written. The plot is
/// drawn by code of its own, the only code of the renderer that needs widgets and charts.
class FramePlot
{
public:
    virtual ~FramePlot() = default;
    /// Takes the memory the plot needs, before any frame is computed; false when there is not
    /// enough.
    virtual bool prepare() = 0;
    /// Draws the frames' statistics and writes the plot's file; false with why on failure.
    virtual bool write(const std::vector<FrameStatistics> &frames, QString &why) = 0;
};
