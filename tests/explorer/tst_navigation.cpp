#include "explorer/viewwidget.h"
#include "tests/common/explorertest.h"

#include <QTest>

#include <cmath>
#include <cstring>

using explorertest::Finished;

Q_DECLARE_METATYPE(Viewport)

/// Where pans, resizes, fitting and zooms take the view, and what the picture then shows.
class NavigationTest : public QObject
{
    Q_OBJECT

private slots:
    void panAndBack_data();
    void panAndBack();
    void resizeKeepsTheTopLeft();
    void centredKeepsTheMiddle_data();
    void centredKeepsTheMiddle();
    void fittingHoldsThePlane_data();
    void fittingHoldsThePlane();
    void zoomInAndOutKeepsThePicture();
    void zoomComputesAfresh();
    void shadingComputesSteps();
};

namespace {

/// Whether every column and row of a and b starts at bitwise the same point.
bool sameStartPoints(const Viewport &a, const Viewport &b)
{
    const View u = a.toView();
    const View v = b.toView();
    if (a.size != b.size)
        return false;
    for (int i = 0; i < a.size.width(); ++i) {
        const float p = u.columnX(i), q = v.columnX(i);
        if (std::memcmp(&p, &q, sizeof p) != 0)
            return false;
    }
    for (int j = 0; j < a.size.height(); ++j) {
        const double p = u.rowY(j), q = v.rowY(j);
        if (std::memcmp(&p, &q, sizeof p) != 0)
            return false;
    }
    return true;
}

/// A drag of the view by d device pixels, from a corner away from the masses.
void drag(ViewWidget &view, QPoint d)
{
    const QPoint from(80, 60);
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    QTest::mouseMove(&view, from + d);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, from + d);
}

/// The finished picture of the window's latest request; false when none came within a minute.
bool settle(ExplorerWindow &window, const Finished &finished)
{
    return QTest::qWaitFor([&] { return finished.last.request == window.computer().latest(); },
                           60000);
}

} // namespace

void NavigationTest::panAndBack_data()
{
    QTest::addColumn<QPoint>("toward"); // where the start points come from: the keys' direction
    QTest::addColumn<bool>("byDrag");   // else by arrow keys
    for (const bool byDrag : {false, true}) {
        const char *how = byDrag ? "drag" : "key";
        QTest::addRow("%s right", how) << QPoint(1, 0) << byDrag;
        QTest::addRow("%s left", how) << QPoint(-1, 0) << byDrag;
        QTest::addRow("%s up", how) << QPoint(0, -1) << byDrag;
        QTest::addRow("%s down", how) << QPoint(0, 1) << byDrag;
    }
}

void NavigationTest::panAndBack()
{
    QFETCH(QPoint, toward);
    QFETCH(bool, byDrag);
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(640, 400)));
    ViewWidget &view = window.view();
    const Viewport before = window.place().view;
    const auto key = [&](QPoint d) {
        QTest::keyClick(&view, d.x() > 0   ? Qt::Key_Right
                               : d.x() < 0 ? Qt::Key_Left
                               : d.y() < 0 ? Qt::Key_Up
                                           : Qt::Key_Down);
    };
    // A drag carries the plane with the cursor: dragged left, the view shows what lay right.
    if (byDrag)
        drag(view, -30 * toward);
    else
        key(toward);
    const Viewport moved = window.place().view;
    const QPointF shift = QPointF(moved.x - before.x, moved.y - before.y) / before.spacing;
    QCOMPARE(moved.spacing, before.spacing);
    if (byDrag)
        QCOMPARE(shift, QPointF(30 * toward));
    else // some whole number of points that way, none across
        QVERIFY2(shift.x() * toward.x() + shift.y() * toward.y() >= 1 &&
                     shift.x() * toward.y() == shift.y() * toward.x(),
                 qPrintable(QStringLiteral("by (%1, %2)").arg(shift.x()).arg(shift.y())));
    QVERIFY(shift.x() == std::round(shift.x()) && shift.y() == std::round(shift.y()));

    if (byDrag)
        drag(view, 30 * toward);
    else
        key(-toward);
    QVERIFY(sameStartPoints(window.place().view, before));
}

void NavigationTest::resizeKeepsTheTopLeft()
{
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(640, 400)));
    const Viewport before = window.place().view;
    window.resize(800, 470);
    QVERIFY(QTest::qWaitFor([&] { return window.view().deviceSize() != before.size; }, 10000));
    const Viewport after = window.place().view;
    QCOMPARE(after.size, window.view().deviceSize());
    QVERIFY(sameStartPoints(after.resized(before.size), before));
}

void NavigationTest::centredKeepsTheMiddle_data()
{
    QTest::addColumn<Viewport>("view");
    QTest::addColumn<QSize>("size");
    QTest::newRow("wider and taller")
        << Viewport{480, 330, 0.25, QSize(160, 120)} << QSize(400, 161);
    QTest::newRow("narrower and lower")
        << Viewport{-3, 17.5, 1.5, QSize(300, 200)} << QSize(41, 99);
    QTest::newRow("one point more")
        << Viewport{500, 340, 0x1p-10 * 17, QSize(64, 64)} << QSize(65, 63);
}

