// The menu commands: the three colour commands, the panel toggles, and the two dialogs End
// and Info. The choosers are fakes, so nothing blocks on a real dialog.

#include "tests/common/commandwindow.h"
#include "tests/common/fakechoosers.h"
#include "tests/common/pathkinds.h"
#include "tests/common/windowtest.h"

#include "ui/dialogs/frmabout5.h"
#include "ui/dialogs/frmexit.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace windowtest;


class CommandTest : public CommandWindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void colourCommands_data();
    void colourCommands();
    void colourChooserOpensWithTheLastConfirmedColour();
    void panelToggles_data();
    void panelToggles();
    void endAndInfoOpenOneWindowEach_data();
    void endAndInfoOpenOneWindowEach();
    void abortLeavesARunGoing();
    void anyModalBoxShowsTheLastStep();

};

void CommandTest::init()
{
    openWindow();
}

void CommandTest::cleanup()
{
    closeWindow();
}

void CommandTest::colourCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("confirmed");

    for (const char *command : {"mnucolorone", "mnucolortwo", "bgcolor"}) {
        QTest::addRow("%s confirmed", command) << command << true;
        QTest::addRow("%s cancelled", command) << command << false;
    }
}

void CommandTest::colourCommands()
{
    QFETCH(QString, command);
    QFETCH(bool, confirmed);

    // Large circles that cross each other and the painted rectangle.
    bar(*window_, "vscradred")->setValue(12);
    bar(*window_, "vscradblau")->setValue(12);
    paintSmallPicture();
    const QImage painted = window_->surface().image();
    const std::int32_t chosen = packed(10, 200, 30);
    script_.colours.push_back(confirmed ? std::optional<std::int32_t>(chosen) : std::nullopt);
    MessageBoxes boxes;

    window_->findChild<QAction *>(command)->trigger();

    QCOMPARE(script_.initialColours, QList<std::int32_t>{0});
    QCOMPARE(window_->commonDialog().flags, 1);
    QVERIFY(boxes.seen().isEmpty());
    QCOMPARE(window_->commonDialog().title, command == QLatin1String("bgcolor")
                                                ? QStringLiteral("hallo")
                                                : QStringLiteral("save as "));
    const sim::simstate &s = window_->state();
    const auto now = [&](const char *which, std::int32_t before) {
        return confirmed && command == QLatin1String(which) ? chosen : before;
    };
    QCOMPARE(s.colorrot, now("mnucolorone", 255));
    QCOMPARE(s.colorblau, now("mnucolortwo", 16711680));
    QCOMPARE(window_->surface().background(), now("bgcolor", 0xFFFFFF));
    if (!confirmed) {
        QCOMPARE(window_->surface().image(), painted);
        return;
    }

    // Mass two's circle first, then mass one's, over the painted points, which keep their
    // colours; the background erases them.
    QImage expected =
        command == QLatin1String("bgcolor") ? Surface(painted.size(), chosen).image() : painted;
    drawOutline(expected, s.xblau, s.yblau, 12, s.colorblau);
    drawOutline(expected, s.xrot, s.yrot, 12, s.colorrot);
    QCOMPARE(window_->surface().image(), expected);

    // Points captured from now on take the new colour.
    trigger("cmdstart"); // clears only
    trigger("cmdstart");
    QCOMPARE(window_->surface().image(), completePicture(*window_));
}

void CommandTest::colourChooserOpensWithTheLastConfirmedColour()
{
    const std::int32_t first = packed(1, 2, 3), second = packed(200, 100, 50);
    script_.colours = {first, std::nullopt, second, std::nullopt};

    trigger("mnucolorone"); // opens with black, confirms first
    trigger("mnucolortwo"); // opens with first, cancelled
    trigger("bgcolor");     // opens with first, confirms second
    trigger("mnucolortwo"); // opens with second, cancelled

    QCOMPARE(script_.initialColours, QList<std::int32_t>({0, first, first, second}));
    QCOMPARE(window_->state().colorrot, first);
    QCOMPARE(window_->state().colorblau, 16711680);
    QCOMPARE(window_->surface().background(), second);
}

void CommandTest::panelToggles_data()
{
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<bool>("masses");
    QTest::addColumn<bool>("variables");

    QTest::newRow("Masses") << QStringList{"mnumasses"} << false << true;
    QTest::newRow("Masses twice") << QStringList{"mnumasses", "mnumasses"} << true << true;
    QTest::newRow("Variables") << QStringList{"mnuvariables"} << true << false;
    QTest::newRow("All tables") << QStringList{"mnuall"} << false << false;
    QTest::newRow("All tables twice") << QStringList{"mnuall", "mnuall"} << true << true;
    QTest::newRow("All tables with only masses visible")
        << QStringList{"mnuvariables", "mnuall"} << true << true;
    QTest::newRow("All tables with neither visible")
        << QStringList{"mnumasses", "mnuvariables", "mnuall"} << true << true;
    QTest::newRow("Masses after All tables") << QStringList{"mnuall", "mnumasses"} << true << false;
}

