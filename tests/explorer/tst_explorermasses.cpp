#include "tests/common/explorerfixture.h"
#include "tests/common/rendertool.h"

#include "explorer/parameterdock.h"
#include "explorer/viewwidget.h"

#include "picture/surface.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cmath>

/// The explorer with any number of fixed masses: adding and deleting them, dragging them, and
/// what it computes, keeps and writes of them.
class ExplorerMassesTest : public QObject
{
    Q_OBJECT

private slots:
    void addAndDeleteKeepLimits_data();
    void addAndDeleteKeepLimits();
    void laterMassDragged();
    void pictureEqualsRenderer_data();
    void pictureEqualsRenderer();
    void statisticsRowsFollowMasses_data();
    void statisticsRowsFollowMasses();
    void historyRestoresMasses();
};

namespace {

/// count masses on a ring around the default middle, where the view shows them.
Place ringOf(int count, const Place &from)
{
    Place place = from;
    Scene &scene = place.scene;
    while (scene.trajectory.masses.size() > 1)
        scene.removeMass(int(scene.trajectory.masses.size()) - 1);
    for (int k = 0; k < count; ++k) {
        const double angle = 6.283185307179586 * k / count;
        const FixedMass m{std::int16_t(512 + std::lround(14 * std::cos(angle))),
                          std::int16_t(350 + std::lround(14 * std::sin(angle))),
                          std::int16_t(10 + 3 * k), 4};
        if (k == 0)
            scene.trajectory.masses[0] = m;
        else
            scene.addMass(m);
    }
    place.view = Viewport::fitting(QRectF(482, 320, 60, 60), from.view.size);
    return place;
}

QPushButton *button(ExplorerWindow &window, const char *name)
{
    return window.findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

void ExplorerMassesTest::addAndDeleteKeepLimits_data()
{
    QTest::addColumn<int>("adds");
    QTest::addColumn<int>("deletes");
    QTest::addColumn<int>("masses");
    QTest::newRow("sixteen at most") << 17 << 0 << 16;
    QTest::newRow("one at least") << 0 << 3 << 1;
    QTest::newRow("one added, two deleted") << 1 << 2 << 1;
}

void ExplorerMassesTest::addAndDeleteKeepLimits()
{
    QFETCH(int, adds);
    QFETCH(int, deletes);
    QFETCH(int, masses);
    ShownExplorer shown;
    QVERIFY(shown.exposed());
    ExplorerWindow &window = shown.window;
    for (int k = 0; k < adds; ++k)
        button(window, "addMass")->click();
    for (int k = 0; k < deletes; ++k)
        button(window, "deleteMass")->click();

    const Scene &scene = window.place().scene;
    QCOMPARE(int(scene.trajectory.masses.size()), masses);
    QCOMPARE(int(scene.colours.size()), masses);
    QCOMPARE(button(window, "addMass")->isEnabled(), masses < 16);
    QCOMPARE(button(window, "deleteMass")->isEnabled(), masses > 1);
    if (adds > 0 && deletes == 0) { // the last one added at the view's middle
        const Viewport &v = window.place().view;
        const QPointF middle = v.plane(QPointF(v.size.width() / 2.0, v.size.height() / 2.0));
        QCOMPARE(int(scene.trajectory.masses.back().x), int(std::lround(middle.x())));
        QCOMPARE(int(scene.trajectory.masses.back().y), int(std::lround(middle.y())));
    }
}

void ExplorerMassesTest::laterMassDragged()
{
    ShownExplorer shown;
    QVERIFY(shown.exposed());
    ExplorerWindow &window = shown.window;
    QVERIFY(window.go(ringOf(3, window.place())));
    const FixedMass second = window.place().scene.trajectory.masses[1];
    const FixedMass third = window.place().scene.trajectory.masses[2];
    ViewWidget &view = window.view();
    const Viewport before = window.place().view;
    const QPoint from = before.device(QPointF(third.x, third.y)).toPoint();
    const QPoint to = from + QPoint(40, -30);
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    QTest::mouseMove(&view, to);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, to);

    QVERIFY(window.place().view == before); // a mass dragged, not the view
    const QPointF reached = before.plane(QPointF(to));
    const FixedMass moved = window.place().scene.trajectory.masses[2];
    QCOMPARE(int(moved.x), int(std::lround(reached.x())));
    QCOMPARE(int(moved.y), int(std::lround(reached.y())));
    QVERIFY(window.place().scene.trajectory.masses[1] == second);
    QCOMPARE(window.findChild<QSpinBox *>(QStringLiteral("three-x"))->value(), int(moved.x));
}

void ExplorerMassesTest::pictureEqualsRenderer_data()
{
    QTest::addColumn<int>("masses");
    QTest::addColumn<bool>("shade");
    QTest::addColumn<QString>("by"); // what gives the renderer the view
    QTest::newRow("three, command line") << 3 << false << "command line";
    QTest::newRow("one, command line, shaded") << 1 << true << "command line";
    QTest::newRow("five, view file, shaded") << 5 << true << "view file";
    QTest::newRow("four, saved picture") << 4 << false << "saved picture";
}

void ExplorerMassesTest::pictureEqualsRenderer()
{
    QFETCH(int, masses);
    QFETCH(bool, shade);
    QFETCH(QString, by);
    QTemporaryDir dir;
    ShownExplorer shown;
    QVERIFY(shown.exposed());
    ExplorerWindow &window = shown.window;
    FinishedPass finished(window.computer());
    Place place = ringOf(masses, window.place());
    place.scene.shade = shade;
    QVERIFY(window.go(place));
    QTRY_VERIFY_WITH_TIMEOUT(finished.last.request == window.computer().latest(), 60000);

    const QString mine = dir.filePath(QStringLiteral("mine.png"));
    const QString theirs = dir.filePath(QStringLiteral("theirs.png"));
    if (by == QStringLiteral("saved picture")) {
        PictureSaver saver;
        bool saved = false;
        connect(&saver, &PictureSaver::finished, this, [&](bool ok) { saved = ok; });
        QVERIFY(saver.start(window.place(), mine));
        QTRY_VERIFY_WITH_TIMEOUT(saved, 60000);
    } else {
        QVERIFY(writeImageFile(window.view().image(), mine, "PNG"));
    }
    window.findChild<QAction *>(QStringLiteral("copyCommandLine"))->trigger();
    QString line = QApplication::clipboard()->text().replace(QStringLiteral(" view.png"),
                                                             QStringLiteral(" ") + theirs);
    QCOMPARE(line.contains(QStringLiteral("--mass ")), masses != 2);
    if (by == QStringLiteral("view file")) {
        const QString view = dir.filePath(QStringLiteral("view.json"));
        QVERIFY(window.saveView(view));
        line = QStringLiteral("velmora-render --view-file %1 %2").arg(view, theirs);
    }
    const QByteArray rendered = renderedByShell(line, theirs);
    QVERIFY(!rendered.isEmpty());
    QVERIFY(fileBytes(mine) == rendered);
}

void ExplorerMassesTest::statisticsRowsFollowMasses_data()
{
    QTest::addColumn<int>("masses");
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
    QTest::newRow("seven") << 7;
}

void ExplorerMassesTest::statisticsRowsFollowMasses()
{
    QFETCH(int, masses);
    ShownExplorer shown;
    QVERIFY(shown.exposed());
    ExplorerWindow &window = shown.window;
    Place place = ringOf(masses, window.place());
    place.scene.trajectory.stepLimit = 20000; // every start point known soon
    QVERIFY(window.go(place));
    auto *dock = window.findChild<QDockWidget *>(QStringLiteral("statistics"));
    const auto labels = [dock](const QString &pattern) {
        return dock->findChildren<QLabel *>(QRegularExpression(pattern));
    };
    QLabel *note = labels(QStringLiteral("^statisticsNote$")).front();
    QTRY_VERIFY_WITH_TIMEOUT(!labels(QStringLiteral("^points$")).front()->text().isEmpty() &&
                                 note->isHidden(),
                             60000);

    QCOMPARE(labels(QStringLiteral("^share-")).size(), masses);
    QCOMPARE(labels(QStringLiteral("^steps-")).size(), masses);
    const QList<QLabel *> meet = labels(QStringLiteral("^(meet|notWada)$"));
    QCOMPARE(meet.size(), masses >= 3 ? 2 : 0);
    // 1: ... up to masses: ..., every basin count's share.
    if (masses >= 3)
        QVERIFY(meet.front()->text().contains(QStringLiteral("%1:").arg(masses)));
}

void ExplorerMassesTest::historyRestoresMasses()
{
    ShownExplorer shown;
    QVERIFY(shown.exposed());
    ExplorerWindow &window = shown.window;
    const Scene before = window.place().scene;
    button(window, "addMass")->click();
    window.remember(); // as once the change settles
    const Scene added = window.place().scene;
    QCOMPARE(int(added.trajectory.masses.size()), 3);
    const auto groups = [&window] {
        return window.findChildren<QWidget *>(QRegularExpression(QStringLiteral("^mass-.*-group$")))
            .size();
    };

    window.findChild<QAction *>(QStringLiteral("back"))->trigger();
    QVERIFY(window.place().scene == before);
    QCOMPARE(groups(), 2);
    window.findChild<QAction *>(QStringLiteral("forward"))->trigger();
    QVERIFY(window.place().scene == added);
    QCOMPARE(groups(), 3);
}

QTEST_MAIN(ExplorerMassesTest)
#include "tst_explorermasses.moc"
