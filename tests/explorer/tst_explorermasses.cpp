#include "tests/common/explorerfixture.h"
#include "tests/common/rendertool.h"

#include "explorer/explorerwindow.h"
#include "explorer/viewwidget.h"

#include "picture/surface.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

/// The explorer with any number of fixed masses: adding, deleting and dragging them, and what
/// it computes, keeps and writes of them.
class ExplorerMassesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void addAndDeleteKeepLimits_data();
    void addAndDeleteKeepLimits();
    void laterMassDragged();
    void pictureEqualsRenderer_data();
    void pictureEqualsRenderer();
    void historyRestoresMasses();

private:
    QPushButton *button(const char *name) { return window_->findChild<QPushButton *>(name); }
    QList<QLabel *> labels(const QString &pattern)
    {
        return window_->findChildren<QLabel *>(QRegularExpression(pattern));
    }
    /// Goes to count masses in a row through the default middle, with a step limit that lets
    /// every start point end soon; true once the statistics are complete, after the last pass.
    bool showRow(int count, bool shade = false);

    std::unique_ptr<ExplorerWindow> window_;
};

void ExplorerMassesTest::init()
{
    window_ = std::make_unique<ExplorerWindow>();
    window_->resize(640, 400);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

bool ExplorerMassesTest::showRow(int count, bool shade)
{
    Place place = window_->place();
    Scene &scene = place.scene;
    scene.shade = shade;
    scene.trajectory.stepLimit = 5000;
    scene.trajectory.masses.clear();
    scene.colours.clear();
    for (int k = 0; k < count; ++k)
        scene.addMass({std::int16_t(500 + 6 * k), std::int16_t(346 + 9 * (k % 2)),
                       std::int16_t(10 + 3 * k), 4});
    place.view = Viewport::fitting(QRectF(482, 320, 60, 60), place.view.size);
    QLabel *note = labels(QStringLiteral("^statisticsNote$")).front();
    return window_->go(place) &&
           QTest::qWaitFor(
               [&] {
                   return !labels(QStringLiteral("^points$")).front()->text().isEmpty() &&
                          note->isHidden();
               },
               60000);
}

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
    for (int k = 0; k < adds; ++k)
        button("addMass")->click();
    for (int k = 0; k < deletes; ++k)
        button("deleteMass")->click();

    const Scene &scene = window_->place().scene;
    QCOMPARE(int(scene.trajectory.masses.size()), masses);
    QCOMPARE(int(scene.colours.size()), masses);
    QCOMPARE(button("addMass")->isEnabled(), masses < 16);
    QCOMPARE(button("deleteMass")->isEnabled(), masses > 1);
    const Viewport &v = window_->place().view;
    const QPointF middle = v.plane(QPointF(v.size.width() / 2.0, v.size.height() / 2.0));
    if (deletes == 0) // the last one added at the view's middle
        QVERIFY(scene.trajectory.masses.back() ==
                FixedMass({std::int16_t(std::lround(middle.x())),
                           std::int16_t(std::lround(middle.y()))}));
}

void ExplorerMassesTest::laterMassDragged()
{
    QVERIFY2(showRow(3), "the statistics never completed");
    const FixedMass second = window_->place().scene.trajectory.masses[1];
    const FixedMass third = window_->place().scene.trajectory.masses[2];
    const Viewport before = window_->place().view;
    const QPoint from = before.device(QPointF(third.x, third.y)).toPoint();
    const QPoint to = from + QPoint(40, -30);
    QTest::mousePress(&window_->view(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&window_->view(), to);
    QTest::mouseRelease(&window_->view(), Qt::LeftButton, {}, to);

    QVERIFY(window_->place().view == before); // a mass dragged, not the view
    const QPointF reached = before.plane(QPointF(to));
    const FixedMass moved = window_->place().scene.trajectory.masses[2];
    QCOMPARE(QPoint(moved.x, moved.y), reached.toPoint());
    QVERIFY(window_->place().scene.trajectory.masses[1] == second);
    QCOMPARE(window_->findChild<QSpinBox *>(QStringLiteral("three-x"))->value(), int(moved.x));
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

/// Also a row of statistics for each mass, and how three or more meet.
void ExplorerMassesTest::pictureEqualsRenderer()
{
    QFETCH(int, masses);
    QFETCH(bool, shade);
    QFETCH(QString, by);
    QVERIFY2(showRow(masses, shade), "the statistics never completed");
    QCOMPARE(labels(QStringLiteral("^share-")).size(), masses);
    const QList<QLabel *> meet = labels(QStringLiteral("^(meet|notWada)$"));
    QCOMPARE(meet.size(), masses >= 3 ? 2 : 0);
    QVERIFY(masses < 3 || meet.front()->text().contains(QStringLiteral("%1:").arg(masses)));

    QTemporaryDir dir;
    const QString mine = dir.filePath(QStringLiteral("mine.png"));
    const QString theirs = dir.filePath(QStringLiteral("theirs.png"));
    PictureSaver saver;
    bool saved = false;
    connect(&saver, &PictureSaver::finished, this, [&](bool ok) { saved = ok; });
    if (by == QStringLiteral("saved picture"))
        QVERIFY2(saver.start(window_->place(), mine) &&
                     QTest::qWaitFor([&] { return saved; }, 60000),
                 "the picture was not saved");
    else
        QVERIFY(writeImageFile(window_->view().image(), mine, "PNG"));
    window_->findChild<QAction *>(QStringLiteral("copyCommandLine"))->trigger();
    QString line = QApplication::clipboard()->text().replace(QStringLiteral(" view.png"),
                                                             QLatin1Char(' ') + theirs);
    QCOMPARE(line.contains(QStringLiteral("--mass ")), masses != 2);
    if (by == QStringLiteral("view file")) {
        QVERIFY(window_->saveView(dir.filePath(QStringLiteral("view.json"))));
        line = QStringLiteral("velmora-render --view-file %1 %2")
                   .arg(dir.filePath(QStringLiteral("view.json")), theirs);
    }
    const QByteArray rendered = renderedByShell(line, theirs);
    QVERIFY(!rendered.isEmpty() && fileBytes(mine) == rendered);
}

void ExplorerMassesTest::historyRestoresMasses()
{
    const Scene before = window_->place().scene;
    button("addMass")->click();
    window_->remember(); // as once the change settles
    const Scene added = window_->place().scene;
    window_->findChild<QAction *>(QStringLiteral("back"))->trigger();
    QVERIFY(window_->place().scene == before);
    QVERIFY(!window_->findChild<QSpinBox *>(QStringLiteral("three-x")));
    window_->findChild<QAction *>(QStringLiteral("forward"))->trigger();
    QVERIFY(window_->place().scene == added && added.trajectory.masses.size() == 3);
    QVERIFY(window_->findChild<QSpinBox *>(QStringLiteral("three-x")));
}

QTEST_MAIN(ExplorerMassesTest)
#include "tst_explorermasses.moc"
