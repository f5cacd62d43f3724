#include "engine/engine.h"
#include "engine/fractal.h"

#include <QRectF>
#include <QTest>

#include <cmath>
#include <algorithm>
#include <cstring>

namespace {

/// How a known map ends each start point.
using Basins = sim::Capture (*)(double x, double y);

sim::Capture halfPlanes(double, double y)
{
    return y < 37.3 ? sim::Capture::one : sim::Capture::two;
}

sim::Capture disc(double x, double y)
{
    return (x - 50) * (x - 50) + (y - 40) * (y - 40) < 30.0 * 30.0 ? sim::Capture::one
                                                                     : sim::Capture::two;
}

/// Independent labels: a hash of the point's bits.
sim::Capture randomLabels(double x, double y)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &y, sizeof bits);
    SplitMix64 hash(bits ^ std::uint64_t(std::llround(x * 4096)));
    return hash.next() >> 63 ? sim::Capture::one : sim::Capture::two;
}

sim::Capture oneBasin(double, double)
{
    return sim::Capture::one;
}

sim::Capture columns(double x, double)
{
    return x < 256 ? sim::Capture::one : sim::Capture::two;
}

sim::Capture largeDisc(double x, double y)
{
    return disc(x / 4, y / 4);
}

/// The maps of the data rows, by name.
Basins basinsNamed(const QString &name)
{
    if (name == QStringLiteral("halfPlanes"))
        return &halfPlanes;
    if (name == QStringLiteral("disc"))
        return &disc;
    if (name == QStringLiteral("largeDisc"))
        return &largeDisc;
    if (name == QStringLiteral("columns"))
        return &columns;
    if (name == QStringLiteral("randomLabels"))
        return &randomLabels;
    return &oneBasin;
}

OutcomeFunction outcomesOf(Basins basins)
{
    return [basins](const std::vector<FreePoint> &points, std::vector<sim::Capture> &outcomes) {
        outcomes.clear();
        for (const FreePoint &p : points)
            outcomes.push_back(basins(double(p.x), p.y));
    };
}

} // namespace

class FractalTest : public QObject
{
    Q_OBJECT

private slots:
    void generatorIsTheReferenceSplitMix64();
    void boxCountingDimension_data();
    void boxCountingDimension();
    void uncertaintyExponent_data();
    void uncertaintyExponent();
    void tippingMatrixCountsEachRow();
    void sampledFractionsMatchTheGrid();
    void randomPointsFillTheView();
    void abandonedMeasuresSaySo_data();
    void abandonedMeasuresSaySo();
};

void FractalTest::generatorIsTheReferenceSplitMix64()
{
    // The published sequence for seed 1234567: the figures of a seed stay the same everywhere.
    SplitMix64 random(1234567);
    for (const std::uint64_t expected : {6457827717110365317u, 3203168211198807973u,
                                         9817491932198370423u, 4593380528125082431u,
                                         16408922859458223821u}) {
        QCOMPARE(random.next(), expected);
    }
}

void FractalTest::boxCountingDimension_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("basins");
    QTest::addColumn<double>("dimension"); // negative: none
    QTest::addColumn<double>("tolerance");

    // The boundary between columns 255 and 256 meets every box size's edge: exactly 1.
    QTest::newRow("straight") << 512 << 512 << "columns" << 1.0 << 1e-12;
    QTest::newRow("circle") << 512 << 512 << "largeDisc" << 1.0 << 0.05;
    QTest::newRow("random labels") << 512 << 512 << "randomLabels" << 2.0 << 0.05;
    QTest::newRow("no boundary") << 512 << 512 << "oneBasin" << -1.0 << 0.0;
    // Four whole boxes down for sizes 2, 4 and 8 only, then for 16 too.
    QTest::newRow("three sizes") << 1000 << 32 << "randomLabels" << -1.0 << 0.0;
    QTest::newRow("four sizes") << 1000 << 64 << "randomLabels" << 2.0 << 0.05;
}

void FractalTest::boxCountingDimension()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, basins);
    QFETCH(double, dimension);
    QFETCH(double, tolerance);

    std::vector<sim::Capture> outcomes;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            outcomes.push_back(basinsNamed(basins)(x, y));
    }
    const std::optional<Slope> measured = ::boxCountingDimension(width, height, outcomes.data());
    if (dimension < 0) {
        QVERIFY(!measured);
        return;
    }
    QVERIFY(measured);
    QVERIFY2(std::abs(measured->slope - dimension) <= tolerance,
             qPrintable(QString::number(measured->slope)));
    QVERIFY(measured->error <= std::max(tolerance, 1e-12));
}

void FractalTest::uncertaintyExponent_data()
{
    QTest::addColumn<QString>("basins");
    QTest::addColumn<double>("alpha"); // negative: none
    QTest::addColumn<double>("tolerance");

    QTest::newRow("half planes") << "halfPlanes" << 1.0 << 0.05;
    QTest::newRow("circle") << "disc" << 1.0 << 0.1;
    QTest::newRow("random labels") << "randomLabels" << 0.0 << 0.05;
    QTest::newRow("one basin") << "oneBasin" << -1.0 << 0.0;
}

void FractalTest::uncertaintyExponent()
{
    QFETCH(QString, basins);
    QFETCH(double, alpha);
    QFETCH(double, tolerance);

    const Region region{0, 0, 100, 80};
    const Uncertainty u = *::uncertaintyExponent(region, 4000, 7, outcomesOf(basinsNamed(basins)));
    QVERIFY(u.table.size() >= 8);
    QCOMPARE(u.table.front().epsilon, 20.0);
    if (alpha < 0) {
        QVERIFY(!u.alpha && !u.dimension());
        return;
    }
    QVERIFY(u.alpha);
    QVERIFY2(std::abs(u.alpha->slope - alpha) <= tolerance, qPrintable(QString::number(u.alpha->slope)));
    QCOMPARE(*u.dimension(), 2 - u.alpha->slope);
}

