#include "ui/dialogs/frmabout5.h"
#include "ui/dialogs/frmexit.h"
#include "ui/dialogs/icon.h"
#include "ui/dialogs/pictures.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

/// Records the launcher's actions instead of starting programs or showing boxes.
class FakePlatform : public SysInfoPlatform
{
public:
    QStringList messages;
    bool startProgram(const QString &) override { return false; }
    void showMessage(const QString &text, const QString &, QWidget *) override
    {
        messages.append(text);
    }
};

/// A registry with nothing in it.
class EmptyRegistry : public Registry
{
public:
    std::int32_t openKey(RegistryKey, const QByteArray &, std::uint32_t, std::uint32_t,
                         RegistryKey &) override
    {
        return 2;
    }
    std::int32_t queryValue(RegistryKey, const QByteArray &, std::uint32_t &, std::uint8_t *,
                            std::uint32_t &) override
    {
        return 2;
    }
    std::int32_t closeKey(RegistryKey) override { return 0; }
};

/// Lets a window closed with delete-on-close go.
bool isGone(const QPointer<QWidget> &window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.isNull();
}

void showAndActivate(QWidget *window)
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

using Match = std::function<bool(QColor)>;

int countColours(const QImage &image, const Match &match)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += match(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

const QString description = QStringLiteral(
    "The two marked buttons ( 2 and 3 ) are fixed masses with 90.000kg. A mass with "
    "50.000.000kg is free on each point one after another and is moving in a chaotic way because "
    "of two powers of gravitation to the other two masses. If the moving mass impacts the one , "
    "then the starting point of the movingmass gets the color of the one and so on. The result "
    "( 1 ) is that in a chaos system you can find something like an arrangement. Between the two "
    "masses is one point without gravitation ( 4 ).");
const QString disclaimer = QStringLiteral(
    "Find out what happens if You change mass, radius, distance,  size, position a.s.o. In the "
    "variables box You see the current values of all parameters. Power = "
    "6,67*10(E-11)*(m1*m2)/r\u00b2.");

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void exitControls_data();
    void exitControls();
    void exitWindow();
    void exitButtons_data();
    void exitButtons();
    void exitOkWithReceiverDeletingIt();

    void aboutControls_data();
    void aboutControls();
    void aboutWindow();
    void aboutClosing_data();
    void aboutClosing();

    void basins_data();
    void basins();
    void pictures();
    void icon();
};

void TestWindows::exitControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("Picture1") << "Picture1" << QString() << QRect(8, 16, 105, 137);
    QTest::newRow("Label1") << "Label1"
                            << "Saved Your graphic?" << QRect(192, 16, 201, 17);
    QTest::newRow("Label3") << "Label3"
                            << "End  Velmora  programm ?" << QRect(200, 56, 193, 17);
    QTest::newRow("Command1") << "Command1"
                              << "Ok" << QRect(152, 96, 97, 33);
    QTest::newRow("Command2") << "Command2"
                              << "Abort" << QRect(328, 96, 97, 33);
    QTest::newRow("Label2") << "Label2"
                            << "Have a nice day !" << QRect(136, 144, 321, 17);
}

void TestWindows::exitControls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);

    frmexit window;
    auto *control = window.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->font().family(), QStringLiteral("Arial"));
    QCOMPARE(control->font().pointSizeF(), 12.0);
    QVERIFY(control->font().bold());
    if (auto *label = qobject_cast<QLabel *>(control); label && name.startsWith("Label")) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
        QVERIFY(QFontMetricsF(label->font()).horizontalAdvance(text) <= geometry.width());
    }
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QCOMPARE(button->text(), text);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void TestWindows::exitWindow()
{
    QPointer<QWidget> window = new frmexit;
    QSignalSpy ended(static_cast<frmexit *>(window.data()), &frmexit::endProgram);
    QVERIFY(window->isWindow());
    QVERIFY(!window->parentWidget());
    QCOMPARE(window->windowTitle(), QStringLiteral("  Velmora"));
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    showAndActivate(window);
    QCOMPARE(window->size(), QSize(472, 170));

    // The picture box has the focus, then Tab goes to "Ok" and "Abort".
    const QStringList chain{"Picture1", "Command1", "Command2", "Picture1"};
    for (const QString &name : chain) {
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }

    // No default and no cancel button: Enter and Esc on the picture box do nothing.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!isGone(window));
    QVERIFY(window->isVisible());
    QCOMPARE(ended.count(), 0);
    delete window;
}

