#include "render/sweepplot.h"

#include <QApplication>
#include <QChart>
#include <QLegendMarker>
#include <QTest>
#include <QValueAxis>

#include <cmath>

// The chart a sweep's plot draws, read from its axes and legend.
class SweepPlotTest : public QObject
{
    Q_OBJECT

private slots:
    void axesAndLegend_data();
    void axesAndLegend();
};

void SweepPlotTest::axesAndLegend_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QList<double>>("never"); // one frame each
    QTest::addColumn<QString>("neverName");

    const QString zero = QStringLiteral("fraction never captured: 0 in every frame");
    QTest::newRow("interrupted before its first frame") << 1.0 << 100.0 << QList<double>{} << zero;
    QTest::newRow("interrupted after two frames") << 1.0 << 100.0 << QList<double>{0, 0} << zero;
    QTest::newRow("counting down, some never captured")
        << 60.0 << 10.0 << QList<double>{0, 0.25, 0} << QStringLiteral("fraction never captured");
}

void SweepPlotTest::axesAndLegend()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QList<double>, never);
    QFETCH(QString, neverName);

    SweepPlot plot(QStringLiteral("moving mass (10^7 kg)"), from, to);
    for (int i = 0; i < never.size(); ++i)
        plot.add({from + i, 0.5, 0.5 - never[i], never[i], 0.5});
    const std::unique_ptr<QChart> chart = plot.chart();

    // The horizontal axis spans the whole sweep, whatever frames were done.
    const auto *x = qobject_cast<QValueAxis *>(chart->axes(Qt::Horizontal).constFirst());
    QCOMPARE(x->min(), std::min(from, to));
    QCOMPARE(x->max(), std::max(from, to));

    // The right axis's ticks lie on the left axis's grid lines, and it holds ln 3.
    const QList<QAbstractAxis *> vertical = chart->axes(Qt::Vertical);
    QCOMPARE(vertical.size(), 2);
    const auto *left = qobject_cast<QValueAxis *>(vertical[0]);
    const auto *right = qobject_cast<QValueAxis *>(vertical[1]);
    QCOMPARE(left->alignment(), Qt::AlignLeft);
    QCOMPARE(right->tickCount(), left->tickCount());
    QCOMPARE(right->min(), 0.0);
    QVERIFY(right->max() >= std::log(3.0));

    // A line of zeros hides under the x axis; the legend then says it is 0.
    QStringList names;
    for (const QLegendMarker *marker : chart->legend()->markers())
        names << marker->label();
    QVERIFY2(names.contains(neverName), qPrintable(names.join(QStringLiteral(" | "))));
}

QTEST_MAIN(SweepPlotTest)
#include "tst_sweepplot.moc"
