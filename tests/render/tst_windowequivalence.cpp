// The renderer against the window: velmora-render's file is byte for byte the file Save Picture
// writes after a complete run from start-up with the same parameters.

#include "render/renderer.h"
#include "scene/text.h"
#include "tests/common/fakechoosers.h"
#include "tests/common/rendertool.h"
#include "tests/common/windowtest.h"

#include "picture/surface.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>


using namespace windowtest;

class WindowEquivalenceTest : public QObject
{
    Q_OBJECT

private slots:
    void renderEqualsSavePicture_data();
    void renderEqualsSavePicture();

private:
    QTemporaryDir dir_;
};

void WindowEquivalenceTest::renderEqualsSavePicture_data()
{
    QTest::addColumn<bool>("changed");
    QTest::newRow("start-up defaults") << false;
    QTest::newRow("every parameter changed") << true;
}

void WindowEquivalenceTest::renderEqualsSavePicture()
{
    QFETCH(bool, changed);
    const QString saved = dir_.filePath(QStringLiteral("saved.bmp"));
    const QString rendered = dir_.filePath(QStringLiteral("rendered.bmp"));

    frmgrav window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize client = window.surface().size();
    RenderParameters p = RenderParameters::defaults(client);

    if (changed) {
        p.framing.picture = {48, 36};
        p.scene.trajectory.masses[0].x = std::int16_t(client.width() / 2 - 14);
        p.scene.trajectory.masses[0].y = std::int16_t(client.height() / 2 + 3);
        p.scene.trajectory.masses[1].x = std::int16_t(client.width() / 2 + 9);
        p.scene.trajectory.masses[1].y = std::int16_t(client.height() / 2 - 6);
        p.scene.trajectory.masses[0].weight = 14;
        p.scene.trajectory.masses[1].weight = 9;
        p.scene.trajectory.movingMass = 35;
        p.scene.trajectory.masses[0].radius = 7;
        p.scene.trajectory.masses[1].radius = 4;
        p.scene.background = 0x303040;
        p.scene.colours[0] = 0x10E0A0;
        p.scene.colours[1] = 0xA01060;
    }
    bar(window, "vscpicsizex")->setValue(p.framing.picture.width());
    bar(window, "vscpicsizey")->setValue(p.framing.picture.height());
    bar(window, "vscxposred")->setValue(p.scene.trajectory.masses[0].x);
    bar(window, "vscyposred")->setValue(p.scene.trajectory.masses[0].y);
    bar(window, "vscxposblue")->setValue(p.scene.trajectory.masses[1].x);
    bar(window, "vscyposblue")->setValue(p.scene.trajectory.masses[1].y);
    bar(window, "vscmasserot")->setValue(p.scene.trajectory.masses[0].weight);
    bar(window, "vscmasseblau")->setValue(p.scene.trajectory.masses[1].weight);
    bar(window, "vscmassegreen")->setValue(p.scene.trajectory.movingMass);
    bar(window, "vscradred")->setValue(p.scene.trajectory.masses[0].radius);
    bar(window, "vscradblau")->setValue(p.scene.trajectory.masses[1].radius);

    ChooserScript script;
    script.colours = {p.scene.background, p.scene.colours[0], p.scene.colours[1]};
    script.paths = {saved};
    window.commonDialog().setDialogs(std::make_unique<FakeChoosers>(script));
    if (changed) {
        action(window, "bgcolor")->trigger();
        action(window, "mnucolorone")->trigger();
        action(window, "mnucolortwo")->trigger();
    }
    action(window, "cmdstart")->trigger();
    QVERIFY(window.state().rowsdone >= p.framing.picture.height());
    action(window, "cmdsave")->trigger();
    QVERIFY(QFile::exists(saved));

    QStringList arguments{
        QStringLiteral("--client"),
        QStringLiteral("%1x%2").arg(client.width()).arg(client.height()),
        rendered,
    };
    if (changed) {
        arguments << QStringLiteral("--picture")
                  << QStringLiteral("%1x%2").arg(p.framing.picture.width()).arg(p.framing.picture.height())
                  << QStringLiteral("--one") << QStringLiteral("%1,%2").arg(p.scene.trajectory.masses[0].x).arg(p.scene.trajectory.masses[0].y)
                  << QStringLiteral("--two") << QStringLiteral("%1,%2").arg(p.scene.trajectory.masses[1].x).arg(p.scene.trajectory.masses[1].y)
                  << QStringLiteral("--mass-one") << QString::number(p.scene.trajectory.masses[0].weight)
                  << QStringLiteral("--mass-two") << QString::number(p.scene.trajectory.masses[1].weight)
                  << QStringLiteral("--mass-moving") << QString::number(p.scene.trajectory.movingMass)
                  << QStringLiteral("--radius-one") << QString::number(p.scene.trajectory.masses[0].radius)
                  << QStringLiteral("--radius-two") << QString::number(p.scene.trajectory.masses[1].radius)
                  << QStringLiteral("--background") << colourText(p.scene.background)
                  << QStringLiteral("--color-one") << colourText(p.scene.colours[0])
                  << QStringLiteral("--color-two") << colourText(p.scene.colours[1]);
    }
    QProcess tool;
    tool.start(QStringLiteral(VELMORA_RENDER_PATH), arguments);
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);

    QCOMPARE(fileBytes(rendered), fileBytes(saved));
}

QTEST_MAIN(WindowEquivalenceTest)
#include "tst_windowequivalence.moc"
