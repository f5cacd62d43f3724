#include "tests/common/fakehost.h"
#include "tests/common/replicastate.h"

#include "render/measures.h"
#include "render/renderer.h"
#include "sim/defaults.h"
#include "sim/run.h"
#include "sim/scan.h"

#include <QTest>
#include <QThread>

#include <tuple>

Q_DECLARE_METATYPE(RenderParameters)

namespace {

RenderParameters smallPicture(QSize client, QSize picture)
{
    RenderParameters p = RenderParameters::defaults(client);
    p.framing.picture = picture;
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
    Surface surface(p.framing.client, p.scene.background);
    const sim::Rect picture =
        sim::centredPicture(float(p.framing.client.width()), float(p.framing.client.height()),
                            float(p.framing.picture.width()), float(p.framing.picture.height()));
    FakeHost host;
    host.rect = picture;
    host.radiusOne = p.scene.trajectory.masses[0].radius;
    host.radiusTwo = p.scene.trajectory.masses[1].radius;
    sim::simstate s = replicaState(p.scene.trajectory);
    s.colorrot = p.scene.colours[0];
    s.colorblau = p.scene.colours[1];
    sim::run(s, host, surface, p.scene.trajectory.stepLimit);
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
    void measuresAbandoned();
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
    p.scene.trajectory.masses[0].x = 90;
    p.scene.trajectory.masses[0].y = 70;
    p.scene.trajectory.masses[1].x = 120;
    p.scene.trajectory.masses[1].y = 85;
    p.scene.trajectory.masses[0].weight = 30;
    p.scene.trajectory.masses[1].weight = 7;
    p.scene.trajectory.movingMass = 80;
    p.scene.trajectory.masses[0].radius = 9;
    p.scene.trajectory.masses[1].radius = 3;
    p.scene.colours[0] = 0x00A000;
    p.scene.colours[1] = 0x123456;
    p.scene.background = 0x202020;
    QTest::newRow("masses, radii and colours changed") << p;

    // Circles that cover part of the picture are painted over by the start points.
    p = smallPicture({120, 90}, {50, 40});
    p.scene.trajectory.masses[0].x = 50;
    p.scene.trajectory.masses[0].y = 45;
    p.scene.trajectory.masses[1].x = 75;
    p.scene.trajectory.masses[1].y = 40;
    p.scene.trajectory.masses[0].radius = 12;
    p.scene.trajectory.masses[1].radius = 20;
    QTest::newRow("circles inside the picture") << p;

    // Masses on the surface's edges, their circles clipped.
    p = smallPicture({80, 60}, {30, 20});
    p.scene.trajectory.masses[0].x = 0;
    p.scene.trajectory.masses[0].y = 0;
    p.scene.trajectory.masses[1].x = 80;
    p.scene.trajectory.masses[1].y = 60;
    QTest::newRow("masses on the corners") << p;

    p = RenderParameters::defaults({1024, 700});
    p.scene.trajectory.stepLimit = 30;
    QTest::newRow("step limit leaves points unpainted") << p;
}

void RendererTest::matchesRun()
{
    QFETCH(RenderParameters, parameters);
    parameters.workers.threads = 2;

    const RunResult expected = runOnSurface(parameters);
    Renderer renderer(parameters);
    const RenderSummary summary = renderer.render();

    QCOMPARE(renderer.surface().image(), expected.image);
    QCOMPARE(summary.points,
             std::int64_t(parameters.framing.picture.width()) * parameters.framing.picture.height());
    QCOMPARE(summary.captured[0] + summary.captured[1], expected.painted);
    QCOMPARE(summary.points - summary.neverCaptured, expected.painted);
    QCOMPARE(summary.steps, expected.steps);
    QCOMPARE(renderer.pointsDone(), summary.points);
}

void RendererTest::keepsEachStartPointsSteps_data()
{
    QTest::addColumn<RenderParameters>("parameters");
    QTest::newRow("default picture") << RenderParameters::defaults({1024, 700});
    RenderParameters p = smallPicture({200, 150}, {40, 30});
    p.scene.trajectory.stepLimit = 100;
    QTest::newRow("step limit") << p;
}

void RendererTest::keepsEachStartPointsSteps()
{
    QFETCH(RenderParameters, parameters);
    parameters.workers.threads = 2;
    parameters.keepPointSteps = true;
    Renderer renderer(parameters);
    renderer.render();

    QCOMPARE(std::int64_t(renderer.pointSteps().size()), renderer.pointCount());
    QCOMPARE(std::int64_t(renderer.captures().size()), renderer.pointCount());
    for (std::int64_t i = 0; i < renderer.pointCount(); ++i) {
        const View &v = renderer.view();
        const sim::TrajectoryResult expected = replicaTrajectory(
            parameters.scene.trajectory, v.columnX(i % v.width), v.rowY(i / v.width));
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

    p.workers.threads = 1;
    Renderer single(p);
    const RenderSummary one = single.render();
    p.workers.threads = threads;
    Renderer several(p);
    const RenderSummary many = several.render();

    QCOMPARE(several.surface().image(), single.surface().image());
    QCOMPARE(several.pointSteps(), single.pointSteps());
    QCOMPARE(many.captured, one.captured);
    QCOMPARE(many.neverCaptured, one.neverCaptured);
    QCOMPARE(many.steps, one.steps);
}

void RendererTest::abandonedThenSharedPool()
{
    // Seconds of work on one thread, so that progress is reported before it is done.
    RenderParameters p = smallPicture({200, 150}, {200, 150});
    p.scene.trajectory.masses[0].radius = 1;
    p.workers.threads = 1;
    QThreadPool pool;
    pool.setMaxThreadCount(2);

    Renderer abandoned(p);
    abandoned.render([&] { abandoned.abandon(); }, &pool);
    QVERIFY(abandoned.abandoned());
    QVERIFY(abandoned.pointsDone() < abandoned.pointCount());

    // The same workers then compute a whole picture, as a picture on workers of its own.
    p = smallPicture({300, 200}, {120, 90});
    p.workers.threads = 2;
    Renderer shared(p);
    const RenderSummary summary = shared.render({}, &pool);
    Renderer own(p);
    own.render();
    QCOMPARE(shared.pointsDone(), shared.pointCount());
    QCOMPARE(shared.surface().image(), own.surface().image());
    QCOMPARE(summary.points, shared.pointCount());
}

void RendererTest::measuresAbandoned()
{
    // Many batches of quick points (half an hour in all); one batch of points that take hours.
    for (const auto &[movingMass, points, askedBefore] :
         {std::tuple{50, maxRandomPoints, 2}, std::tuple{32767, std::int64_t(10), 1}}) {
        RenderParameters p = smallPicture({1024, 700}, {20, 16});
        p.scene.trajectory.movingMass = std::int16_t(movingMass);
        p.scene.trajectory.masses[0].weight = p.scene.trajectory.masses[1].weight = 1;
        int asked = 0;
        Statistics statistics;
        QVERIFY(!addRandomMeasures(statistics, p, {points, points, 1}, nullptr,
                                   [&] { return ++asked > askedBefore; }));
        QVERIFY(!statistics.uncertainty && !statistics.sample);
    }
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
        const View &v = renderer.view();
        QCOMPARE(v.columnX(std::int64_t(i) % v.width), scan[i].x);
        QCOMPARE(v.rowY(std::int64_t(i) / v.width), double(scan[i].y));
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
    QCOMPARE(int(p.scene.trajectory.masses[0].x), xrot);
    QCOMPARE(int(p.scene.trajectory.masses[1].x), xblau);
    QCOMPARE(int(p.scene.trajectory.masses[0].y), y);
    QCOMPARE(int(p.scene.trajectory.masses[1].y), y);
    // Unless told otherwise, a render runs on every core.
    QCOMPARE(p.workers.count(), QThread::idealThreadCount());
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
    p.workers.threads = 2;
    Renderer replica(p);
    replica.render();

    View v;
    v.x = corner.x();
    v.y = corner.y();
    v.width = size.width();
    v.height = size.height();
    p.framing.view = v;
    p.framing.client = p.framing.picture = size;
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
