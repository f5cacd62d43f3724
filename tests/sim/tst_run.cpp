#include "tests/common/fakehost.h"
#include "tests/common/recordingsurface.h"

#include "sim/capturemap.h"
#include "sim/defaults.h"
#include "sim/run.h"

#include <QTest>

#include <cstdint>
#include <vector>

using sim::Field;
using sim::simstate;

namespace {

/// Mass one at (11, 20) with a radius that covers the whole 3 x 2 example rectangle, so that
/// every start point is captured at its first step.
simstate capturingEverything(FakeHost &host)
{
    simstate s = sim::defaultState(1024, 700);
    s.xrot = 11;
    s.yrot = 20;
    host.radiusOne = 300;
    return s;
}

simstate defaults(FakeHost &host, float clientWidth, float clientHeight)
{
    host.rect = sim::defaultPicture(clientWidth, clientHeight);
    return sim::defaultState(clientWidth, clientHeight);
}

/// Which mass the surface shows at each start point of the rectangle: 0 none, 1 mass one,
/// 2 mass two, 3 another colour.
std::vector<std::uint8_t> paintedMap(const Surface &surface, const sim::Rect &rect,
                                     const simstate &s)
{
    std::vector<std::uint8_t> map;
    for (const sim::StartPoint &p : sim::startPoints(rect)) {
        const std::int32_t colour = surface.pixel(int(std::floor(p.x)), p.y);
        map.push_back(colour == surface.background() ? 0
                      : colour == s.colorrot         ? 1
                      : colour == s.colorblau        ? 2
                                                     : 3);
    }
    return map;
}

/// The default picture of a 300 x 200 client area after a run that nothing disturbs.
struct Undisturbed
{
    Surface surface{QSize(300, 200)};
    long long yields = 0;
};

Undisturbed undisturbedRun()
{
    Undisturbed result;
    FakeHost host;
    simstate s = defaults(host, 300, 200);
    sim::run(s, host, result.surface);
    result.yields = host.yields;
    return result;
}

std::uint64_t fnv1a(const std::vector<std::uint8_t> &bytes)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (const std::uint8_t b : bytes)
        hash = (hash ^ b) * 1099511628211ULL;
    return hash;
}

} // namespace

class RunTest : public QObject
{
    Q_OBJECT
private slots:
    void startPointOrder_data();
    void startPointOrder();
    void halfPixelEdgesGiveWidthPointsPerRow_data();
    void halfPixelEdgesGiveWidthPointsPerRow();
    void scanEndsAtTheInt16Range_data();
    void scanEndsAtTheInt16Range();
    void captureAtFirstStepDoesNotYield();
    void computeClearCompute();
    void everyStepShowsItsValues();
    void parameterChangeInYieldUsedFromNextStep();
    void nestedStartRestartsThePicture();
    void stopHoldsTheRunOnlyWhileItsMessageIsOpen();
    void widenedRectangleEndsAtColumnLimit();
    void endingStopsEveryRunAtItsNextYield_data();
    void endingStopsEveryRunAtItsNextYield();
    void defaultPictureGolden();
};

void RunTest::startPointOrder_data()
{
    QTest::addColumn<sim::Rect>("rect");
    QTest::addColumn<QList<QPoint>>("expected");
    QTest::newRow("3 x 2") << sim::Rect{10, 20, 3, 2}
                           << QList<QPoint>{{10, 20}, {11, 20}, {12, 20},
                                            {10, 21}, {11, 21}, {12, 21}};
    QTest::newRow("1 wide") << sim::Rect{10, 20, 1, 3}
                            << QList<QPoint>{{10, 20}, {10, 21}, {10, 22}};
    QTest::newRow("1 high") << sim::Rect{10, 20, 4, 1}
                            << QList<QPoint>{{10, 20}, {11, 20}, {12, 20}, {13, 20}};
    QTest::newRow("half-pixel left edge lands on the pixel containing it")
        << sim::Rect{9.5f, 20, 2, 2} << QList<QPoint>{{9, 20}, {10, 20}, {9, 21}, {10, 21}};
}

