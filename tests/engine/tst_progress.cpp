#include "engine/engine.h"

#include <QThreadPool>
#include <QTest>

#include <algorithm>
#include <vector>

namespace {

// With the moving mass this heavy, (462, 310) orbits to any step limit while its neighbour
// (463, 310) is captured at once.
constexpr float stragglerX = 462;
constexpr float quickX = 463;
constexpr double startY = 310;
constexpr std::int64_t pointCount = 256;

TrajectoryParameters stragglerScene()
{
    TrajectoryParameters p = TrajectoryParameters::defaults(QSize(1024, 700));
    p.movingMass = 1600;
    // Long enough for several reports, short enough to end within seconds were none to come.
    p.stepLimit = 100000000;
    return p;
}

} // namespace

class ProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void progressGoesOnWhileAStragglerRuns_data();
    void progressGoesOnWhileAStragglerRuns();
};

void ProgressTest::progressGoesOnWhileAStragglerRuns_data()
{
    QTest::addColumn<bool>("shared");
    QTest::newRow("threads of its own") << false;
    QTest::newRow("a shared pool") << true;
}

// The first point is the straggler: one worker stays with it while the other finishes every
// other chunk and ends. Progress must still come, and the abandon it triggers must be reported.
void ProgressTest::progressGoesOnWhileAStragglerRuns()
{
    QFETCH(bool, shared);
    QThreadPool pool;
    Workers workers;
    workers.threads = 2;
    workers.pool = shared ? &pool : nullptr;
    Engine engine(stragglerScene(), workers);
    std::vector<float> x(pointCount, quickX);
    x[0] = stragglerX;
    const std::vector<double> y(pointCount, startY);
    std::vector<std::uint8_t> outcomes(pointCount, std::uint8_t(PointOutcome::notComputed));
    std::vector<std::uint64_t> steps(pointCount, 0);

    std::int64_t mostDoneSeen = 0;
    engine.setProgress([&](std::int64_t done) {
        mostDoneSeen = std::max(mostDoneSeen, done);
        if (done >= pointCount - 16)
            engine.abandon();
    });
    const bool finished =
        engine.computePoints(x.data(), y.data(), pointCount, outcomes.data(), steps.data());

    QVERIFY2(mostDoneSeen >= pointCount - 16, "no progress came while the straggler ran");
    QVERIFY2(!finished, "an abandoned computation said it finished");
    QCOMPARE(outcomes[0], std::uint8_t(PointOutcome::notComputed));
    QCOMPARE(outcomes[pointCount - 1], std::uint8_t(PointOutcome::one));
}

QTEST_APPLESS_MAIN(ProgressTest)
#include "tst_progress.moc"
