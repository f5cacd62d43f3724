#include "engine/engine.h"
#include "engine/progressive.h"

#include "sim/number.h"
#include "tests/common/replicastate.h"

#include <QTest>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

Q_DECLARE_METATYPE(View)
Q_DECLARE_METATYPE(std::vector<FixedMass>)

namespace {

/// The default masses, heavier moving mass, so that the basins interleave around them.
TrajectoryParameters interleaved()
{
    TrajectoryParameters p = TrajectoryParameters::defaults(defaultClient);
    p.movingMass = 400;
    p.stepLimit = 20000;
    return p;
}

View view(double x, double y, double spacing, int width, int height)
{
    View v;
    v.x = x;
    v.y = y;
    v.spacing = spacing;
    v.width = width;
    v.height = height;
    return v;
}

Workers workers(Kernel kernel, int threads)
{
    Workers w;
    w.kernel = kernel;
    w.threads = threads;
    return w;
}

/// The view computed the reference way: sim::trajectory from each start point in turn.
PointMaps reference(const TrajectoryParameters &p, const View &v)
{
    PointMaps maps;
    for (int j = 0; j < v.height; ++j) {
        for (int i = 0; i < v.width; ++i) {
            // The start point as the view defines it: in double, x then rounded to single.
            const sim::TrajectoryResult r = replicaTrajectory(
                p, sim::roundToSingle(float(v.x + double(v.column + i) * v.spacing)),
                v.y + double(v.row + j) * v.spacing);
            maps.outcomes.push_back(std::uint8_t(r.capture));
            maps.steps.push_back(r.steps);
        }
    }
    return maps;
}

PointMaps computed(const TrajectoryParameters &p, const View &v, const Workers &w = {})
{
    Engine engine(p, w);
    PointMaps maps;
    if (!engine.computeView(v, maps))
        QTest::qFail("the computation was abandoned", __FILE__, __LINE__);
    return maps;
}

} // namespace

class EngineTest : public QObject
{
    Q_OBJECT

private slots:
    void sameForEveryKernelAndThreadCount_data();
    void sameForEveryKernelAndThreadCount();
    void otherNumbersOfMasses_data();
    void otherNumbersOfMasses();
    void passesComputeEveryPointOnce_data();
    void passesComputeEveryPointOnce();
    void panKeepsWhatItShares_data();
    void panKeepsWhatItShares();
    void abandonedPassResumes();
    void longTrajectoriesLeftToLaterRounds();
    void finestSpacingAtX_data();
    void finestSpacingAtX();
    void rowsMeetFarDown();
};

void EngineTest::sameForEveryKernelAndThreadCount_data()
{
    QTest::addColumn<View>("v");
    QTest::addColumn<bool>("mixed"); ///< whether both masses capture start points of it
    QTest::newRow("quarter spacing between the masses") << view(509.3, 347.1, 0.25, 31, 9) << true;
    QTest::newRow("columns across x = 512") << view(511.9, 350.5, 0.0078125, 29, 5) << true;
    // X between two singles and S between one and two gaps of them: summed in double, each x
    // rounds once.
    QTest::newRow("near the finest spacing at 502") << view(502.00001, 349.9, 4e-5, 23, 7) << false;
    QTest::newRow("moved from a far origin")
        << view(-1000.5, -200, 0.75, 13, 7).moved(1990, 700) << true;
}