void RunTest::startPointOrder()
{
    QFETCH(sim::Rect, rect);
    QFETCH(QList<QPoint>, expected);
    FakeHost host;
    host.rect = rect;
    RecordingSurface surface(QSize(64, 48));
    simstate s = capturingEverything(host);
    sim::run(s, host, surface);

    QList<QPoint> painted;
    for (const auto &[x, y] : surface.painted)
        painted.append(QPoint(x, y));
    QCOMPARE(painted, expected);
    QCOMPARE(int(s.rowsdone), int(rect.height));
    QVERIFY(!host.spriteVisible);
    QCOMPARE(host.border, 0);
    QCOMPARE(int(sim::startPoints(rect).size()), expected.size());
}

void RunTest::halfPixelEdgesGiveWidthPointsPerRow_data()
{
    QTest::addColumn<float>("clientWidth");
    QTest::newRow("1023 wide") << 1023.0f;
    QTest::newRow("1024 wide") << 1024.0f;
    QTest::newRow("1025 wide") << 1025.0f;
}

void RunTest::halfPixelEdgesGiveWidthPointsPerRow()
{
    QFETCH(float, clientWidth);
    const sim::Rect rect = sim::defaultPicture(clientWidth, 700);
    const std::vector<sim::StartPoint> points = sim::startPoints(rect);
    QCOMPARE(points.size(), std::size_t(8000));
    for (std::size_t row = 0; row < 80; ++row) {
        QCOMPARE(points[row * 100].x, rect.left);
        QCOMPARE(int(points[row * 100 + 99].y), int(points[row * 100].y));
    }
}

void RunTest::scanEndsAtTheInt16Range_data()
{
    QTest::addColumn<sim::Rect>("rect");
    QTest::addColumn<QList<QPoint>>("expected");
    QTest::addColumn<bool>("complete");
    QTest::newRow("columns past 32767")
        << sim::Rect{32766, 20, 3, 2} << QList<QPoint>{{32766, 20}, {32767, 20}} << false;
    QTest::newRow("rows past 32767")
        << sim::Rect{10, 32766, 1, 3} << QList<QPoint>{{10, 32766}, {10, 32767}} << true;
}

void RunTest::scanEndsAtTheInt16Range()
{
    QFETCH(sim::Rect, rect);
    QFETCH(QList<QPoint>, expected);
    QFETCH(bool, complete);
    FakeHost host;
    host.rect = rect;
    simstate s = sim::defaultState(1024, 700); // both masses far away
    Surface surface(QSize(64, 48));
    sim::run(s, host, surface, 1);

    QList<QPoint> points;
    for (const sim::StartPoint &p : sim::startPoints(rect))
        points.append(QPoint(int(p.x), p.y));
    QCOMPARE(points, expected);
    QCOMPARE(host.writes(Field::textxgreen), int(expected.size()));
    QCOMPARE(host.spriteVisible, !complete);
}

void RunTest::captureAtFirstStepDoesNotYield()
{
    FakeHost host;
    RecordingSurface surface(QSize(64, 48));
    simstate s = capturingEverything(host);
    host.radiusTwo = 300; // inside both circles: mass one's colour
    sim::run(s, host, surface);
    QCOMPARE(host.yields, 0);
    QCOMPARE(surface.painted.size(), std::size_t(6));
    QCOMPARE(paintedMap(surface, host.rect, s), std::vector<std::uint8_t>(6, 1));
    // A capture shows the distances only; the pulls are never reached.
    QCOMPARE(host.writes(Field::textrrot), 6);
    QCOMPARE(host.writes(Field::textfrot), 0);
}

