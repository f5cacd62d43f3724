#include "sweepplot.h"

#include <QApplication>
#include <QChart>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <thread>

namespace {

/// Both vertical axes have this many intervals, so that the right axis's ticks lie on the left
/// axis's grid lines: fractions 0 to 1 in steps of 0.2, the basin entropy 0 to 1.25 in steps of
/// 0.25, which holds the largest entropy of three outcomes, ln 3 = 1.0986.
constexpr int verticalIntervals = 5;
constexpr double entropyAxisMax = 1.25;
/// A boundary's dimension lies between 1 and 2; the estimate can stray a little above. The
/// axis runs 0 to 2.5 in steps of 0.5, on the same grid.
constexpr double dimensionAxisMax = 2.5;

/// Whether the system lets this process start a thread now.
bool threadCanStart()
{
    try {
        std::thread([] {}).join();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

/// Rows drawn at a time when no thread can start: a band of fewer than 65536 pixels.
constexpr int bandHeight = 65;
/// Frames up to which each value is marked on its line.
constexpr std::size_t markedFrames = 60;

QLineSeries *addSeries(QChart &chart, const QString &name, QColor colour, Qt::PenStyle style,
                       std::size_t frames)
{
    auto *series = new QLineSeries(&chart);
    series->setName(name);
    QPen pen(colour, 2.5, style);
    series->setPen(pen);
    series->setPointsVisible(frames <= markedFrames);
    chart.addSeries(series);
    return series;
}

/// A whole step between ticks of 1, 2 or 5 times a power of ten, giving at most about ten ticks.
double tickInterval(double span)
{
    double interval = 1;
    for (int i = 0; span / interval > 10; ++i)
        interval *= (i % 3 == 1) ? 2.5 : 2;
    return interval;
}

QValueAxis *addAxis(QChart &chart, const QString &title, double min, double max, Qt::Alignment side)
{
    auto *axis = new QValueAxis(&chart);
    axis->setTitleText(title);
    axis->setRange(min, max);
    chart.addAxis(axis, side);
    return axis;
}

} // namespace

std::unique_ptr<QChart> SweepPlot::chart() const
{
    auto chart = std::make_unique<QChart>();
    chart->setGeometry(0, 0, width, height);
    // "moving mass (10^7 kg)": the title names the parameter without its unit.
    chart->setTitle(QStringLiteral("Basins against %1")
                        .arg(valueTitle_.section(QStringLiteral(" ("), 0, 0)));
    chart->legend()->setAlignment(Qt::AlignBottom);

    const std::size_t frames = points_.size();
    // A line of zeros lies on the x axis, hidden by it; the legend says so.
    const bool neverAtAll = std::all_of(points_.begin(), points_.end(),
                                        [](const Point &p) { return p.fractionNever == 0; });
    QLineSeries *one = addSeries(*chart, QStringLiteral("fraction captured by mass one"),
                                 QColor(colours[0]), Qt::SolidLine, frames);
    QLineSeries *two = addSeries(*chart, QStringLiteral("fraction captured by mass two"),
                                 QColor(colours[1]), Qt::SolidLine, frames);
    QLineSeries *never =
        addSeries(*chart,
                  neverAtAll ? QStringLiteral("fraction never captured: 0 in every frame")
                             : QStringLiteral("fraction never captured"),
                  QColor(colours[2]), Qt::SolidLine, frames);
    const bool entropyShown = measure_ == PlotMeasure::entropy;
    const QString measureName = entropyShown ? QStringLiteral("basin entropy")
                                             : QStringLiteral("uncertainty dimension");
    QLineSeries *measure = addSeries(*chart, measureName + QStringLiteral(" (right axis)"),
                                     QColor(colours[3]), Qt::DashLine, frames);

    // The sweep's whole range, also when it was interrupted before its last frame.
    double min = std::min(from_, to_);
    double max = std::max(from_, to_);
    if (min == max) {
        min -= 1;
        max += 1;
    }
    for (const Point &p : points_) {
        one->append(p.value, p.fractionOne);
        two->append(p.value, p.fractionTwo);
        never->append(p.value, p.fractionNever);
        if (p.measure)
            measure->append(p.value, *p.measure);
    }

    QValueAxis *x = addAxis(*chart, valueTitle_, min, max, Qt::AlignBottom);
    x->setTickType(QValueAxis::TicksDynamic);
    // Ticks on whole multiples of the interval.
    x->setTickAnchor(0);
    x->setTickInterval(tickInterval(max - min));
    x->setLabelFormat(QStringLiteral("%.0f"));
    QValueAxis *fraction =
        addAxis(*chart, QStringLiteral("fraction of the start points"), 0, 1, Qt::AlignLeft);
    fraction->setTickCount(verticalIntervals + 1);
    fraction->setLabelFormat(QStringLiteral("%.1f"));
    QValueAxis *measureAxis =
        addAxis(*chart, entropyShown ? measureName + QStringLiteral(" (nats)") : measureName, 0,
                entropyShown ? entropyAxisMax : dimensionAxisMax, Qt::AlignRight);
    measureAxis->setTickCount(verticalIntervals + 1);
    measureAxis->setGridLineVisible(false);
    measureAxis->setLabelFormat(entropyShown ? QStringLiteral("%.2f") : QStringLiteral("%.1f"));
    for (QLineSeries *series : {one, two, never}) {
        series->attachAxis(x);
        series->attachAxis(fraction);
    }
    measure->attachAxis(x);
    measure->attachAxis(measureAxis);

    // The title above the axis titles, which are bold.
    QFont titleFont = x->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    chart->setTitleFont(titleFont);
    return chart;
}

void SweepPlot::draw(QImage &image) const
{
    // The scene owns the chart.
    QGraphicsScene scene;
    scene.addItem(chart().release());
    // The chart lays itself out on posted events.
    QCoreApplication::sendPostedEvents();
    image.fill(Qt::white);
    if (threadCanStart()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, QRectF(0, 0, width, height), QRectF(0, 0, width, height));
        return;
    }
    // The raster engine hands a large image's work to worker threads and would wait forever for
    // one the system cannot start; a band of fewer than 65536 pixels it draws on this thread.
    // (Dashes and joins may then fall a pixel apart from the whole image's.)
    QImage band(width, bandHeight, QImage::Format_RGB32);
    if (band.isNull())
        throw std::bad_alloc();
    for (int top = 0; top < height; top += bandHeight) {
        band.fill(Qt::white);
        {
            QPainter painter(&band);
            painter.setRenderHint(QPainter::Antialiasing);
            scene.render(&painter, QRectF(0, 0, width, bandHeight),
                         QRectF(0, top, width, bandHeight));
        }
        for (int y = top; y < std::min(top + bandHeight, height); ++y)
            std::memcpy(image.scanLine(y), band.constScanLine(y - top), std::size_t(width) * 4);
    }
}

std::unique_ptr<QCoreApplication> SweepPlot::createApplication(const char *program, bool plot)
{
    // Qt keeps these for the application object's lifetime.
    static int argc = 1;
    static char *argv[] = {const_cast<char *>(program), nullptr};
    if (!plot)
        return std::make_unique<QCoreApplication>(argc, argv);
    // Nothing is ever shown: the chart is drawn into an image, with or without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Setting up the platform warns about a missing XDG_RUNTIME_DIR, which does not matter
    // here; standard error is for the renderer's own messages.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return app;
}
