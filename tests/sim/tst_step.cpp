#include "sim/defaults.h"
#include "sim/step.h"

#include <QTest>

#include <cmath>
#include <cstdio>

using sim::Capture;
using sim::simstate;

class StepTest : public QObject
{
    Q_OBJECT
private slots:
    void workedFirstStep();
    void pullOfMassOne_data();
    void pullOfMassOne();
    void firstStepDifferencesAreSingles();
    void captureTests_data();
    void captureTests();
    void pullEqualToDistanceReachesTheMass();
    void midpointIsAFixedPoint();
    void cycleDetector_data();
    void cycleDetector();
    void parameterChangeStartsTheComparisonAgain();
    void trajectoryStopsAtTheLimit();
};

static bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

/// A double to the last bit, for a comparison that must be exact and a failure that shows both.
static QString bits(double v)
{
    char hex[64];
    std::snprintf(hex, sizeof hex, "%a", v);
    return QString::number(v, 'g', 17) + QStringLiteral(" = ") + QString::fromLatin1(hex);
}

void StepTest::workedFirstStep()
{
    simstate s = sim::defaultState(1024, 700);
    QCOMPARE(s.xrot, 502);
    QCOMPARE(s.xblau, 522);
    QCOMPARE(s.yrot, 350);
    s.xgreen = 512.0f;
    s.ygreen = 330;
    QCOMPARE(sim::step(s, 5, 5, true), Capture::none);
    // Each value as the formulas give it in their order and grouping, every operation rounded
    // to double: sqrt(500), a pull of 6.67 less one unit in the last place, and so on.
    QCOMPARE(bits(s.distrot), bits(0x1.65c55827df1d2p+4));
    QCOMPARE(bits(s.distblau), bits(0x1.65c55827df1d2p+4));
    QCOMPARE(bits(s.powerrot), bits(0x1.aae147ae147adp+2));
    QCOMPARE(bits(s.powerblau), bits(0x1.aae147ae147adp+2));
    QCOMPARE(bits(s.lambdarot), bits(0x1.b34b9c4a334e7p-2));
    QCOMPARE(bits(s.lambdablau), bits(0x1.b34b9c4a334e7p-2));
    QCOMPARE(bits(s.xpowerrot), bits(0x1.fd045fb4121e1p+8));
    QCOMPARE(bits(s.ypowerrot), bits(0x1.4ff74097dbc3ep+8));
    QCOMPARE(bits(s.xpowerblau), bits(0x1.017dd025f6f0fp+9));
    QCOMPARE(bits(s.ypowerblau), bits(0x1.4ff74097dbc3ep+8));
    QCOMPARE(bits(s.xgreen), bits(512.0));
    QCOMPARE(bits(s.ygreen), bits(0x1.55ee812fb787cp+8));
}

void StepTest::pullOfMassOne_data()
{
    QTest::addColumn<int>("distance");
    QTest::addColumn<double>("pull");
    QTest::newRow("10 px") << 10 << 33.35;
    QTest::newRow("20 px") << 20 << 8.3375;
    QTest::newRow("50 px") << 50 << 1.334;
}

void StepTest::pullOfMassOne()
{
    QFETCH(int, distance);
    QFETCH(double, pull);
    simstate s = sim::defaultState(1024, 700);
    s.xblau = 30000; // far away: its pull is negligible
    s.xgreen = float(s.xrot + distance);
    s.ygreen = s.yrot;
    QCOMPARE(sim::step(s, 5, 5, true), Capture::none);
    QVERIFY2(near(s.powerrot, pull, pull * 1e-14),
             qPrintable(QString::number(s.powerrot, 'g', 17)));
    // The point reached lies at the distance of the pull, toward the mass, past it if need be.
    QVERIFY(near(s.xpowerrot, s.xrot + distance - pull, 1e-9));
    QCOMPARE(s.ypowerrot, double(s.yrot));
    QCOMPARE(s.lambdarot<0, pull> distance);
}

void StepTest::firstStepDifferencesAreSingles()
{
    simstate s = sim::defaultState(2000, 700);
    s.xrot = 1000;
    s.xgreen = 0.1f;
    s.ygreen = s.yrot;
    sim::step(s, 5, 5, true);
    const double singleDifference = 1000.0f - 0.1f;
    QCOMPARE(s.distrot, std::sqrt(singleDifference * singleDifference));
    QVERIFY(s.distrot != 1000.0 - double(0.1f));

    // From the second step on the same position is a double.
    s.xgreen = double(0.1f);
    s.ygreen = s.yrot;
    sim::step(s, 5, 5, false);
    QCOMPARE(s.distrot, 1000.0 - double(0.1f));
}

void StepTest::captureTests_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("radiusOne");
    QTest::addColumn<int>("radiusTwo");
    QTest::addColumn<int>("expected");
    // Mass one at 502, mass two at 522, both on the moving mass's row.
    QTest::newRow("on mass one's circle") << 507 << 5 << 5 << int(Capture::one);
    QTest::newRow("just outside both") << 508 << 5 << 5 << int(Capture::none);
    QTest::newRow("on mass two's circle") << 517 << 5 << 5 << int(Capture::two);
    QTest::newRow("inside both: mass one wins") << 515 << 20 << 20 << int(Capture::one);
}

