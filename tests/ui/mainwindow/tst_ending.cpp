// Ending the program: closing the main window or "Ok" in the exit confirmation, also in the
// middle of a run or a nested run. Every run returns at its next yield without another step,
// every window closes and the event loops exit. Ending leaves the application unable to run
// event loops, so ctest runs each function in a process of its own.

#include "tests/common/windowtest.h"

#include "ui/dialogs/frmabout5.h"
#include "ui/dialogs/frmexit.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTest>

using namespace windowtest;

class EndingTest : public QObject
{
    Q_OBJECT

private slots:
    void closingTheWindowDuringARun();
    void okDuringANestedRun();
};

namespace {

/// Runs Start inside an event loop as the application's would and returns the loop's exit
/// code; -1 if the loop had to be left by the safety net because nothing ended it.
int startInEventLoop(frmgrav &window, bool &startReturned)
{
    QEventLoop loop;
    QTimer::singleShot(0, &window, [&] {
        action(window, "cmdstart")->trigger();
        startReturned = true;
    });
    QTimer::singleShot(120000, &loop, [&] { loop.exit(-1); });
    return loop.exec();
}

bool everyWindowClosed()
{
    for (const QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return false;
    return true;
}

} // namespace

void EndingTest::closingTheWindowDuringARun()
{
    frmgrav window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const sim::simstate &s = window.state();
    sim::simstate atClose{};

    EveryPass closer([&] {
        if (s.rowsdone < 1)
            return false;
        window.close();
        atClose = s;
        return true;
    });
    bool startReturned = false;
    QCOMPARE(startInEventLoop(window, startReturned), 0);

    QVERIFY(startReturned);
    QVERIFY(window.isEnding());
    QVERIFY(everyWindowClosed());
    // Not another step after the close.
    QCOMPARE(s.xgreen, atClose.xgreen);
    QCOMPARE(s.ygreen, atClose.ygreen);
    QCOMPARE(s.scanx, atClose.scanx);
    QCOMPARE(s.distrot, atClose.distrot);
    QVERIFY(s.rowsdone < 80);
}

void EndingTest::okDuringANestedRun()
{
    frmgrav window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const sim::simstate &s = window.state();
    sim::simstate atOk{};
    bool nestedReturned = false, okClicked = false, restarted = false;

    EveryPass inNested([&] {
        if (!restarted || s.rowsdone < 1)
            return false;
        // The about dialog is open too when Ok is pressed.
        action(window, "cmdoptions")->trigger();
        action(window, "cmdexit")->trigger();
        frmexit *dialog = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *e = qobject_cast<frmexit *>(w); e && e->isVisible())
                dialog = e;
        if (!dialog)
            return false;
        atOk = s;
        okClicked = true;
        dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        return true;
    });
    EveryPass restart([&] {
        if (s.rowsdone < 3)
            return false;
        restarted = true;
        action(window, "cmdstart")->trigger();
        nestedReturned = true;
        return true;
    });

    bool startReturned = false;
    QCOMPARE(startInEventLoop(window, startReturned), 0);

    QVERIFY(restarted);
    QVERIFY(okClicked);
    QVERIFY(nestedReturned);
    QVERIFY(startReturned);
    QVERIFY(window.isEnding());
    QVERIFY(everyWindowClosed());
    QCOMPARE(s.xgreen, atOk.xgreen);
    QCOMPARE(s.ygreen, atOk.ygreen);
    QCOMPARE(s.distblau, atOk.distblau);
    QCOMPARE(s.rowsdone, atOk.rowsdone);
}

QTEST_MAIN(EndingTest)
#include "tst_ending.moc"
