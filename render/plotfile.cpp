#include "plotfile.h"

#include "sweepplot.h"

#include "picture/surface.h"

#include <new>

namespace {

/// Address space held back for drawing the plot at the end, however the frames used the rest.
constexpr std::size_t plotReserve = 32 << 20;

} // namespace

bool PlotFile::prepare()
{
    canvas_ = QImage(SweepPlot::width, SweepPlot::height, QImage::Format_RGB32);
    reserve_.reset(new (std::nothrow) char[plotReserve]);
    return !canvas_.isNull() && reserve_;
}

bool PlotFile::write(const std::vector<FrameStatistics> &frames, QString &why)
{
    reserve_.reset();
    const SweepRange &sweep = *job_.sweep;
    SweepPlot plot(sweep.title(), sweep.value(0), sweep.value(sweep.frameCount() - 1),
                   job_.plotMeasure);
    for (const FrameStatistics &f : frames) {
        const Statistics &s = f.statistics;
        const std::optional<double> measure = job_.plotMeasure == PlotMeasure::entropy
                                                  ? s.basinEntropy
                                              : s.uncertainty ? s.uncertainty->dimension()
                                                              : std::nullopt;
        plot.add({double(*f.place.value), s.fraction(s.captured[0]),
                  s.fraction(s.captured[1]),
                  s.fraction(s.never), measure});
    }
    plot.draw(canvas_);
    return writeImageFile(canvas_, job_.plot, "PNG", &why);
}