void CommandTest::panelToggles()
{
    QFETCH(QStringList, commands);
    QFETCH(bool, masses);
    QFETCH(bool, variables);

    auto *massPanel = child<QWidget>(*window_, "frmmasses");
    auto *variablePanel = child<QWidget>(*window_, "frmvariables");
    for (const QString &command : commands) {
        window_->findChild<QAction *>(command)->trigger();
        QCOMPARE(action(*window_, "mnumasses")->isChecked(), massPanel->isVisible());
        QCOMPARE(action(*window_, "mnuvariables")->isChecked(), variablePanel->isVisible());
    }
    QCOMPARE(massPanel->isVisible(), masses);
    QCOMPARE(variablePanel->isVisible(), variables);
    // Hiding a panel hides what is in it.
    QCOMPARE(bar(*window_, "vscradred")->isVisible(), masses);
    QCOMPARE(field(*window_, "textrrot")->isVisible(), variables);
}

void CommandTest::endAndInfoOpenOneWindowEach_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("closeButton");
    QTest::newRow("End") << "cmdexit"
                         << "Command2";
    QTest::newRow("Info") << "cmdoptions"
                          << "cmdOK";
}

void CommandTest::endAndInfoOpenOneWindowEach()
{
    QFETCH(QString, command);
    QFETCH(QString, closeButton);
    const bool end = command == QLatin1String("cmdexit");
    auto open = [end] {
        return end ? openWindows<frmexit>().size() : openWindows<frmAbout5>().size();
    };
    QAction *entry = window_->findChild<QAction *>(command);
    // Away from the screen's centre, where a window is placed when nothing else places it.
    window_->setGeometry(40, 30, 600, 500);

    entry->trigger();
    QCOMPARE(open(), 1);
    QWidget *first = end ? static_cast<QWidget *>(openWindows<frmexit>().constFirst())
                         : openWindows<frmAbout5>().constFirst();
    // Centred over the main window, give or take the width of a window frame.
    const QPoint offCentre = first->frameGeometry().center() - window_->frameGeometry().center();
    QVERIFY2(std::abs(offCentre.x()) <= 10 && std::abs(offCentre.y()) <= 10,
             qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
    QVERIFY(first->isWindow());
    QVERIFY(!first->parent()); // no owner
    QVERIFY(!first->isModal());
    QVERIFY(window_->isVisible());

    entry->trigger();
    QCOMPARE(open(), 1);
    QCOMPARE(end ? static_cast<QWidget *>(openWindows<frmexit>().constFirst())
                 : openWindows<frmAbout5>().constFirst(),
             first);

    // Closed, it is destroyed, and the command creates it again, also within the same pass of
    // the event loop.
    const QPointer<QWidget> closed(first);
    first->findChild<QPushButton *>(closeButton)->click();
    QCOMPARE(open(), 0);
    entry->trigger();
    deleteClosedWindows();
    QVERIFY(closed.isNull());
    QCOMPARE(open(), 1);
    QVERIFY(!window_->isEnding());
}

void CommandTest::abortLeavesARunGoing()
{
    setPictureSize(*window_, 6, 4);
    const QImage picture = completePicture(*window_);
    const sim::simstate &s = window_->state();
    bool aborted = false;

    EveryPass abort([&] {
        if (s.rowsdone < 1)
            return false;
        trigger("cmdexit");
        auto *dialog = openWindows<frmexit>().value(0);
        if (!dialog)
            return false;
        dialog->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
        aborted = true;
        return true;
    });
    trigger("cmdstart");

    QVERIFY(aborted);
    QCOMPARE(openWindows<frmexit>().size(), 0);
    QVERIFY(!window_->isEnding());
    QVERIFY(window_->isVisible());
    QCOMPARE(window_->surface().image(), picture);
    QCOMPARE(int(s.rowsdone), 4);
}

void CommandTest::anyModalBoxShowsTheLastStep()
{
    // The about dialog's message box, which the main window does not open itself.
    setPictureSize(*window_, 6, 4);
    const sim::simstate &s = window_->state();
    QStringList shown, expected;
    EveryPass inBox([&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return false;
        shown << field(*window_, "textrblau")->text() << field(*window_, "textlrot")->text();
        expected << text(sim::realNumber(s.distblau)) << text(sim::realNumber(s.lambdarot));
        box->button(QMessageBox::Ok)->click();
        return true;
    });
    EveryPass sysInfo([&] {
        if (s.rowsdone < 1)
            return false;
        trigger("cmdoptions");
        auto *about = openWindows<frmAbout5>().value(0);
        if (!about)
            return false;
        about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
        return true;
    });
    trigger("cmdstart");

    QVERIFY(inBox.done());
    QCOMPARE(shown, expected);
    QCOMPARE(int(s.rowsdone), 4);
}

QTEST_MAIN(CommandTest)
#include "tst_commands.moc"
