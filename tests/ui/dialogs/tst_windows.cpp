#include "tests/common/fakeplatform.h"
#include "ui/dialogs/frmabout5.h"
#include "ui/dialogs/frmexit.h"
#include "ui/dialogs/pictures.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

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

QString focusName()
{
    return QApplication::focusWidget()->objectName();
}

int countPixels(const QImage &image, bool (*match)(QColor))
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += match(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

} // namespace

class DialogWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void exitLabelsFit();
    void exitFocus();
    void exitButtons_data();
    void exitButtons();
    void aboutClosing_data();
    void aboutClosing();
    void basins_data();
    void basins();
    void pictures();
};

void DialogWindowsTest::exitLabelsFit()
{
    const frmexit window;
    for (const char *name : {"Label1", "Label3", "Label2"}) {
        const auto *label = window.findChild<QLabel *>(name);
        QVERIFY(QFontMetricsF(label->font()).horizontalAdvance(label->text()) <= label->width());
    }
}

void DialogWindowsTest::exitFocus()
{
    QPointer<QWidget> window = new frmexit;
    QSignalSpy ended(static_cast<frmexit *>(window.data()), &frmexit::endProgram);
    showAndActivate(window);
    for (const char *name : {"Picture1", "Command1", "Command2", "Picture1"}) {
        QCOMPARE(focusName(), QString::fromLatin1(name));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // No default and no cancel button.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!isGone(window));
    QCOMPARE(ended.count(), 0);
    delete window;
}

void DialogWindowsTest::exitButtons_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("ends");

    QTest::newRow("Ok") << "Command1" << 1;
    QTest::newRow("Ok, receiver deletes the window") << "Command1 delete" << 1;
    QTest::newRow("Abort") << "Command2" << 0;
    QTest::newRow("close box") << "close" << 0;
}

void DialogWindowsTest::exitButtons()
{
    QFETCH(QString, action);
    QFETCH(int, ends);

    auto *exitWindow = new frmexit;
    const QPointer<QWidget> window = exitWindow;
    QSignalSpy ended(exitWindow, &frmexit::endProgram);
    if (action.endsWith(" delete"))
        connect(exitWindow, &frmexit::endProgram, this, [exitWindow] { delete exitWindow; });
    showAndActivate(window);
    if (action == "close")
        window->close();
    else
        QTest::mouseClick(window->findChild<QPushButton *>(action.section(' ', 0, 0)),
                          Qt::LeftButton);

    QCOMPARE(ended.count(), ends);
    QVERIFY(isGone(window));
}

void DialogWindowsTest::aboutClosing_data()
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

void DialogWindowsTest::aboutClosing()
{
    QFETCH(QString, action);
    QFETCH(bool, closes);

    FakePlatform platform;
    auto *dialog = new frmAbout5(nullptr, &platform);
    const QPointer<QWidget> window = dialog;
    showAndActivate(dialog);
    QCOMPARE(focusName(), QStringLiteral("cmdOK"));

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
        QCOMPARE(focusName(), QStringLiteral("cmdSysInfo"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else if (action == "Alt+S") {
        QTest::keyClick(dialog->windowHandle(), Qt::Key_S, Qt::AltModifier);
    }

    QCOMPARE(isGone(window), closes);
    // A mnemonic clicks its button after a short animation.
    QTRY_COMPARE(platform.messages.size(), closes ? 0 : 1);
    delete window;
}

void DialogWindowsTest::basins_data()
{
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QRgb>("expected");

    // Mass one at (10, 10), mass two at (30, 10), both with capture radius 3; one step only.
    QTest::newRow("on mass one") << QPoint(10, 10) << qRgb(255, 0, 0);
    QTest::newRow("inside mass one's radius") << QPoint(12, 12) << qRgb(255, 0, 0);
    QTest::newRow("inside mass two's radius") << QPoint(30, 7) << qRgb(0, 0, 255);
    QTest::newRow("outside both") << QPoint(20, 25) << qRgb(255, 255, 255);
}

void DialogWindowsTest::basins()
{
    QFETCH(QPoint, start);
    QFETCH(QRgb, expected);

    sim::simstate s;
    s.xrot = 10;
    s.yrot = 10;
    s.xblau = 30;
    s.yblau = 10;
    s.massrot = 100000;
    s.massblau = 100000;
    s.massgreen = 500000000;
    const QImage image =
        basinPicture(s, {40, 30}, 3, 3, 1, qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(start), expected);
}

void DialogWindowsTest::pictures()
{
    const frmAbout5 about;
    const frmexit exitWindow;
    const QImage sample = about.findChild<QLabel *>("picIcon")->pixmap().toImage();
    const QImage diagram = about.findChild<QLabel *>("Picture1")->pixmap().toImage();
    const QImage exitSample = exitWindow.findChild<QLabel *>("Picture1")->pixmap().toImage();
    QCOMPARE(sample.size(), QSize(160, 216));
    QCOMPARE(diagram.size(), QSize(201, 178));
    QCOMPARE(exitSample.size(), QSize(100, 137));

    const auto green = [](QColor c) { return c.green() > 100 && c.red() < 60 && c.blue() < 60; };
    const auto purple = [](QColor c) { return c.red() > 90 && c.blue() > 90 && c.green() < 60; };
    const auto red = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };
    const auto blue = [](QColor c) { return c.blue() > 150 && c.red() < 100 && c.green() < 100; };
    // Both basins cover a good part of each sample; the marks and masses are drawn over them.
    QVERIFY(countPixels(sample, green) > sample.width() * sample.height() / 10);
    QVERIFY(countPixels(sample, purple) > sample.width() * sample.height() / 10);
    QVERIFY(countPixels(sample, red) > 0);
    QVERIFY(countPixels(exitSample, red) > exitSample.width() * exitSample.height() / 10);
    QVERIFY(countPixels(exitSample, blue) > exitSample.width() * exitSample.height() / 10);
    QVERIFY(countPixels(diagram, green) > 0 && countPixels(diagram, red) > 0 &&
            countPixels(diagram, blue) > 0);
}

QTEST_MAIN(DialogWindowsTest)
#include "tst_windows.moc"
