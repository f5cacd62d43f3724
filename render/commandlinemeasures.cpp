// The options of random start points and of the plot's measure.
#include "commandline.h"

#include "scene/text.h"

bool RenderCommandLine::readRandomPoints()
{
    job_.randomPoints = RandomPointOptions();
    qint64 a = 0;
    const auto readCount = [&](const QCommandLineOption &option, std::int64_t &count) {
        return readEach(option,
                        QStringLiteral("a whole number from 1 to %1").arg(maxRandomPoints),
                        [&](const QString &value) {
                            if (!readWhole(value, 1, maxRandomPoints, a))
                                return false;
                            count = a;
                            return true;
                        });
    };
    return readCount(option("uncertainty"), job_.randomPoints.uncertainty) &&
           readCount(option("sample"), job_.randomPoints.sample) &&
           readEach(option("seed"), QStringLiteral("a whole number from 0 to %1").arg(maxSeed),
                    [&](const QString &value) {
                        if (!readWhole(value, 0, maxSeed, a))
                            return false;
                        job_.randomPoints.seed = std::uint64_t(a);
                        return true;
                    });
}

bool RenderCommandLine::readPlotMeasure()
{
    job_.plotMeasure = PlotMeasure::entropy;
    return readEach(option("plot-measure"),
                    QStringLiteral("entropy, or dimension with --uncertainty, after --plot"),
                    [&](const QString &value) {
                        if (job_.plot.isEmpty())
                            return false;
                        if (value == QStringLiteral("entropy"))
                            job_.plotMeasure = PlotMeasure::entropy;
                        else if (value == QStringLiteral("dimension") &&
                                 job_.randomPoints.uncertainty > 0)
                            job_.plotMeasure = PlotMeasure::dimension;
                        else
                            return false;
                        return true;
                    });
}
