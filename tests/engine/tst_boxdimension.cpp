#include "engine/fractal.h"

#include <QTest>

#include <cmath>

namespace {

/// Whether the Sierpinski carpet keeps point (x, y): no base-3 digit pair of its is (1, 1).
bool inCarpet(int x, int y)
{
    for (; x > 0 || y > 0; x /= 3, y /= 3) {
        if (x % 3 == 1 && y % 3 == 1)
            return false;
    }
    return true;
}

bool isOne(const QString &map, int x, int y)
{
    if (map == QLatin1String("columns"))
        return x < 200;
    if (map == QLatin1String("rows"))
        return y < 77;
    if (map == QLatin1String("slanted"))
        return y < 0.37 * x + 100;
    if (map == QLatin1String("checkerboard"))
        return (x + y) % 2;
    if (map == QLatin1String("random"))
        return SplitMix64(std::uint64_t(y) << 32 | std::uint64_t(x)).next() >> 63;
    return inCarpet(x, y);
}

} // namespace

class BoxDimensionTest : public QObject
{
    Q_OBJECT

private slots:
    void knownDimensions_data();
    void knownDimensions();
    void slopeError_data();
    void slopeError();
};

void BoxDimensionTest::knownDimensions_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("dimension");
    QTest::addColumn<double>("tolerance");

    // Straight boundaries, on the edge of boxes of 8 and off any edge: one box a row of boxes.
    QTest::newRow("columns") << "columns" << 300 << 200 << 1.0 << 1e-12;
    QTest::newRow("rows") << "rows" << 300 << 200 << 1.0 << 1e-12;
    // A line at a slant is a staircase of marks, each step shared by few boxes: a few percent.
    QTest::newRow("slanted") << "slanted" << 512 << 512 << 1.0 << 0.03;
    // Every point a boundary point: 2 and never above, whether or not the sizes tile the map.
    QTest::newRow("checkerboard") << "checkerboard" << 100 << 80 << 2.0 << 0.0;
    QTest::newRow("checkerboard, cut") << "checkerboard" << 90 << 70 << 2.0 << 0.0;
    QTest::newRow("random") << "random" << 100 << 80 << 2.0 << 0.01;
    // The boundary of the carpet's holes is as dense as the carpet: ln 8 / ln 3. Boxes of 2^k
    // cut its thirds unevenly, so the counts wobble about the power law: within 0.01.
    QTest::newRow("carpet") << "carpet" << 729 << 729 << std::log(8.0) / std::log(3.0) << 0.01;
}

void BoxDimensionTest::knownDimensions()
{
    QFETCH(QString, map);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, dimension);
    QFETCH(double, tolerance);

    std::vector<sim::Capture> outcomes;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            outcomes.push_back(isOne(map, x, y) ? sim::Capture::one : sim::Capture::two);
    }
    const std::optional<Slope> d = boxCountingDimension(width, height, outcomes.data());
    QVERIFY(d);
    QVERIFY2(std::abs(d->slope - dimension) <= tolerance && d->slope <= 2,
             qPrintable(QString::number(d->slope, 'g', 17)));
    QVERIFY(d->error <= std::max(tolerance, 1e-12));
}

void BoxDimensionTest::slopeError_data()
{
    QTest::addColumn<QList<double>>("x");
    QTest::addColumn<QList<double>>("y");
    QTest::addColumn<double>("slope"); // negative: none
    QTest::addColumn<double>("error");

    // y = 1 + 2x + (0.1, -0.1, 0, -0.1, 0.1): noise of mean 0 and none along x, so the slope
    // stays 2 and the residuals are the noise: sqrt(0.04 / (5 - 2) / 10) = 0.036514837167011.
    QTest::newRow("noisy line") << QList<double>{0, 1, 2, 3, 4}
                                << QList<double>{1.1, 2.9, 5, 6.9, 9.1} << 2.0 << 0.036514837167011;
    QTest::newRow("two points") << QList<double>{0, 1} << QList<double>{0, 1} << -1.0 << 0.0;
    QTest::newRow("one x") << QList<double>{3, 3, 3} << QList<double>{0, 1, 2} << -1.0 << 0.0;
}

void BoxDimensionTest::slopeError()
{
    QFETCH(QList<double>, x);
    QFETCH(QList<double>, y);
    QFETCH(double, slope);
    QFETCH(double, error);
    const std::optional<Slope> fit = leastSquaresSlope(std::vector<double>(x.begin(), x.end()),
                                                       std::vector<double>(y.begin(), y.end()));
    QCOMPARE(fit.has_value(), slope >= 0);
    if (fit) {
        QVERIFY(std::abs(fit->slope - slope) <= 1e-12);
        QVERIFY(std::abs(fit->error - error) <= 1e-12);
    }
}

QTEST_APPLESS_MAIN(BoxDimensionTest)
#include "tst_boxdimension.moc"
