#include "explorer/explorerwindow.h"
#include "explorer/massframe.h"
#include "explorer/pendingpattern.h"
#include "explorer/viewwidget.h"
#include "tests/common/explorerfixture.h"
#include "tests/common/explorertest.h"
#include "tests/common/rendertool.h"

#include "picture/surface.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

class ExplorerTest : public QObject
{
    Q_OBJECT

private slots:
    void finishedViewEqualsRenderer_data();
    void finishedViewEqualsRenderer();
    void panComputesOnlyNewPoints();
    void lastRequestWins();
    void passesGoOnPastLongTrajectories();
    void historySurvivesResizes();
    void homeShowsEveryMass_data();
    void homeShowsEveryMass();
    void arrowTowardMass_data();
    void arrowTowardMass();
    void zoomLimit_data();
    void zoomLimit();
};

using explorertest::Finished;

namespace {

} // namespace

void ExplorerTest::finishedViewEqualsRenderer_data()
{
    QTest::addColumn<bool>("shade");
    QTest::addColumn<int>("zoomNotches");
    QTest::addColumn<QSize>("saveSize"); // empty: the view as shown
    QTest::addColumn<bool>("viewFile");  // the renderer reads a saved view file

    QTest::newRow("home") << false << 0 << QSize() << false;
    QTest::newRow("zoomed in, shaded") << true << 9 << QSize() << false;
    QTest::newRow("saved at another size") << false << 4 << QSize(301, 177) << false;
    QTest::newRow("through a view file, shaded") << true << 6 << QSize() << true;
}

void ExplorerTest::finishedViewEqualsRenderer()
{
    QFETCH(bool, shade);
    QFETCH(int, zoomNotches);
    QFETCH(QSize, saveSize);
    QFETCH(bool, viewFile);
    QTemporaryDir dir;
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(640, 400)));
    Finished finished(window.computer());

    Place place = window.home();
    place.scene.shade = shade;
    place.scene.trajectory.movingMass = 70;
    for (int i = 0; i < zoomNotches; ++i)
        place.view = place.view.zoomed(QPointF(100.5, 60.25), 1 / ViewWidget::zoomStep);
    QVERIFY(window.go(place));
    QTRY_VERIFY_WITH_TIMEOUT(finished.last.request == window.computer().latest(), 30000);

    const QString mine = dir.filePath(QStringLiteral("mine.bmp"));
    if (saveSize.isEmpty()) {
        QVERIFY(writeImageFile(window.view().image(), mine, "BMP"));
    } else {
        PictureSaver saver;
        Place bigger = window.place();
        bigger.view = Viewport::fitting(QRectF(bigger.view.x, bigger.view.y,
                                               bigger.view.size.width() * bigger.view.spacing,
                                               bigger.view.size.height() * bigger.view.spacing),
                                        saveSize);
        bool ok = false;
        connect(&saver, &PictureSaver::finished, this, [&](bool done) { ok = done; });
        QVERIFY(saver.start(bigger, mine));
        QTRY_VERIFY_WITH_TIMEOUT(ok, 30000);
        window.go(bigger);
    }
    const QString theirs = dir.filePath(QStringLiteral("theirs.bmp"));
    const QString view = dir.filePath(QStringLiteral("view.json"));
    QVERIFY(!viewFile || window.saveView(view));
    const QByteArray rendered = renderedByShell(
        viewFile ? QStringLiteral("velmora-render --view-file %1 %2").arg(view, theirs)
                 : window.commandLine(theirs),
        theirs);
    QVERIFY(!rendered.isEmpty());
    QVERIFY(fileBytes(mine) == rendered);
}

void ExplorerTest::panComputesOnlyNewPoints()
{
    PassComputer computer;
    Finished finished(computer);
    const Viewport view{480, 330, 0.25, QSize(160, 120)};
    Scene shaded; // the kept points need their steps too
    shaded.shade = true;
    computer.request(view, shaded);
    QTRY_VERIFY_WITH_TIMEOUT(finished.last.request == 1, 30000);
    const std::int64_t before = computer.pointsComputed();
    QCOMPARE(before, 160 * 120);

    const Viewport panned = view.panned(50, -7);
    computer.request(panned, shaded);
    QTRY_VERIFY_WITH_TIMEOUT(finished.last.request == 2, 30000);
    QCOMPARE(computer.pointsComputed() - before, 160 * 120 - 110 * 113);

    // The kept points are painted as when computed afresh.
    PassComputer fresh;
    Finished freshFinished(fresh);
    fresh.request(panned, shaded);
    QTRY_VERIFY_WITH_TIMEOUT(freshFinished.last.request == 1, 30000);
    QVERIFY(finished.last.image == freshFinished.last.image);
}

