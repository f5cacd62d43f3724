// The single-precision results of the core are singles wherever they are formed, however the
// compiler evaluates float expressions. Built once as usual and, where the compiler allows, once
// more with x87 arithmetic, which carries intermediate results in extended precision unless the
// code rounds them.

#include "sim/defaults.h"
#include "sim/scan.h"
#include "sim/step.h"

#include <QTest>

class SinglesTest : public QObject
{
    Q_OBJECT
private slots:
    void firstStepDifferences();
    void rightEdgeOfTheRowWrap();
};

void SinglesTest::firstStepDifferences()
{
    sim::simstate s = sim::defaultState(1024, 700);
    s.xrot = 1000;
    s.xblau = 2000;
    s.xgreen = 0.1f;
    s.ygreen = s.yrot; // no y difference: each distance is its x difference
    s.yblau = s.yrot;
    sim::step(s, 5, 5, true);
    // 1000 - 0.1f and 2000 - 0.1f rounded to single; not 999.8999999985099 and
    // 1999.8999999985099.
    QCOMPARE(QString::number(s.distrot, 'g', 17), QStringLiteral("999.9000244140625"));
    QCOMPARE(QString::number(s.distblau, 'g', 17), QStringLiteral("1999.9000244140625"));
}

void SinglesTest::rightEdgeOfTheRowWrap()
{
    // The left edge one step above 1: the right edge, 3 + 2^-23, rounds to 3 in single
    // precision, so the wrap comes at column 3 and each row has one start point.
    const float left = 0x1.000002p+0f;
    const std::vector<sim::StartPoint> points = sim::startPoints(sim::Rect{left, 20, 2, 2});
    QCOMPARE(points.size(), std::size_t(2));
    QCOMPARE(points[0].x, left);
    QCOMPARE(int(points[1].y), 21);
}

QTEST_APPLESS_MAIN(SinglesTest)
#include "tst_singles.moc"
