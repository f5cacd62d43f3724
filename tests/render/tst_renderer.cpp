#include "tests/common/fakehost.h"

#include "render/renderer.h"
#include "sim/defaults.h"
#include "sim/run.h"
#include "sim/scan.h"

#include <QTest>
#include <QThread>

Q_DECLARE_METATYPE(RenderParameters)

namespace {

RenderParameters smallPicture(QSize client, QSize picture)
{
    RenderParameters p = RenderParameters::defaults(client);
    p.picture = picture;
    return p;
}

/// What the window's run leaves on a surface of the client's size, and its counts.
struct RunResult
{
    QImage image;
    std::int64_t painted = 0;
    std::uint64_t steps = 0;
};

RunResult runOnSurface(const RenderParameters &p)
{
    Surface surface(p.client, p.background);
    const sim::Rect picture =
        sim::centredPicture(float(p.client.width()), float(p.client.height()),
                            float(p.picture.width()), float(p.picture.height()));
    FakeHost host;
    host.rect = picture;
    host.radiusOne = p.radiusOne;
    host.radiusTwo = p.radiusTwo;
    sim::simstate s = p.state();
    sim::run(s, host, surface, p.stepLimit);
    // A step either ends in a capture, which paints, or yields.
    const auto steps = std::uint64_t(host.writes(sim::Field::textrrot));
    return {surface.image(), std::int64_t(steps - std::uint64_t(host.yields)), steps};
}

} // namespace

class RendererTest : public QObject
{
    Q_OBJECT

private slots:
    void matchesRun_data();
    void matchesRun();
    void keepsEachStartPointsSteps_data();
    void keepsEachStartPointsSteps();
    void sameForEveryThreadCount_data();
    void sameForEveryThreadCount();
    void abandonedThenSharedPool();
    void startPointsFollowTheScan_data();
    void startPointsFollowTheScan();
    void defaultsFollowStartUp_data();
    void defaultsFollowStartUp();
    void viewAtUnitSpacingIsTheReplica_data();
    void viewAtUnitSpacingIsTheReplica();
};

void RendererTest::matchesRun_data()
{
    QTest::addColumn<RenderParameters>("parameters");

    QTest::newRow("default picture") << RenderParameters::defaults({1024, 700});
    // Odd client sizes put the picture's edges on half pixels.
    QTest::newRow("half-pixel edges") << smallPicture({1023, 699}, {41, 33});

    RenderParameters p = smallPicture({200, 150}, {60, 50});
    p.xrot = 90;
    p.yrot = 70;
    p.xblau = 120;
    p.yblau = 85;
    p.massOne = 30;
    p.massTwo = 7;
    p.massMoving = 80;
    p.radiusOne = 9;
    p.radiusTwo = 3;
    p.colorOne = 0x00A000;
    p.colorTwo = 0x123456;
    p.background = 0x202020;
    QTest::newRow("masses, radii and colours changed") << p;

    // Circles that cover part of the picture are painted over by the start points.
    p = smallPicture({120, 90}, {50, 40});
    p.xrot = 50;
    p.yrot = 45;
    p.xblau = 75;
    p.yblau = 40;
    p.radiusOne = 12;
    p.radiusTwo = 20;
    QTest::newRow("circles inside the picture") << p;

    // Masses on the surface's edges, their circles clipped.
    p = smallPicture({80, 60}, {30, 20});
    p.xrot = 0;
    p.yrot = 0;
    p.xblau = 80;
    p.yblau = 60;
    QTest::newRow("masses on the corners") << p;

    p = RenderParameters::defaults({1024, 700});
    p.stepLimit = 30;
    QTest::newRow("step limit leaves points unpainted") << p;
}