void TestWindows::exitButtons_data()
{
    QTest::addColumn<QString>("button"); // empty: the frame's close box
    QTest::addColumn<int>("ends");

    QTest::newRow("Ok") << "Command1" << 1;
    QTest::newRow("Abort") << "Command2" << 0;
    QTest::newRow("close box") << QString() << 0;
}

void TestWindows::exitButtons()
{
    QFETCH(QString, button);
    QFETCH(int, ends);

    auto *exitWindow = new frmexit;
    const QPointer<QWidget> window = exitWindow;
    QSignalSpy ended(exitWindow, &frmexit::endProgram);
    showAndActivate(window);
    if (button.isEmpty())
        window->close();
    else
        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);

    QCOMPARE(ended.count(), ends);
    QVERIFY(isGone(window));
}

void TestWindows::exitOkWithReceiverDeletingIt()
{
    auto *exitWindow = new frmexit;
    const QPointer<QWidget> window = exitWindow;
    connect(exitWindow, &frmexit::endProgram, this, [exitWindow] { delete exitWindow; });
    exitWindow->show();
    QTest::mouseClick(exitWindow->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QVERIFY(window.isNull());
}

void TestWindows::aboutControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<qreal>("points"); // 0: the dialog's own font
    QTest::addColumn<bool>("bold");

    QTest::newRow("lblTitle") << "lblTitle"
                              << "Velmora" << QRect(16, 0, 523, 32) << 18.0 << true;
    QTest::newRow("lblVersion") << "lblVersion"
                                << "2002" << QRect(248, 32, 259, 15) << 11.25 << false;
    QTest::newRow("lblDescription")
        << "lblDescription" << description << QRect(216, 48, 331, 233) << 12.0 << false;
    QTest::newRow("picIcon") << "picIcon" << QString() << QRect(8, 56, 164, 220) << 0.0 << false;
    QTest::newRow("lblDisclaimer")
        << "lblDisclaimer" << disclaimer << QRect(8, 296, 289, 119) << 12.0 << false;
    QTest::newRow("Picture1") << "Picture1" << QString() << QRect(344, 296, 205, 182) << 0.0
                              << false;
    QTest::newRow("Label1") << "Label1"
                            << "Have fun." << QRect(8, 416, 73, 17) << 11.25 << false;
    QTest::newRow("cmdOK") << "cmdOK"
                           << "OK" << QRect(8, 448, 84, 23) << 0.0 << false;
    QTest::newRow("cmdSysInfo") << "cmdSysInfo"
                                << "&Systeminfo..." << QRect(112, 448, 83, 23) << 0.0 << false;
}

void TestWindows::aboutControls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(qreal, points);
    QFETCH(bool, bold);

    EmptyRegistry registry;
    frmAbout5 dialog(&registry);
    auto *control = dialog.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (points > 0) {
        QCOMPARE(control->font().family(), QStringLiteral("Arial"));
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().bold(), bold);
        QCOMPARE(control->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
    if (auto *label = qobject_cast<QLabel *>(control); label && !text.isEmpty())
        QCOMPARE(label->text(), text);
    if (auto *button = qobject_cast<QPushButton *>(control))
        QCOMPARE(button->text(), text);
}

void TestWindows::aboutWindow()
{
    EmptyRegistry registry;
    auto *dialog = new frmAbout5(&registry);
    const QPointer<QWidget> window = dialog;
    QVERIFY(!dialog->parentWidget());
    QVERIFY(!dialog->isModal());
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("  Velmora"));
    QCOMPARE(dialog->minimumSize(), QSize(557, 482));
    QCOMPARE(dialog->maximumSize(), QSize(557, 482));
    const Qt::WindowFlags flags = dialog->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool); // kept out of the task bar
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);

    showAndActivate(dialog);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdOK"));
    QVERIFY(dialog->findChild<QPushButton *>("cmdOK")->isDefault());
    delete window;
}

void TestWindows::aboutClosing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("closes");

    QTest::newRow("OK clicked") << "click OK" << true;
    QTest::newRow("Enter") << "Enter" << true;
    QTest::newRow("Esc") << "Esc" << true;
    QTest::newRow("close box") << "close" << true;
    QTest::newRow("Systeminfo clicked") << "click Systeminfo" << false;
    QTest::newRow("Enter on Systeminfo") << "Tab Enter" << false;
    QTest::newRow("Alt+S") << "Alt+S" << false;
}