void EngineTest::sameForEveryKernelAndThreadCount()
{
    QFETCH(View, v);
    QFETCH(bool, mixed);
    QCOMPARE(checkView(v), ViewFault::none);
    const TrajectoryParameters p = interleaved();
    const PointMaps expected = reference(p, v);
    for (const Kernel kernel : {Kernel::scalar, Kernel::avx2}) {
        if (!kernelAvailable(kernel))
            continue;
        for (const int threads : {1, 3}) {
            const PointMaps maps = computed(p, v, workers(kernel, threads));
            QVERIFY2(maps.outcomes == expected.outcomes && maps.steps == expected.steps,
                     kernelName(kernel));

            // The same start points as a list, last first.
            std::vector<float> x;
            std::vector<double> y;
            for (int j = v.height - 1; j >= 0; --j) {
                for (int i = v.width - 1; i >= 0; --i) {
                    x.push_back(v.columnX(i));
                    y.push_back(v.rowY(j));
                }
            }
            std::vector<std::uint8_t> outcomes(x.size());
            std::vector<std::uint64_t> steps(x.size());
            Engine engine(p, workers(kernel, threads));
            QVERIFY(engine.computePoints(x.data(), y.data(), std::int64_t(x.size()),
                                         outcomes.data(), steps.data()));
            QVERIFY(std::equal(outcomes.rbegin(), outcomes.rend(), expected.outcomes.begin()));
            QVERIFY(std::equal(steps.rbegin(), steps.rend(), expected.steps.begin()));
        }
    }
    // Not a picture of one outcome, which any wrong start point could reproduce.
    const auto ones = std::count(expected.outcomes.begin(), expected.outcomes.end(), 1);
    QCOMPARE(ones > 0 && ones < v.pointCount(), mixed);
}

void EngineTest::otherNumbersOfMasses_data()
{
    QTest::addColumn<std::vector<FixedMass>>("masses");
    QTest::addColumn<View>("v");
    QTest::addColumn<int>("corner"); ///< the outcome of the top-left start point
    QTest::newRow("one mass") << std::vector<FixedMass>{{512, 350, 10, 5}}
                              << view(490.3, 330.1, 1.5, 23, 21) << 1;
    QTest::newRow("three masses, a triangle")
        << std::vector<FixedMass>{{502, 356, 10, 5}, {522, 356, 10, 5}, {512, 339, 10, 5}}
        << view(495.1, 331.7, 1.25, 27, 23) << 2;
    // (510, 340) lies in both circles: the first mass in order captures it.
    QTest::newRow("overlapping circles, the first in order")
        << std::vector<FixedMass>{{524, 352, 10, 3}, {516, 342, 30, 12}, {512, 339, 30, 12}}
        << view(510, 340, 1, 17, 13) << 2;
    QTest::newRow("overlapping circles, swapped")
        << std::vector<FixedMass>{{524, 352, 10, 3}, {512, 339, 30, 12}, {516, 342, 30, 12}}
        << view(510, 340, 1, 17, 13) << 2;
}

void EngineTest::otherNumbersOfMasses()
{
    QFETCH(std::vector<FixedMass>, masses);
    QFETCH(View, v);
    QFETCH(int, corner);
    TrajectoryParameters p = interleaved();
    p.masses = masses;
    const PointMaps expected = computed(p, v, workers(Kernel::scalar, 1));
    QCOMPARE(int(expected.outcomes[0]), corner);
    for (const Kernel kernel : {Kernel::scalar, Kernel::avx2}) {
        for (const int threads : {2, 5}) {
            const PointMaps maps = computed(p, v, workers(kernel, threads));
            QVERIFY2(maps.outcomes == expected.outcomes && maps.steps == expected.steps,
                     kernelName(kernel));
        }
    }
    // Not a picture of one outcome, which any wrong start point could reproduce.
    QVERIFY(std::count(expected.outcomes.begin(), expected.outcomes.end(), corner) <
            v.pointCount());
}

void EngineTest::passesComputeEveryPointOnce_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("one point") << 1 << 1;
    QTest::newRow("one coarse cell") << 8 << 8;
    QTest::newRow("odd sizes") << 37 << 23;
    QTest::newRow("a tall strip") << 3 << 70;
    QTest::newRow("passes of several tiles") << 2100 << 70;
}

