#pragma once

#include "job.h"

#include <QCoreApplication>
#include <QImage>
#include <QRgb>
#include <QString>

class QChart;

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

/// A chart of a sweep: the shares of the start points that mass one, mass two and neither
/// capture, and the basin entropy or the uncertainty dimension, against the swept value; drawn off screen into an image.
class SweepPlot
{
public:
    /// The size of the image.
    static constexpr int width = 1000;
    static constexpr int height = 600;
    /// The colours of the lines: the fractions captured by mass one, by mass two and by
    /// neither, and the second measure.
    static constexpr std::array<QRgb, 4> colours{0xd62728, 0x1f4eb4, 0x808080, 0x209030};

    /// One frame's figures.
    struct Point
    {
        double value;
        double fractionOne;
        double fractionTwo;
        double fractionNever;
        std::optional<double> measure; ///< the basin entropy or the dimension; none if unknown
    };

    /// valueTitle names the swept option and its unit, for the horizontal axis, which runs
    /// from the sweep's first value to its last; the right axis shows measure.
    SweepPlot(const QString &valueTitle, double from, double to, PlotMeasure measure)
        : valueTitle_(valueTitle), from_(from), to_(to), measure_(measure)
    {
    }

    void add(const Point &point) { points_.push_back(point); }

    /// The chart, laid out at the image's size; the program's application object must be a
    /// QApplication.
    std::unique_ptr<QChart> chart() const;
    /// Draws the chart into image, width x height pixels.
    void draw(QImage &image) const;

    /// The application object velmora-render needs: with a plot a QApplication on the off-screen
    /// platform, as charts draw with widgets; otherwise a QCoreApplication, which needs no
    /// display libraries at all. Qt is given the program's name alone: every argument is the
    /// renderer's own.
    static std::unique_ptr<QCoreApplication> createApplication(const char *program, bool plot);

private:
    QString valueTitle_;
    double from_;
    double to_;
    PlotMeasure measure_;
    std::vector<Point> points_;
};