void RunTest::computeClearCompute()
{
    FakeHost host;
    RecordingSurface surface(QSize(64, 48));
    simstate s = capturingEverything(host);
    sim::run(s, host, surface);
    QCOMPARE(paintedMap(surface, host.rect, s), std::vector<std::uint8_t>(6, 1));

    host.spriteVisible = true;
    host.border = 1;
    const int writes = host.writes(Field::textxgreen);
    sim::run(s, host, surface);
    // Cleared, with the two circles drawn again, mass two's first.
    Surface circles(surface.size());
    circles.drawCircle(s.xblau, s.yblau, host.radiusTwo, s.colorblau);
    circles.drawCircle(s.xrot, s.yrot, host.radiusOne, s.colorrot);
    QCOMPARE(surface.image(), circles.image());
    QCOMPARE(surface.painted.size(), std::size_t(6));
    QCOMPARE(int(s.rowsdone), 0);
    QVERIFY(host.spriteVisible);
    QCOMPARE(host.border, 1);
    QCOMPARE(host.writes(Field::textxgreen), writes);

    sim::run(s, host, surface);
    QCOMPARE(surface.painted.size(), std::size_t(12));
    QCOMPARE(int(s.rowsdone), 2);
}

void RunTest::everyStepShowsItsValues()
{
    FakeHost host;
    RecordingSurface surface(QSize(1024, 700));
    simstate s = sim::defaultState(1024, 700);
    host.rect = {470, 320, 1, 1};
    host.spriteW = 10;
    host.spriteH = 7;
    sim::Number shownX{};
    std::pair<float, float> sprite;
    double xAfterStep = 0;
    host.onYield = [&] {
        if (host.yields == 1) {
            shownX = host.field(Field::textxfblau);
            sprite = host.sprite;
            xAfterStep = s.xgreen;
        }
    };
    sim::run(s, host, surface);
    QVERIFY(host.yields > 1);
    QCOMPARE(host.writes(Field::textxgreen), 1);
    QCOMPARE(host.writes(Field::textyfblau), int(host.yields));
    QCOMPARE(shownX.kind, sim::Kind::real);
    QVERIFY(shownX.value > 470);
    QCOMPARE(sprite.first, float(xAfterStep - 5.0f));
    QCOMPARE(host.field(Field::textxgreen).kind, sim::Kind::single);
    QCOMPARE(host.field(Field::textygreen).kind, sim::Kind::int16);
}

void RunTest::parameterChangeInYieldUsedFromNextStep()
{
    FakeHost host;
    RecordingSurface surface(QSize(1024, 700));
    simstate s = sim::defaultState(1024, 700);
    host.rect = {470, 320, 1, 1};
    host.onYield = [&] {
        host.radiusOne = 300;
        s.colorrot = 0x00FF00;
    };
    sim::run(s, host, surface);
    QCOMPARE(host.yields, 1);
    QCOMPARE(surface.pixel(470, 320), 0x00FF00);
}

void RunTest::nestedStartRestartsThePicture()
{
    const Undisturbed plain = undisturbedRun();
    FakeHost host;
    RecordingSurface surface(QSize(300, 200));
    simstate s = defaults(host, 300, 200);
    int nested = 0;
    host.onYield = [&] {
        if (host.yields == 50 && nested == 0) {
            ++nested;
            sim::cmdstart_Click(s, host, surface);
        }
    };
    sim::run(s, host, surface);
    QCOMPARE(nested, 1);
    QCOMPARE(surface.clears, 2);
    QVERIFY(s.rowsdone >= 80);
    QVERIFY(!host.spriteVisible);
    // The nested run painted the whole picture on the cleared surface; the interrupted one at
    // most adds the start point it was computing when the nested one returned, which the last
    // row wrap put below the rectangle.
    QCOMPARE(paintedMap(surface, host.rect, s), paintedMap(plain.surface, host.rect, s));
}