void EngineTest::passesComputeEveryPointOnce()
{
    QFETCH(int, width);
    QFETCH(int, height);
    // About 20 pixels across, whatever the width; short trajectories.
    const View v = view(490.25, 340.5, 20.0 / width, width, height);
    TrajectoryParameters p = interleaved();
    p.stepLimit = 60;

    std::vector<int> covered(std::size_t(width) * std::size_t(height), 0);
    int level = ProgressiveView::coarsestLevel;
    int tiles = 0;
    ProgressiveView progressive(v);
    Engine engine(p, workers(Kernel::automatic, 2));
    QVERIFY(progressive.run(engine, [&](const ViewTile &t) {
        ++tiles;
        QVERIFY(t.level <= level);
        level = t.level;
        for (int r = 0; r < t.rows; ++r) {
            for (int c = 0; c < t.columns; ++c) {
                const int i = t.firstColumn + c * t.columnStep;
                const int j = t.firstRow + r * t.rowStep;
                QVERIFY(i < width && j < height && progressive.known(i, j));
                ++covered[std::size_t(j) * std::size_t(width) + std::size_t(i)];
            }
        }
        if (t.passComplete) {
            // Coarse to fine: exactly every level-th start point across and down is known.
            bool coarseToFine = true;
            for (int j = 0; j < height; ++j) {
                for (int i = 0; i < width; ++i)
                    coarseToFine &= progressive.known(i, j) == (i % level == 0 && j % level == 0);
            }
            QVERIFY2(coarseToFine, qPrintable(QString::number(level)));
        }
    }));
    QVERIFY(tiles >= 1);
    QVERIFY(std::all_of(covered.begin(), covered.end(), [](int n) { return n == 1; }));
    QCOMPARE(engine.pointsDone(), v.pointCount());
    QCOMPARE(progressive.pointsComputed(), v.pointCount());
    const PointMaps whole = computed(p, v);
    QVERIFY(progressive.maps().outcomes == whole.outcomes);
    QVERIFY(progressive.maps().steps == whole.steps);
}

void EngineTest::panKeepsWhatItShares_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<std::int64_t>("shared");
    QTest::newRow("right and up") << 5 << -3 << std::int64_t(35 * 21);
    QTest::newRow("left") << -7 << 0 << std::int64_t(33 * 24);
    QTest::newRow("past the view") << 40 << 0 << std::int64_t(0);
    QTest::newRow("not at all") << 0 << 0 << std::int64_t(40 * 24);
}

void EngineTest::panKeepsWhatItShares()
{
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(std::int64_t, shared);
    // An origin and spacing whose sums round differently once moved from a new origin.
    const View before = view(501.1, 349.3, 0.3, 40, 24);
    const TrajectoryParameters p = interleaved();
    ProgressiveView first(before);
    Engine engine(p);
    QVERIFY(first.run(engine));

    const View after = before.moved(columns, rows);
    ProgressiveView second(after);
    QCOMPARE(second.keep(first), shared);
    Engine again(p);
    QVERIFY(second.run(again));
    QCOMPARE(second.pointsComputed(), after.pointCount() - shared);
    const PointMaps whole = computed(p, after);
    QVERIFY(second.maps().outcomes == whole.outcomes);
    QVERIFY(second.maps().steps == whole.steps);

    // Another grid's start points are not this one's, even where the views overlap.
    View other = after;
    other.x += other.spacing / 3;
    ProgressiveView elsewhere(other);
    QCOMPARE(elsewhere.keep(first), std::int64_t(0));
}

