#include "render/sweepplot.h"

#include <QChart>
#include <QAbstractSeries>
#include <QLegendMarker>
#include <QTest>
#include <QValueAxis>

#include <cmath>

// The chart of a sweep, read from its axes and legend.
class SweepPlotTest : public QObject
{
    Q_OBJECT

private slots:
    void axesAndLegend_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<double>>("never"); // a frame each
        QTest::addColumn<QString>("neverName");
        const QString zero = QStringLiteral("fraction never captured: 0 in every frame");
        QTest::newRow("interrupted before a frame") << 1 << 100 << QList<double>{} << zero;
        QTest::newRow("interrupted after two") << 1 << 100 << QList<double>{0, 0} << zero;
        QTest::newRow("down, some never captured")
            << 60 << 10 << QList<double>{0, 0.25} << QStringLiteral("fraction never captured");
    }

    void axesAndLegend()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<double>, never);
        QFETCH(QString, neverName);
        SweepPlot plot(QStringLiteral("moving mass (10^7 kg)"), from, to, PlotMeasure::entropy);
        for (int i = 0; i < never.size(); ++i)
            plot.add({double(from + i), 0.5, 0.5 - never[i], never[i], 0.5});
        const std::unique_ptr<QChart> chart = plot.chart();

        // The x axis spans the whole sweep; the right axis holds ln 3 with its ticks on the
        // left axis's grid lines.
        const auto axis = [&](Qt::Orientation o, int i) {
            return qobject_cast<QValueAxis *>(chart->axes(o).at(i));
        };
        QCOMPARE(axis(Qt::Horizontal, 0)->min(), double(std::min(from, to)));
        QCOMPARE(axis(Qt::Horizontal, 0)->max(), double(std::max(from, to)));
        QCOMPARE(axis(Qt::Vertical, 1)->tickCount(), axis(Qt::Vertical, 0)->tickCount());
        QVERIFY(axis(Qt::Vertical, 1)->min() == 0 && axis(Qt::Vertical, 1)->max() >= std::log(3));
        // The entropy is read against the right axis, the fractions against the left.
        QCOMPARE(chart->series().at(3)->attachedAxes().at(1), axis(Qt::Vertical, 1));
        QCOMPARE(chart->series().at(0)->attachedAxes().at(1), axis(Qt::Vertical, 0));
        // A line of zeros lies hidden on the x axis; the legend says it is 0.
        QCOMPARE(chart->legend()->markers().at(2)->label(), neverName);
    }
};

QTEST_MAIN(SweepPlotTest)
#include "tst_sweepplot.moc"