void RendererTest::matchesRun()
{
    QFETCH(RenderParameters, parameters);
    parameters.threads = 2;

    const RunResult expected = runOnSurface(parameters);
    Renderer renderer(parameters);
    const RenderSummary summary = renderer.render();

    QCOMPARE(renderer.surface().image(), expected.image);
    QCOMPARE(summary.points,
             std::int64_t(parameters.picture.width()) * parameters.picture.height());
    QCOMPARE(summary.capturedOne + summary.capturedTwo, expected.painted);
    QCOMPARE(summary.points - summary.neverCaptured, expected.painted);
    QCOMPARE(summary.steps, expected.steps);
    QCOMPARE(renderer.pointsDone(), summary.points);
}

void RendererTest::keepsEachStartPointsSteps_data()
{
    QTest::addColumn<RenderParameters>("parameters");
    QTest::newRow("default picture") << RenderParameters::defaults({1024, 700});
    RenderParameters p = smallPicture({200, 150}, {40, 30});
    p.stepLimit = 100;
    QTest::newRow("step limit") << p;
}

void RendererTest::keepsEachStartPointsSteps()
{
    QFETCH(RenderParameters, parameters);
    parameters.threads = 2;
    parameters.keepPointSteps = true;
    Renderer renderer(parameters);
    renderer.render();

    QCOMPARE(std::int64_t(renderer.pointSteps().size()), renderer.pointCount());
    QCOMPARE(std::int64_t(renderer.captures().size()), renderer.pointCount());
    for (std::int64_t i = 0; i < renderer.pointCount(); ++i) {
        sim::simstate s = parameters.state();
        s.xgreen = renderer.startPoint(i).x;
        s.ygreen = renderer.startPoint(i).y;
        const sim::TrajectoryResult expected =
            sim::trajectory(s, parameters.radiusOne, parameters.radiusTwo, parameters.stepLimit);
        QCOMPARE(renderer.captures()[std::size_t(i)], expected.capture);
        QCOMPARE(renderer.pointSteps()[std::size_t(i)], expected.steps);
    }
}

void RendererTest::sameForEveryThreadCount_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("2") << 2;
    QTest::newRow("3") << 3;
    QTest::newRow("8") << 8;
}

void RendererTest::sameForEveryThreadCount()
{
    QFETCH(int, threads);
    RenderParameters p = smallPicture({300, 200}, {120, 90});
    p.keepPointSteps = true;

    p.threads = 1;
    Renderer single(p);
    const RenderSummary one = single.render();
    p.threads = threads;
    Renderer several(p);
    const RenderSummary many = several.render();

    QCOMPARE(several.surface().image(), single.surface().image());
    QCOMPARE(several.pointSteps(), single.pointSteps());
    QCOMPARE(many.capturedOne, one.capturedOne);
    QCOMPARE(many.capturedTwo, one.capturedTwo);
    QCOMPARE(many.neverCaptured, one.neverCaptured);
    QCOMPARE(many.steps, one.steps);
}

void RendererTest::abandonedThenSharedPool()
{
    // Seconds of work on one thread, so that progress is reported before it is done.
    RenderParameters p = smallPicture({200, 150}, {200, 150});
    p.radiusOne = 1;
    p.threads = 1;
    QThreadPool pool;
    pool.setMaxThreadCount(2);

    Renderer abandoned(p);
    abandoned.render([&] { abandoned.abandon(); }, &pool);
    QVERIFY(abandoned.abandoned());
    QVERIFY(abandoned.pointsDone() < abandoned.pointCount());

    // The same workers then compute a whole picture, as a picture on workers of its own.
    p = smallPicture({300, 200}, {120, 90});
    p.threads = 2;
    Renderer shared(p);
    const RenderSummary summary = shared.render({}, &pool);
    Renderer own(p);
    own.render();
    QCOMPARE(shared.pointsDone(), shared.pointCount());
    QCOMPARE(shared.surface().image(), own.surface().image());
    QCOMPARE(summary.points, shared.pointCount());
}