void NavigationTest::centredKeepsTheMiddle()
{
    QFETCH(Viewport, view);
    QFETCH(QSize, size);
    const Viewport c = view.centred(size);
    QCOMPARE(c.size, size);
    QCOMPARE(c.spacing, view.spacing);
    // The middle moves at most half a grid unit, to the grid.
    const double unit = gridUnit(view.spacing);
    const QPointF middle(view.x + view.size.width() * view.spacing / 2,
                         view.y + view.size.height() * view.spacing / 2);
    const QPointF now(c.x + size.width() * c.spacing / 2, c.y + size.height() * c.spacing / 2);
    QVERIFY2(std::abs(now.x() - middle.x()) <= unit / 2 &&
                 std::abs(now.y() - middle.y()) <= unit / 2,
             qPrintable(QStringLiteral("(%1, %2)").arg(now.x()).arg(now.y())));
}

void NavigationTest::fittingHoldsThePlane_data()
{
    QTest::addColumn<QRectF>("plane");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("spacing"); // the finest m x 2^e (m 16 to 31) that holds it, by hand
    QTest::newRow("exactly 25/16") << QRectF(10, 20, 100, 10) << QSize(64, 48) << 1.5625;
    // 101 / 64 = 25.25 / 16: 25 / 16 would crop it.
    QTest::newRow("just over 25/16") << QRectF(10, 20, 101, 10) << QSize(64, 48) << 1.625;
    // 3.1 / 10 = 19.84 / 64.
    QTest::newRow("rounds up") << QRectF(-5, 0, 3.1, 1) << QSize(10, 10) << 0.3125;
    // 50 / 100 by height; 31.6 / 32 across the next power of two.
    QTest::newRow("by height") << QRectF(0, 0, 10, 50) << QSize(100, 100) << 0.5;
    QTest::newRow("into the next power") << QRectF(0, 0, 31.6, 1) << QSize(32, 32) << 1.0;
}

void NavigationTest::fittingHoldsThePlane()
{
    QFETCH(QRectF, plane);
    QFETCH(QSize, size);
    QFETCH(double, spacing);
    const Viewport v = Viewport::fitting(plane, size);
    QCOMPARE(v.spacing, spacing);
    QCOMPARE(v.size, size);
    const QRectF shown(v.x, v.y, size.width() * v.spacing, size.height() * v.spacing);
    QVERIFY2(shown.contains(plane), qPrintable(QStringLiteral("%1, %2").arg(v.x).arg(v.y)));
}

void NavigationTest::zoomInAndOutKeepsThePicture()
{
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(640, 400)));
    Finished finished(window.computer());
    QVERIFY2(settle(window, finished), "no picture at home");
    const Viewport before = window.place().view;
    const QImage picture = window.view().image();
    window.view().zoomBy(1 / ViewWidget::zoomStep);
    QVERIFY(window.place().view.spacing < before.spacing);
    window.view().zoomBy(ViewWidget::zoomStep);
    QVERIFY2(settle(window, finished), "no picture after the zooms");
    QVERIFY(sameStartPoints(window.place().view, before));
    QVERIFY(window.view().image() == picture);
}

void NavigationTest::zoomComputesAfresh()
{
    // Masses near the origin, and views whose grids start there: the zoomed view's start
    // points are numbered as the earlier one's, but lie elsewhere.
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(640, 400)));
    Finished finished(window.computer());
    Place place = window.place();
    place.scene.trajectory.masses[0] = {10, 8, 10, 2};
    place.scene.trajectory.masses[1] = {22, 17, 10, 2};
    place.scene.trajectory.stepLimit = 5000;
    place.scene.shade = true;
    place.view = Viewport{0, 0, 0.5, QSize(64, 48)};
    QVERIFY(window.go(place));
    QVERIFY2(settle(window, finished), "no picture before the zoom");
    window.view().zoomBy(0.5);
    QVERIFY2(settle(window, finished), "no picture after the zoom");

    PassComputer fresh;
    Finished computed(fresh);
    fresh.request(window.place().view, window.place().scene);
    QVERIFY2(QTest::qWaitFor([&] { return computed.last.request == 1; }, 60000),
             "no fresh picture");
    QCOMPARE(window.place().view.spacing, 0.25);
    QVERIFY(window.view().image() == computed.last.image);
}

void NavigationTest::shadingComputesSteps()
{
    // Unshaded passes keep no step counts: shading turned on needs them computed.
    PassComputer computer;
    Finished finished(computer);
    const Viewport view{480, 330, 0.25, QSize(80, 60)};
    Scene shaded;
    shaded.shade = true;
    computer.request(view, Scene());
    QVERIFY2(QTest::qWaitFor([&] { return finished.last.request == 1; }, 60000), "no picture");
    computer.request(view, shaded);
    PassComputer fresh;
    Finished computed(fresh);
    fresh.request(view, shaded);
    QVERIFY2(QTest::qWaitFor(
                 [&] { return finished.last.request == 2 && computed.last.request == 1; }, 60000),
             "no pictures");
    QVERIFY(finished.last.image == computed.last.image);
}

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
