// Ending the program in the middle of a run: closing the main window, or "Ok" in the exit
// confirmation during a nested run. Every run returns at its next yield without another step,
// every window closes and the event loops exit. Ending leaves the application unable to run
// event loops, so ctest runs each row in a process of its own.

#include "tests/common/windowtest.h"

#include "ui/dialogs/frmabout5.h"
#include "ui/dialogs/frmexit.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTest>

using namespace windowtest;

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

class EndingTest : public QObject
{
    Q_OBJECT

private slots:
    void endingDuringARun_data();
    void endingDuringARun();
};

void EndingTest::endingDuringARun_data()
{
    QTest::addColumn<bool>("byOk");
    QTest::newRow("window closed") << false;
    // With the about dialog open too.
    QTest::newRow("Ok in a nested run") << true;
}

void EndingTest::endingDuringARun()
{
    QFETCH(bool, byOk);
    frmgrav window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const sim::simstate &s = window.state();
    sim::simstate atEnd{};
    bool ended = false, restarted = false, nestedReturned = false;

    EveryPass restart([&] {
        if (!byOk)
            return true; // no nested run
        if (s.rowsdone < 3)
            return false;
        restarted = true;
        action(window, "cmdstart")->trigger();
        nestedReturned = true;
        return true;
    });
    EveryPass end([&] {
        if ((byOk && !restarted) || s.rowsdone < 1)
            return false;
        if (!byOk) {
            atEnd = s;
            ended = true;
            window.close();
            return true;
        }
        action(window, "cmdoptions")->trigger();
        action(window, "cmdexit")->trigger();
        frmexit *dialog = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *e = qobject_cast<frmexit *>(w); e && e->isVisible())
                dialog = e;
        if (!dialog)
            return false;
        atEnd = s;
        ended = true;
        dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        return true;
    });

    bool startReturned = false;
    QCOMPARE(startInEventLoop(window, startReturned), 0);

    QVERIFY(ended);
    QCOMPARE(nestedReturned, byOk);
    QVERIFY(startReturned);
    QVERIFY(window.isEnding());
    QVERIFY(everyWindowClosed());
    // Not another step after the end.
    QCOMPARE(s.xgreen, atEnd.xgreen);
    QCOMPARE(s.ygreen, atEnd.ygreen);
    QCOMPARE(s.distblau, atEnd.distblau);
    QCOMPARE(s.rowsdone, atEnd.rowsdone);
}

QTEST_MAIN(EndingTest)
#include "tst_ending.moc"