void RendererTest::startPointsFollowTheScan_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QSize>("picture");
    QTest::newRow("whole edges") << QSize(1024, 700) << QSize(100, 80);
    QTest::newRow("half-pixel edges") << QSize(1023, 699) << QSize(40, 33);
    QTest::newRow("whole client") << QSize(64, 48) << QSize(64, 48);
    QTest::newRow("narrowest") << QSize(9, 7) << QSize(2, 2);
}

void RendererTest::startPointsFollowTheScan()
{
    QFETCH(QSize, client);
    QFETCH(QSize, picture);

    const Renderer renderer(smallPicture(client, picture));
    const std::vector<sim::StartPoint> scan =
        sim::startPoints(sim::centredPicture(float(client.width()), float(client.height()),
                                             float(picture.width()), float(picture.height())));
    QCOMPARE(renderer.pointCount(), std::int64_t(scan.size()));
    for (std::size_t i = 0; i < scan.size(); ++i) {
        const sim::StartPoint p = renderer.startPoint(std::int64_t(i));
        QCOMPARE(p.x, scan[i].x);
        QCOMPARE(p.y, scan[i].y);
    }
}

void RendererTest::defaultsFollowStartUp_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("xrot");
    QTest::addColumn<int>("xblau");
    QTest::addColumn<int>("y");

    QTest::newRow("1024x700") << QSize(1024, 700) << 502 << 522 << 350;
    // 501.5 and 521.5 round to even; 349.5 likewise.
    QTest::newRow("1023x699") << QSize(1023, 699) << 502 << 522 << 350;
    // Mass two's start value lies past the scrollbar's maximum, which keeps it at the edge.
    QTest::newRow("16x10") << QSize(16, 10) << 0 << 16 << 5;
    QTest::newRow("4000x300") << QSize(4000, 300) << 1990 << 2010 << 150;
}

void RendererTest::defaultsFollowStartUp()
{
    QFETCH(QSize, client);
    QFETCH(int, xrot);
    QFETCH(int, xblau);
    QFETCH(int, y);

    const RenderParameters p = RenderParameters::defaults(client);
    QCOMPARE(int(p.xrot), xrot);
    QCOMPARE(int(p.xblau), xblau);
    QCOMPARE(int(p.yrot), y);
    QCOMPARE(int(p.yblau), y);
    // Unless told otherwise, a render runs on every core.
    QCOMPARE(p.workers(), QThread::idealThreadCount());
}

void RendererTest::viewAtUnitSpacingIsTheReplica_data()
{
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<QSize>("size");
    // The replica's default rectangle holds the start points 462..561 by 310..389.
    QTest::newRow("inside the rectangle") << QPoint(470, 320) << QSize(60, 40);
    QTest::newRow("over its lower right corner") << QPoint(530, 370) << QSize(50, 30);
    QTest::newRow("the whole rectangle and more") << QPoint(450, 300) << QSize(130, 100);
}

void RendererTest::viewAtUnitSpacingIsTheReplica()
{
    QFETCH(QPoint, corner);
    QFETCH(QSize, size);
    RenderParameters p = RenderParameters::defaults({1024, 700});
    p.threads = 2;
    Renderer replica(p);
    replica.render();

    View v;
    v.x = corner.x();
    v.y = corner.y();
    v.width = size.width();
    v.height = size.height();
    p.view = v;
    p.client = p.picture = size;
    Renderer view(p);
    view.render();

    const QImage &picture = view.surface().image();
    QCOMPARE(picture.size(), size);
    const QRect startPoints(462, 310, 100, 80);
    int compared = 0;
    for (int j = 0; j < size.height(); ++j) {
        for (int i = 0; i < size.width(); ++i) {
            const QPoint at = corner + QPoint(i, j);
            if (!startPoints.contains(at)) {
                // No capture circle is drawn over a view: what lies outside the replica's
                // rectangle is computed too.
                continue;
            }
            QCOMPARE(picture.pixel(i, j), replica.surface().image().pixel(at));
            ++compared;
        }
    }
    QVERIFY(compared >= 30 * 20);
}

QTEST_GUILESS_MAIN(RendererTest)
#include "tst_renderer.moc"