void TestWindows::aboutClosing()
{
    QFETCH(QString, action);
    QFETCH(bool, closes);

    EmptyRegistry registry;
    FakePlatform platform;
    auto *dialog = new frmAbout5(&registry, &platform);
    const QPointer<QWidget> window = dialog;
    showAndActivate(dialog);

    if (action == "click OK") {
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    } else if (action == "Enter") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else if (action == "Esc") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    } else if (action == "close") {
        dialog->close();
    } else if (action == "click Systeminfo") {
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdSysInfo"), Qt::LeftButton);
    } else if (action == "Tab Enter") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdSysInfo"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else if (action == "Alt+S") {
        QTest::keyClick(dialog->windowHandle(), Qt::Key_S, Qt::AltModifier);
    }

    QCOMPARE(isGone(window), closes);
    const QStringList unavailable{
        QStringLiteral("Systeminformationen sind momentan nicht verf\u00fcgbar")};
    // A mnemonic clicks its button after a short animation.
    QTRY_COMPARE(platform.messages, closes ? QStringList() : unavailable);
    delete window;
}

void TestWindows::basins_data()
{
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QRgb>("expected");

    // Mass one at (10, 10), mass two at (30, 10), both with capture radius 3.
    QTest::newRow("on mass one") << QPoint(10, 10) << 1 << qRgb(255, 0, 0);
    QTest::newRow("inside mass one's radius") << QPoint(12, 12) << 1 << qRgb(255, 0, 0);
    QTest::newRow("on mass two") << QPoint(30, 10) << 1 << qRgb(0, 0, 255);
    QTest::newRow("inside mass two's radius") << QPoint(30, 7) << 1 << qRgb(0, 0, 255);
    QTest::newRow("outside, one step") << QPoint(20, 25) << 1 << qRgb(255, 255, 255);
}

void TestWindows::basins()
{
    QFETCH(QPoint, start);
    QFETCH(int, limit);
    QFETCH(QRgb, expected);

    sim::simstate s;
    s.xrot = 10;
    s.yrot = 10;
    s.xblau = 30;
    s.yblau = 10;
    s.massrot = 100000;
    s.massblau = 100000;
    s.massgreen = 500000000;
    const QImage image = basinPicture(s, {40, 30}, 3, 3, std::uint64_t(limit), qRgb(255, 0, 0),
                                      qRgb(0, 0, 255), qRgb(255, 255, 255));
    QCOMPARE(image.size(), QSize(40, 30));
    QCOMPARE(image.pixel(start) & 0xFFFFFF, expected & 0xFFFFFF);
}

void TestWindows::pictures()
{
    EmptyRegistry registry;
    const frmAbout5 about(&registry);
    const frmexit exitWindow;
    const QImage sample = about.findChild<QLabel *>("picIcon")->pixmap().toImage();
    const QImage diagram = about.findChild<QLabel *>("Picture1")->pixmap().toImage();
    const QImage exitSample = exitWindow.findChild<QLabel *>("Picture1")->pixmap().toImage();
    QCOMPARE(sample.size(), QSize(160, 216));
    QCOMPARE(diagram.size(), QSize(201, 178));
    QCOMPARE(exitSample.size(), QSize(100, 137));

    const Match greenish = [](QColor c) {
        return c.green() > 100 && c.red() < 60 && c.blue() < 60;
    };
    const Match purple = [](QColor c) { return c.red() > 90 && c.blue() > 90 && c.green() < 60; };
    const Match red = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };
    const Match blue = [](QColor c) { return c.blue() > 150 && c.red() < 100 && c.green() < 100; };
    const int area = 160 * 216;
    QVERIFY(countColours(sample, greenish) > area / 10);
    QVERIFY(countColours(sample, purple) > area / 10);
    QVERIFY(countColours(sample, red) > 0);
    QVERIFY(countColours(exitSample, red) > 100 * 137 / 10);
    QVERIFY(countColours(exitSample, blue) > 100 * 137 / 10);
    for (const Match &match : {greenish, red, blue})
        QVERIFY(countColours(diagram, match) > 0);
}

void TestWindows::icon()
{
    const QImage image = velmoraIcon().pixmap(32, 32).toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QCOMPARE(image.mirrored(true, false), image);
    QCOMPARE(image.mirrored(false, true), image);

    EmptyRegistry registry;
    const frmAbout5 about(&registry);
    const frmexit exitWindow;
    QCOMPARE(about.windowIcon().pixmap(32, 32).toImage(), image);
    QCOMPARE(exitWindow.windowIcon().pixmap(32, 32).toImage(), image);
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