void ExplorerTest::lastRequestWins()
{
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(640, 400)));
    Finished finished(window.computer());
    QTRY_VERIFY_WITH_TIMEOUT(finished.last.request != 0, 30000);

    // Passes of the first requests are handed over while the GUI thread is busy: they wait in
    // its queue until every request has been made.
    Place place = window.place();
    const Viewport shownBefore = window.view().imageView();
    bool allMade = false;
    bool stale = false;
    QObject watcher;
    connect(&window.computer(), &PassComputer::passReady, &watcher, [&] {
        const Viewport shown = window.view().imageView();
        stale = stale || (allMade && shown != shownBefore && shown != place.view);
    });
    for (int i = 0; i < 4; ++i) {
        place.view = place.view.zoomed(QPointF(37, 80), 0.5);
        window.go(place);
        QThread::msleep(150);
    }
    allMade = true;
    QTRY_VERIFY_WITH_TIMEOUT(finished.last.request == window.computer().latest(), 30000);
    QVERIFY(!stale);
    QVERIFY(window.view().imageView() == place.view);
}

void ExplorerTest::passesGoOnPastLongTrajectories()
{
    // Capture radii of 1: most trajectories here run far longer than the passes follow them.
    Scene scene;
    for (FixedMass &m : scene.trajectory.masses)
        m.radius = 1;
    scene.trajectory.stepLimit = 50000;
    PassComputer computer(2);
    std::vector<PassResult> results;
    QObject context;
    connect(&computer, &PassComputer::passReady, &context,
            [&](const PassResult &r) { results.push_back(r); });
    computer.request(Viewport{497, 340, 1, QSize(30, 20)}, scene);
    QTRY_VERIFY_WITH_TIMEOUT(!results.empty() && results.back().finished, 60000);

    // The finest pass came while long trajectories still ran, each drawn as pending, never as
    // an outcome; every other point as in the exact picture.
    const auto passes = std::find_if(results.begin(), results.end(), [](const PassResult &r) {
        return r.level == 1 && r.pending > 0;
    });
    QVERIFY(passes != results.end());
    const QImage &exact = results.back().image;
    std::int64_t striped = 0;
    for (int j = 0; j < exact.height(); ++j) {
        for (int i = 0; i < exact.width(); ++i) {
            if (passes->image.pixel(i, j) == exact.pixel(i, j))
                continue;
            QCOMPARE(passes->image.pixel(i, j), pendingColour(i, j));
            ++striped;
        }
    }
    QCOMPARE(striped, passes->pending);
}

void ExplorerTest::historySurvivesResizes()
{
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(640, 400)));
    auto *back = window.findChild<QAction *>(QStringLiteral("back"));
    auto *forward = window.findChild<QAction *>(QStringLiteral("forward"));
    std::vector<Place> visited{window.place()};
    const auto zoom = [&] {
        window.view().zoomBy(1 / ViewWidget::zoomStep);
        window.remember();
        visited.push_back(window.place());
    };
    const auto shownAs = [&](std::size_t k) {
        return Place{visited[k].view.centred(window.view().deviceSize()), visited[k].scene};
    };
    zoom();
    zoom();
    zoom();
    const QSize before = window.view().deviceSize();
    window.resize(800, 520);
    QTRY_VERIFY(window.view().deviceSize() != before);
    visited.back() = window.place(); // the same place at the new size
    back->trigger();
    QVERIFY(window.place() == shownAs(2));
    forward->trigger();
    zoom();

    back->trigger();
    back->trigger();
    QVERIFY(window.place() == shownAs(2));
    forward->trigger();
    forward->trigger();
    QVERIFY(window.place() == shownAs(4));
    QVERIFY(!forward->isEnabled());
    for (int k = 0; k < 4; ++k)
        back->trigger();
    QVERIFY(window.place() == shownAs(0));
    QVERIFY(!back->isEnabled());
    QVERIFY(forward->isEnabled());
}

