#pragma once

#include "frameplot.h"
#include "job.h"

#include <QImage>

#include <memory>

/// A sweep's plot drawn with Qt Charts into the job's plot file.
class PlotFile : public FramePlot
{
public:
    /// job outlives this.
    explicit PlotFile(const RenderJob &job) : job_(job) {}

    bool prepare() override;
    bool write(const std::vector<FrameStatistics> &frames, QString &why) override;

private:
    const RenderJob &job_;
    QImage canvas_;
    std::unique_ptr<char[]> reserve_;
};