void RunTest::stopHoldsTheRunOnlyWhileItsMessageIsOpen()
{
    const Undisturbed plain = undisturbedRun();
    FakeHost host;
    Surface surface(QSize(300, 200));
    simstate s = defaults(host, 300, 200);
    host.onYield = [&] {
        if (host.yields == 50)
            sim::cmdstop_Click(host);
    };
    sim::run(s, host, surface);
    QCOMPARE(host.messages.size(), std::size_t(1));
    QCOMPARE(host.messages[0].first, std::string("                          stop"));
    QCOMPARE(host.messages[0].second, std::string("Velmora"));
    // The run went on to the end as if nothing had happened.
    QCOMPARE(surface.image(), plain.surface.image());
    QCOMPARE(host.yields, plain.yields);

    FakeHost idle;
    sim::cmdstop_Click(idle);
    QCOMPARE(idle.messages, host.messages);
}

void RunTest::widenedRectangleEndsAtColumnLimit()
{
    FakeHost host;
    Surface surface(QSize(300, 200));
    simstate s = defaults(host, 300, 200);
    host.onYield = [&] {
        if (host.yields == 1)
            host.rect.width += 20;
    };
    sim::run(s, host, surface);
    QVERIFY(host.spriteVisible);
    QCOMPARE(int(s.rowsdone), 0);
    // The first row ran on to the end column fixed at the start, one pixel past the old right
    // edge, and the scan stopped there before any wrap.
    QCOMPARE(host.writes(Field::textxgreen), 101);
}

void RunTest::endingStopsEveryRunAtItsNextYield_data()
{
    QTest::addColumn<bool>("nested");
    QTest::newRow("during a run") << false;
    QTest::newRow("during a nested run") << true;
}

void RunTest::endingStopsEveryRunAtItsNextYield()
{
    QFETCH(bool, nested);
    FakeHost host;
    Surface surface(QSize(300, 200));
    simstate s = defaults(host, 300, 200);
    int runs = 0;
    simstate atEnd{};
    host.onYield = [&] {
        if (nested && runs == 0) {
            ++runs;
            sim::cmdstart_Click(s, host, surface);
            return;
        }
        if (!host.ending) {
            host.ending = true;
            atEnd = s;
        }
    };
    sim::run(s, host, surface);
    // One yield of each run: the one that ended it, and no step after it.
    QCOMPARE(host.yields, nested ? 2 : 1);
    QCOMPARE(host.writes(Field::textxgreen), nested ? 2 : 1);
    QCOMPARE(s.xgreen, atEnd.xgreen);
    QCOMPARE(s.distrot, atEnd.distrot);
    QCOMPARE(int(s.rowsdone), 0);
}

void RunTest::defaultPictureGolden()
{
    FakeHost host;
    Surface surface(QSize(1024, 700));
    simstate s = defaults(host, 1024, 700);
    sim::run(s, host, surface);
    QCOMPARE(int(s.rowsdone), 80);
    const std::vector<std::uint8_t> map = paintedMap(surface, host.rect, s);

    // The renderer's path, one whole trajectory per start point, gives the same map.
    std::vector<std::uint8_t> direct;
    for (const auto &p : sim::captureMap(sim::defaultState(1024, 700), host.rect, 5, 5))
        direct.push_back(std::uint8_t(p.result.capture));
    QCOMPARE(direct, map);

    int counts[4] = {};
    for (const std::uint8_t m : map)
        ++counts[m];
    const QString summary = QString("one %1, two %2, none %3, yields %4, hash %5")
                                .arg(counts[1])
                                .arg(counts[2])
                                .arg(counts[0])
                                .arg(host.yields)
                                .arg(fnv1a(map), 16, 16, QChar('0'));
    // Any change in the arithmetic, its order or its precision changes this line.
    QCOMPARE(summary, QString("one 4005, two 3994, none 1, yields 428064, hash f8c492a844887090"));
}

QTEST_APPLESS_MAIN(RunTest)
#include "tst_run.moc"