void ExplorerTest::homeShowsEveryMass_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("home") << QStringLiteral("home");
    QTest::newRow("show all masses") << QStringLiteral("showAllMasses");
}

void ExplorerTest::homeShowsEveryMass()
{
    QFETCH(QString, action);
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(640, 400)));
    // Masses far apart and away from a small view, every parameter changed.
    Place place = explorertest::fitting(window, QRectF(600, 100, 4, 3));
    place.scene.trajectory.masses[0] = {300, 200, 40, 20};
    place.scene.trajectory.masses[1] = {900, 640, 70, 12};
    place.scene.trajectory.movingMass = 70;
    place.scene.shade = true;
    QVERIFY(window.go(place));
    window.findChild<QAction *>(action)->trigger();

    const Place &shown = window.place();
    QVERIFY(shown.scene == place.scene);
    const QRectF inner = QRectF(QPointF(0, 0), QSizeF(shown.view.size)).adjusted(2, 2, -2, -2);
    for (const FixedMass &m : shown.scene.trajectory.masses) {
        const QPointF a = shown.view.device(QPointF(m.x - m.radius, m.y - m.radius));
        const QPointF b = shown.view.device(QPointF(m.x + m.radius, m.y + m.radius));
        QVERIFY(inner.contains(a) && inner.contains(b));
    }
    if (action == QStringLiteral("showAllMasses"))
        QVERIFY(inner.contains(shown.view.device(QPointF(600, 100))));
    else // no more than the masses and a margin: the view is not wider than it needs be
        QVERIFY(shown.view.spacing * shown.view.size.width() < 2 * (900 + 12 - (300 - 20)));
}

void ExplorerTest::arrowTowardMass_data()
{
    QTest::addColumn<QPointF>("mass");
    QTest::addColumn<QPointF>("arrow"); // (-1, -1): none
    // A view of 200 x 100, arrows 10 in from its edges.
    QTest::newRow("right") << QPointF(500, 50) << QPointF(190, 50);
    QTest::newRow("above, to the left") << QPointF(-100, -50) << QPointF(20, 10);
    QTest::newRow("below") << QPointF(100, 400) << QPointF(100, 90);
    QTest::newRow("in sight") << QPointF(20, 90) << QPointF(-1, -1);
}

void ExplorerTest::arrowTowardMass()
{
    QFETCH(QPointF, mass);
    QFETCH(QPointF, arrow);
    const std::optional<QPointF> at = edgeArrow(QRectF(0, 0, 200, 100), mass, 10);
    QCOMPARE(at.value_or(QPointF(-1, -1)), arrow);
}

void ExplorerTest::zoomLimit_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("gap"); // between neighbouring singles there
    QTest::newRow("near 500, singles 2^-15 apart") << 500.0 << 0x1p-15;
    QTest::newRow("near 3, singles 2^-22 apart") << 3.0 << 0x1p-22;
    QTest::newRow("near 9000, singles 2^-10 apart") << 9000.0 << 0x1p-10;
}

void ExplorerTest::zoomLimit()
{
    QFETCH(double, x);
    QFETCH(double, gap);
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(400, 300)));
    QVERIFY(window.go(explorertest::fitting(window, QRectF(x, 350, 1, 1))));
    window.statusBar()->clearMessage(); // the first start's hint
    for (int i = 0; i < 200 && window.statusBar()->currentMessage().isEmpty(); ++i)
        window.view().zoomBy(1 / ViewWidget::zoomStep);

    QVERIFY2(window.statusBar()->currentMessage().contains(QStringLiteral("single precision")),
             qPrintable(window.statusBar()->currentMessage()));
    const Viewport v = window.place().view;
    QVERIFY(v.refusal().isEmpty());
    window.view().zoomBy(1 / ViewWidget::zoomStep);
    QVERIFY(window.place().view == v);
    // As near to the distance between neighbouring singles as the grid of spacings comes.
    QVERIFY2(v.spacing >= gap && v.spacing < 2 * gap, qPrintable(QString::number(v.spacing)));
    // One grid step finer is refused: the zoom went as far as the grid allows.
    const double unit = gridUnit(v.spacing);
    const double finer = v.spacing - (v.spacing / unit > 16 ? unit : unit / 2);
    QVERIFY(!v.at(QPointF(v.size.width() / 2, v.size.height() / 2), finer).refusal().isEmpty());
}

QTEST_MAIN(ExplorerTest)
#include "tst_explorer.moc"
