// The renderer against the window: velmora-render's file is byte for byte the file Save Picture
// writes after a complete run from start-up with the same parameters.

#include "render/renderer.h"
#include "tests/common/fakechoosers.h"
#include "tests/common/windowtest.h"

#include "picture/surface.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString colourText(std::int32_t packed)
{
    return QStringLiteral("#%1%2%3")
        .arg(packed & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((packed >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((packed >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

} // namespace

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
        p.picture = {48, 36};
        p.xrot = std::int16_t(client.width() / 2 - 14);
        p.yrot = std::int16_t(client.height() / 2 + 3);
        p.xblau = std::int16_t(client.width() / 2 + 9);
        p.yblau = std::int16_t(client.height() / 2 - 6);
        p.massOne = 14;
        p.massTwo = 9;
        p.massMoving = 35;
        p.radiusOne = 7;
        p.radiusTwo = 4;
        p.background = 0x303040;
        p.colorOne = 0x10E0A0;
        p.colorTwo = 0xA01060;
    }
    bar(window, "vscpicsizex")->setValue(p.picture.width());
    bar(window, "vscpicsizey")->setValue(p.picture.height());
    bar(window, "vscxposred")->setValue(p.xrot);
    bar(window, "vscyposred")->setValue(p.yrot);
    bar(window, "vscxposblue")->setValue(p.xblau);
    bar(window, "vscyposblue")->setValue(p.yblau);
    bar(window, "vscmasserot")->setValue(p.massOne);
    bar(window, "vscmasseblau")->setValue(p.massTwo);
    bar(window, "vscmassegreen")->setValue(p.massMoving);
    bar(window, "vscradred")->setValue(p.radiusOne);
    bar(window, "vscradblau")->setValue(p.radiusTwo);

    ChooserScript script;
    script.colours = {p.background, p.colorOne, p.colorTwo};
    script.paths = {saved};
    window.commonDialog().setDialogs(std::make_unique<FakeChoosers>(script));
    if (changed) {
        action(window, "bgcolor")->trigger();
        action(window, "mnucolorone")->trigger();
        action(window, "mnucolortwo")->trigger();
    }
    action(window, "cmdstart")->trigger();
    QVERIFY(window.state().rowsdone >= p.picture.height());
    action(window, "cmdsave")->trigger();
    QVERIFY(QFile::exists(saved));

    QStringList arguments{
        QStringLiteral("--client"),
        QStringLiteral("%1x%2").arg(client.width()).arg(client.height()),
        rendered,
    };
    if (changed) {
        arguments << QStringLiteral("--picture")
                  << QStringLiteral("%1x%2").arg(p.picture.width()).arg(p.picture.height())
                  << QStringLiteral("--one") << QStringLiteral("%1,%2").arg(p.xrot).arg(p.yrot)
                  << QStringLiteral("--two") << QStringLiteral("%1,%2").arg(p.xblau).arg(p.yblau)
                  << QStringLiteral("--mass-one") << QString::number(p.massOne)
                  << QStringLiteral("--mass-two") << QString::number(p.massTwo)
                  << QStringLiteral("--mass-moving") << QString::number(p.massMoving)
                  << QStringLiteral("--radius-one") << QString::number(p.radiusOne)
                  << QStringLiteral("--radius-two") << QString::number(p.radiusTwo)
                  << QStringLiteral("--background") << colourText(p.background)
                  << QStringLiteral("--color-one") << colourText(p.colorOne)
                  << QStringLiteral("--color-two") << colourText(p.colorTwo);
    }
    QProcess tool;
    tool.start(QStringLiteral(VELMORA_RENDER_PATH), arguments);
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);

    QCOMPARE(fileBytes(rendered), fileBytes(saved));
}

QTEST_MAIN(WindowEquivalenceTest)
#include "tst_windowequivalence.moc"