void EngineTest::abandonedPassResumes()
{
    const View v = view(496, 340, 0.25, 64, 48);
    const TrajectoryParameters p = interleaved();
    ProgressiveView progressive(v);
    QThreadPool pool;
    Workers w = workers(Kernel::automatic, 2);
    w.pool = &pool;
    Engine engine(p, w);
    // Abandoned from another thread once the coarse pass is in.
    QFuture<void> abandoning;
    QVERIFY(!progressive.run(engine, [&](const ViewTile &) {
        abandoning = QtConcurrent::run([&engine] { engine.abandon(); });
        abandoning.waitForFinished();
    }));
    const std::int64_t first = progressive.pointsComputed();
    QVERIFY(first + progressive.pending() >= 48 && first < v.pointCount());

    Engine resumed(p, w);
    QVERIFY(progressive.run(resumed));
    QCOMPARE(progressive.pointsComputed(), v.pointCount());
    QVERIFY(progressive.maps().outcomes == computed(p, v).outcomes);

    // Abandoned before it starts, nothing is computed.
    PointMaps maps;
    QVERIFY(!engine.computeView(v, maps));
    QVERIFY(std::all_of(maps.outcomes.begin(), maps.outcomes.end(), [](std::uint8_t o) {
        return o == std::uint8_t(PointOutcome::notComputed);
    }));
}

void EngineTest::longTrajectoriesLeftToLaterRounds()
{
    // Capture radii of 1: many trajectories run far longer than the passes follow them.
    TrajectoryParameters p = TrajectoryParameters::defaults(defaultClient);
    for (FixedMass &m : p.masses)
        m.radius = 1;
    p.stepLimit = 50000;
    const View v = view(497, 340, 1, 30, 20);
    ProgressiveView progressive(v);
    Engine engine(p, workers(Kernel::automatic, 2));
    PointMaps atPasses;
    std::int64_t pendingAtPasses = -1;
    QVERIFY(progressive.run(engine, [&](const ViewTile &t) {
        if (t.round == 0 && t.level == 1 && t.passComplete) {
            atPasses = progressive.maps();
            pendingAtPasses = progressive.pending();
        }
    }));
    QVERIFY(pendingAtPasses > 0);
    QCOMPARE(progressive.pending(), std::int64_t(0));
    const PointMaps whole = computed(p, v);
    QVERIFY(progressive.maps().outcomes == whole.outcomes);
    QVERIFY(progressive.maps().steps == whole.steps);
    // The passes left the long ones unknown, and knew every other one for good.
    std::int64_t unknown = 0;
    for (std::size_t k = 0; k < whole.outcomes.size(); ++k) {
        const std::uint8_t o = atPasses.outcomes[k];
        unknown += o == std::uint8_t(PointOutcome::notComputed) ? 1 : 0;
        QVERIFY(o == std::uint8_t(PointOutcome::notComputed) || o == whole.outcomes[k]);
    }
    QCOMPARE(unknown, pendingAtPasses);
}

void EngineTest::finestSpacingAtX_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("finest");
    // Singles from 256 to 512 lie 2^-15 apart, from 512 to 1024 2^-14.
    QTest::newRow("between the masses") << 502.0 << 100 << std::ldexp(1.0, -15);
    QTest::newRow("columns reaching past 512") << 511.99 << 1000 << std::ldexp(1.0, -14);
    QTest::newRow("left of 0, toward it") << -300.0 << 1000 << std::ldexp(1.0, -15);
    QTest::newRow("near 0") << 0.001 << 10 << std::ldexp(1.0, -33);
}

void EngineTest::finestSpacingAtX()
{
    QFETCH(double, x);
    QFETCH(int, width);
    QFETCH(double, finest);
    QCOMPARE(finestSpacing(x, width), finest);
    QCOMPARE(checkView(view(x, 350, finest, width, 2)), ViewFault::none);
    QCOMPARE(checkView(view(x, 350, finest * 0.75, width, 2)), ViewFault::tooFine);
}

void EngineTest::rowsMeetFarDown()
{
    // Doubles lie 2^-43 apart below 1024 and 2^-42 above it: rows 1.5 x 2^-43 apart start at
    // y of their own from 1024 - 2^-40 until past 1024, where two of them meet.
    const double unit = std::ldexp(1.0, -43);
    QCOMPARE(checkView(view(0, 1024 - 8 * unit, 1.5 * unit, 4, 5)), ViewFault::none);
    QCOMPARE(checkView(view(0, 1024 - 8 * unit, 1.5 * unit, 4, 12)), ViewFault::tooFine);
}

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