void FractalTest::tippingMatrixCountsEachRow()
{
    // Earlier: five points of mass one, three of mass two, none never captured.
    const auto read = [](const char *text) {
        std::vector<sim::Capture> outcomes;
        for (const char *c = text; *c; ++c)
            outcomes.push_back(*c == '1' ? sim::Capture::one
                               : *c == '2' ? sim::Capture::two
                                           : sim::Capture::none);
        return outcomes;
    };
    const TippingMatrix m = tippingMatrix(read("11111222"), read("12.11222"));
    const std::optional<double> expected[3][3] = {
        {3.0 / 5, 1.0 / 5, 1.0 / 5}, {0.0, 1.0, 0.0}, {std::nullopt, std::nullopt, std::nullopt}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            QCOMPARE(m[row][column], expected[row][column]);
    }
}

void FractalTest::sampledFractionsMatchTheGrid()
{
    const TrajectoryParameters p = TrajectoryParameters::defaults({1024, 700});
    const View picture = pictureView(1024, 700, 100, 80);
    Engine grid(p, Workers{Kernel::automatic, 2});
    PointMaps maps;
    QVERIFY(grid.computeView(picture, maps));
    const OutcomeFunction outcomes = [&](const std::vector<FreePoint> &points,
                                         std::vector<sim::Capture> &ends) {
        std::vector<float> x;
        std::vector<double> y;
        for (const FreePoint &point : points) {
            x.push_back(point.x);
            y.push_back(point.y);
        }
        std::vector<std::uint8_t> bytes(points.size());
        Engine(p).computePoints(x.data(), y.data(), std::int64_t(points.size()), bytes.data(),
                                nullptr);
        ends.clear();
        for (const std::uint8_t b : bytes)
            ends.push_back(sim::Capture(b));
    };
    const auto count = [&](std::uint8_t outcome) {
        return std::count(maps.outcomes.begin(), maps.outcomes.end(), outcome);
    };
    std::vector<double> errors;
    for (const std::int64_t n : {1000, 4000, 16000}) {
        const SampledFractions sample = *sampleFractions(viewRegion(picture), n, 3, outcomes);
        for (const auto &[outcome, count] : {std::pair{sim::Capture::one, count(1)},
                                             {sim::Capture::two, count(2)}}) {
            const double error = sample.standardError(outcome);
            QVERIFY(error > 0);
            QVERIFY2(std::abs(sample.fraction(outcome) - double(count) / 8000.0) <= 3 * error,
                     qPrintable(QString::number(sample.fraction(outcome))));
        }
        errors.push_back(sample.standardError(sim::Capture::one));
    }
    // Four times the points, half the error.
    QVERIFY(std::abs(errors[0] / errors[1] - 2) < 0.05);
    QVERIFY(std::abs(errors[1] / errors[2] - 2) < 0.05);
}

void FractalTest::randomPointsFillTheView()
{
    // Columns 7 to 16 and rows -2 to 1 of the grid from (-3.5, 2) spaced 0.5: from (0, 1) to
    // one spacing past the last point, 5 x 2.
    const Region region = viewRegion(View{-3.5, 2, 0.5, 7, -2, 10, 4});
    QCOMPARE(QRectF(region.x, region.y, region.width, region.height), QRectF(0, 1, 5, 2));
    SplitMix64 random(11);
    double left = 9, right = -9, top = 9, bottom = -9;
    for (int k = 0; k < 20000; ++k) {
        const FreePoint p = region.draw(random);
        left = std::min(left, double(p.x));
        right = std::max(right, double(p.x));
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    // Inside, and near every edge.
    QVERIFY2(left >= 0 && right <= 5 && top >= 1 && bottom < 3,
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(left).arg(right).arg(top).arg(bottom)));
    QVERIFY(left < 0.01 && right > 4.99 && top < 1.01 && bottom > 2.99);
}

void FractalTest::abandonedMeasuresSaySo_data()
{
    QTest::addColumn<bool>("sample");
    QTest::addColumn<int>("batches"); // computed before the measure is abandoned; -1: all
    QTest::newRow("uncertainty, at once") << false << 0;
    QTest::newRow("uncertainty, after 2 batches") << false << 2;
    QTest::newRow("uncertainty, in its last batch") << false << -1;
    QTest::newRow("sample, at once") << true << 0;
    QTest::newRow("sample, after 3 batches") << true << 3;
    QTest::newRow("sample, in its last batch") << true << -1;
}

void FractalTest::abandonedMeasuresSaySo()
{
    QFETCH(bool, sample);
    QFETCH(int, batches);
    int calls = 0;
    int last = -1;
    bool stop = false;
    const OutcomeFunction halves = outcomesOf(&halfPlanes);
    const OutcomeFunction counted = [&](const std::vector<FreePoint> &points,
                                        std::vector<sim::Capture> &outcomes) {
        stop = ++calls == last;
        halves(points, outcomes);
    };
    const auto complete = [&] {
        const Region region{0, 0, 100, 80};
        const auto abandoned = [&] { return stop; };
        return sample ? sampleFractions(region, 1000000, 3, counted, abandoned).has_value()
                      : ::uncertaintyExponent(region, 20000, 3, counted, abandoned).has_value();
    };
    QVERIFY(complete());
    const int all = calls;
    QVERIFY(all > 3);
    calls = 0;
    last = batches < 0 ? all : batches;
    stop = last == 0;
    QVERIFY(!complete());
    QCOMPARE(calls, last);
}

QTEST_APPLESS_MAIN(FractalTest)
#include "tst_fractal.moc"