void StepTest::captureTests()
{
    QFETCH(int, x);
    QFETCH(int, radiusOne);
    QFETCH(int, radiusTwo);
    QFETCH(int, expected);
    simstate s = sim::defaultState(1024, 700);
    s.xgreen = float(x);
    s.ygreen = 350;
    QCOMPARE(int(sim::step(s, radiusOne, radiusTwo, true)), expected);
}

void StepTest::pullEqualToDistanceReachesTheMass()
{
    // Find the mass of mass one whose pull at 10 pixels is exactly 10 pixels.
    simstate s = sim::defaultState(1024, 700);
    s.xblau = 30000;
    s.massgreen = 1e9;
    double mass = 10.0 * 100 / sim::G / s.massgreen;
    bool found = false;
    for (int i = 0; i < 100000 && !found; ++i) {
        const double pull = ((s.massgreen * mass) / 100.0) * sim::G;
        if (pull == 10.0)
            found = true;
        else
            mass = std::nextafter(mass, pull < 10.0 ? 1e300 : 0.0);
    }
    QVERIFY(found);
    s.massrot = mass;
    s.xgreen = s.xrot + 10.0;
    s.ygreen = s.yrot;
    QCOMPARE(sim::step(s, 5, 5, false), Capture::none);
    QCOMPARE(s.powerrot, s.distrot);
    QVERIFY(std::isinf(s.lambdarot));
    QCOMPARE(s.xpowerrot, double(s.xrot));
    QCOMPARE(s.ypowerrot, double(s.yrot));
    QVERIFY(std::isfinite(s.xgreen) && std::isfinite(s.ygreen));
}

void StepTest::midpointIsAFixedPoint()
{
    simstate s = sim::defaultState(1024, 700);
    s.xgreen = 512.0f;
    s.ygreen = 350;
    const sim::TrajectoryResult result = sim::trajectory(s, 5, 5);
    QCOMPARE(result.capture, Capture::none);
    QVERIFY2(result.steps < 10, qPrintable(QString::number(result.steps)));
    QCOMPARE(s.xgreen, 512.0);
}

void StepTest::cycleDetector_data()
{
    QTest::addColumn<int>("prefix");
    QTest::addColumn<int>("period");
    QTest::newRow("fixed point at once") << 0 << 1;
    QTest::newRow("period 2") << 0 << 2;
    QTest::newRow("period 7 after 100 steps") << 100 << 7;
    QTest::newRow("period 1000 after 3") << 3 << 1000;
    QTest::newRow("never repeats") << 100000 << 1;
}

void StepTest::cycleDetector()
{
    QFETCH(int, prefix);
    QFETCH(int, period);
    const simstate s = sim::defaultState(1024, 700);
    auto input = [&](int n) {
        sim::StepInput in = sim::StepInput::of(s, 5, 5);
        in.xgreen = n < prefix ? -1.0 - n : double((n - prefix) % period);
        return in;
    };
    sim::CycleDetector detector;
    const int horizon = prefix == 100000 ? prefix : 4 * (prefix + period) + 10;
    int seenAt = -1;
    for (int n = 0; n < horizon && seenAt < 0; ++n)
        if (detector.repeats(input(n)))
            seenAt = n;
    if (prefix == 100000) {
        QCOMPARE(seenAt, -1);
    } else {
        QVERIFY(seenAt >= prefix + period);
        QVERIFY(seenAt > 0);
    }
}

void StepTest::parameterChangeStartsTheComparisonAgain()
{
    // The moving mass comes back to a saved position after mass one has moved away and back:
    // its path from there may differ from the first time, so nothing repeats.
    const simstate s = sim::defaultState(1024, 700);
    sim::StepInput input = sim::StepInput::of(s, 5, 5);
    sim::CycleDetector detector;
    const std::int16_t mass1x[] = {502, 502, 503, 502, 502};
    const double x[] = {1, 2, 3, 2, 4};
    for (int n = 0; n < 5; ++n) {
        input.xrot = mass1x[n];
        input.xgreen = x[n];
        QVERIFY2(!detector.repeats(input), qPrintable(QString::number(n)));
    }
    // Unchanged parameters from here: the position 4 comes back and is recognised.
    input.xgreen = 4;
    QVERIFY(detector.repeats(input));
}

void StepTest::trajectoryStopsAtTheLimit()
{
    simstate s = sim::defaultState(1024, 700);
    s.xgreen = 463.0f;
    s.ygreen = 311;
    const sim::TrajectoryResult unlimited = sim::trajectory(s, 5, 5);
    QVERIFY(unlimited.capture != Capture::none);
    QVERIFY(unlimited.steps > 3);
    s.xgreen = 463.0f;
    s.ygreen = 311;
    const sim::TrajectoryResult limited = sim::trajectory(s, 5, 5, unlimited.steps - 1);
    QCOMPARE(limited.capture, Capture::none);
    QCOMPARE(limited.steps, unlimited.steps - 1);
}

QTEST_APPLESS_MAIN(StepTest)
#include "tst_step.moc"
