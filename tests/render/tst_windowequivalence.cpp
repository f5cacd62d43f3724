// The renderer against the window: velmora-render's file is byte for byte the file Save Picture
// writes after a complete run from start-up with the same parameters.

#include "render/renderer.h"
#include "ui/dialogs/chooserdialogs.h"
#include "ui/mainwindow/frmgrav.h"

#include "picture/surface.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>

namespace {

/// Choosers that confirm the answers queued in them instead of showing a dialog.
class ScriptedChoosers : public ChooserDialogs
{
public:
    ScriptedChoosers(std::deque<std::int32_t> colours, QString path)
        : colours_(std::move(colours)), path_(std::move(path))
    {
    }

    std::optional<std::int32_t> chooseColour(std::int32_t, QWidget *) override
    {
        if (colours_.empty())
            return std::nullopt;
        const std::int32_t colour = colours_.front();
        colours_.pop_front();
        return colour;
    }
    std::optional<QString> chooseSaveFile(const QString &, const QString &, const QString &,
                                          const QString &, const QString &, QWidget *) override
    {
        return path_;
    }

private:
    std::deque<std::int32_t> colours_;
    QString path_;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void trigger(const frmgrav &window, const char *name)
{
    window.findChild<QAction *>(QString::fromLatin1(name))->trigger();
}

void setBar(const frmgrav &window, const char *name, int value)
{
    window.findChild<QScrollBar *>(QString::fromLatin1(name))->setValue(value);
}

QString colourText(std::int32_t packed)
{
    return QStringLiteral("#%1%2%3")
        .arg(packed & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((packed >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((packed >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

} // namespace

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
    setBar(window, "vscpicsizex", p.picture.width());
    setBar(window, "vscpicsizey", p.picture.height());
    setBar(window, "vscxposred", p.xrot);
    setBar(window, "vscyposred", p.yrot);
    setBar(window, "vscxposblue", p.xblau);
    setBar(window, "vscyposblue", p.yblau);
    setBar(window, "vscmasserot", p.massOne);
    setBar(window, "vscmasseblau", p.massTwo);
    setBar(window, "vscmassegreen", p.massMoving);
    setBar(window, "vscradred", p.radiusOne);
    setBar(window, "vscradblau", p.radiusTwo);

    window.commonDialog().setDialogs(std::make_unique<ScriptedChoosers>(
        std::deque<std::int32_t>{p.background, p.colorOne, p.colorTwo}, saved));
    if (changed) {
        trigger(window, "bgcolor");
        trigger(window, "mnucolorone");
        trigger(window, "mnucolortwo");
    }
    trigger(window, "cmdstart");
    QVERIFY(window.state().rowsdone >= p.picture.height());
    trigger(window, "cmdsave");
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
