// The menu commands: Save Picture, the three colour commands, the panel toggles, and the two
// dialogs End and Info. The choosers are fakes, so nothing blocks on a real dialog.

#include "fakechoosers.h"
#include "windowtest.h"

#include "tests/common/pathkinds.h"

#include "ui/dialogs/frmabout5.h"
#include "ui/dialogs/frmexit.h"

#include "sim/pixels.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace windowtest;

namespace {

std::int32_t packed(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}

/// image with a circle outline drawn over it, as the window draws one.
void drawOutline(QImage &image, float x, float y, float radius, std::int32_t colour)
{
    for (const sim::Pixel &p : sim::circleOutline(x, y, radius))
        if (image.valid(p.x, p.y))
            image.setPixel(p.x, p.y, toRgb(colour));
}

template <class T> QList<T *> openWindows()
{
    QList<T *> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
            windows << t;
    return windows;
}

void deleteClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class CommandTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savedFileReadsBackAsTheSurface_data();
    void savedFileReadsBackAsTheSurface();
    void saveDuringARunWritesThePaintedPart();
    void saveAppendsTheSuffixAndOffersThePathAgain();
    void cancelledSaveShowsNotYetSaved();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void saveTitleIsHalloAfterBackgroundColour();

    void cancelledColourChangesNothing_data();
    void cancelledColourChangesNothing();
    void colourOfAMassRedrawsTheCircles_data();
    void colourOfAMassRedrawsTheCircles();
    void backgroundColourErasesThePicture();
    void colourChooserOpensWithTheLastConfirmedColour();

    void panelToggles_data();
    void panelToggles();

    void endAndInfoOpenOneWindowEach_data();
    void endAndInfoOpenOneWindowEach();
    void abortLeavesARunGoing();
    void anyModalBoxShowsTheLastStep();

private:
    void trigger(const char *name) { action(*window_, name)->trigger(); }
    void paintSmallPicture();

    frmgrav *window_ = nullptr;
    ChooserScript script_;
    std::unique_ptr<QTemporaryDir> folderOwner_;
    QTemporaryDir &folder() { return *folderOwner_; }
};

void CommandTest::init()
{
    folderOwner_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder().isValid());
    script_ = ChooserScript();
    window_ = new frmgrav;
    window_->commonDialog().setDialogs(std::make_unique<FakeChoosers>(script_));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void CommandTest::cleanup()
{
    delete window_;
    window_ = nullptr;
    deleteClosedWindows();
}

void CommandTest::paintSmallPicture()
{
    setPictureSize(*window_, 6, 4);
    trigger("cmdstart");
    QCOMPARE(int(window_->state().rowsdone), 4);
}

// Saving ---------------------------------------------------------------------------------------

void CommandTest::savedFileReadsBackAsTheSurface_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("bmp") << "picture.bmp";
    // A bitmap whatever the name says; the chooser leaves a name with a dot as it is.
    QTest::newRow("png") << "picture.png";
    QTest::newRow("no extension") << "picture.";
}

void CommandTest::savedFileReadsBackAsTheSurface()
{
    QFETCH(QString, name);
    paintSmallPicture();
    const QString path = folder().filePath(name);
    script_.paths.push_back(path);
    MessageBoxes boxes;

    trigger("cmdsave");

    QVERIFY(boxes.seen().isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    const QImage saved(path, "BMP");
    QCOMPARE(saved.size(), window_->surface().size());
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), window_->surface().image());
    // Neither the controls nor the sprite are part of the file.
    QVERIFY(window_->surface().image() == completePicture(*window_));
}

void CommandTest::saveDuringARunWritesThePaintedPart()
{
    setPictureSize(*window_, 6, 4);
    const sim::simstate &s = window_->state();
    const QString path = folder().filePath(QStringLiteral("part.bmp"));
    script_.paths.push_back(path);
    MessageBoxes boxes;
    QImage atSave;
    const EveryPass save([&] {
        if (s.rowsdone < 2)
            return false;
        trigger("cmdsave");
        atSave = window_->surface().image();
        return true;
    });
    trigger("cmdstart");

    QVERIFY(boxes.seen().isEmpty());
    QCOMPARE(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), atSave);
    // Half the picture: more than the circles, less than the whole.
    QVERIFY(atSave != circlesOnly(*window_).image());
    QVERIFY(atSave != window_->surface().image());
}

void CommandTest::saveAppendsTheSuffixAndOffersThePathAgain()
{
    const QString typed = folder().filePath(QStringLiteral("basins"));
    script_.paths.push_back(typed);
    script_.paths.push_back(std::nullopt);
    MessageBoxes boxes;

    trigger("cmdsave");
    QVERIFY(boxes.seen().isEmpty());
    QVERIFY(QFile::exists(typed + QStringLiteral(".bmp")));
    QVERIFY(!QFile::exists(typed));
    QCOMPARE(QImage(typed + QStringLiteral(".bmp")).convertToFormat(QImage::Format_RGB32),
             circlesOnly(*window_).image());

    trigger("cmdsave");
    QCOMPARE(script_.fileNames,
             QStringList({QStringLiteral("Velmora"), typed + QStringLiteral(".bmp")}));
    QCOMPARE(script_.titles, QStringList(2, QStringLiteral("save as ")));
    QCOMPARE(script_.filters, QStringList(2, QStringLiteral("*.bmp")));
    QCOMPARE(script_.suffixes, QStringList(2, QStringLiteral("bmp")));
}

void CommandTest::cancelledSaveShowsNotYetSaved()
{
    const QImage before = window_->surface().image();
    MessageBoxes boxes;
    trigger("cmdsave"); // the script has no answer: cancelled

    QCOMPARE(boxes.seen().size(), 1);
    const MessageBoxes::Box &box = boxes.seen().constFirst();
    QCOMPARE(box.text, QStringLiteral("   not yet saved "));
    QCOMPARE(box.title, QStringLiteral("Velmora"));
    QVERIFY(!box.hasIcon);
    QCOMPARE(box.buttons, 1);
    QCOMPARE(window_->commonDialog().fileName, QStringLiteral("Velmora"));
    QVERIFY(QDir(folder().path()).isEmpty());
    QCOMPARE(window_->surface().image(), before);
}

void CommandTest::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("kind");
    // The last leaves no room for the name of the file that is written before the switch.
    for (const char *kind : {"read-only file", "pipe", "device", "link to a device",
                             "missing folder", "name too long to replace"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void CommandTest::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, kind);
    const QString path = pathkinds::make(kind, folder().path());
    QVERIFY(!path.isEmpty());
    const QString old = pathkinds::describe(path);
    const QStringList before = pathkinds::entries(folder().path());
    script_.paths.push_back(path);
    MessageBoxes boxes;

    trigger("cmdsave");

    QCOMPARE(boxes.seen().size(), 1);
    QCOMPARE(boxes.seen().constFirst().text, QStringLiteral("   not yet saved "));
    QCOMPARE(pathkinds::entries(folder().path()), before);
    QCOMPARE(pathkinds::describe(path), old);
}

void CommandTest::saveTitleIsHalloAfterBackgroundColour()
{
    MessageBoxes boxes;
    trigger("cmdsave");
    trigger("bgcolor"); // cancelled; the title stays all the same
    trigger("cmdsave");
    QCOMPARE(script_.titles, QStringList({"save as ", "hallo"}));
    QCOMPARE(boxes.seen().size(), 2); // both saves cancelled, the colour command silent
}

// Colours --------------------------------------------------------------------------------------

void CommandTest::cancelledColourChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("color radius one") << "mnucolorone";
    QTest::newRow("color radius two") << "mnucolortwo";
    QTest::newRow("Background color") << "bgcolor";
}

void CommandTest::cancelledColourChangesNothing()
{
    QFETCH(QString, command);
    paintSmallPicture();
    const QImage before = window_->surface().image();
    MessageBoxes boxes;

    window_->findChild<QAction *>(command)->trigger();

    QCOMPARE(script_.initialColours.size(), 1);
    QCOMPARE(window_->commonDialog().flags, 1);
    QCOMPARE(window_->state().colorrot, 255);
    QCOMPARE(window_->state().colorblau, 16711680);
    QCOMPARE(window_->surface().background(), 0xFFFFFF);
    QCOMPARE(window_->surface().image(), before);
    QVERIFY(boxes.seen().isEmpty());
}

void CommandTest::colourOfAMassRedrawsTheCircles_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("massOne");
    QTest::newRow("color radius one") << "mnucolorone" << true;
    QTest::newRow("color radius two") << "mnucolortwo" << false;
}

void CommandTest::colourOfAMassRedrawsTheCircles()
{
    QFETCH(QString, command);
    QFETCH(bool, massOne);

    // Large circles that cross each other and the painted rectangle.
    bar(*window_, "vscradred")->setValue(12);
    bar(*window_, "vscradblau")->setValue(12);
    paintSmallPicture();
    QImage expected = window_->surface().image();
    const std::int32_t green = packed(10, 200, 30);
    script_.colours.push_back(green);

    window_->findChild<QAction *>(command)->trigger();

    const sim::simstate &s = window_->state();
    QCOMPARE(massOne ? s.colorrot : s.colorblau, green);
    QCOMPARE(massOne ? s.colorblau : s.colorrot, massOne ? 16711680 : 255);
    // Mass two's circle first, then mass one's, over the painted points, which keep their
    // colours.
    drawOutline(expected, s.xblau, s.yblau, 12, s.colorblau);
    drawOutline(expected, s.xrot, s.yrot, 12, s.colorrot);
    QCOMPARE(window_->surface().image(), expected);

    // Points captured from now on take the new colour.
    setPictureSize(*window_, 6, 4);
    trigger("cmdstart"); // clears only
    trigger("cmdstart");
    QCOMPARE(window_->surface().image(), completePicture(*window_));
}

void CommandTest::backgroundColourErasesThePicture()
{
    paintSmallPicture();
    const std::int32_t dark = packed(20, 20, 60);
    script_.colours.push_back(dark);

    trigger("bgcolor");

    QCOMPARE(window_->surface().background(), dark);
    Surface expected(window_->surface().size(), dark);
    const sim::simstate &s = window_->state();
    expected.drawCircle(s.xblau, s.yblau, 5, s.colorblau);
    expected.drawCircle(s.xrot, s.yrot, 5, s.colorrot);
    QCOMPARE(window_->surface().image(), expected.image());
    QCOMPARE(window_->commonDialog().title, QStringLiteral("hallo"));
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

// Panels ---------------------------------------------------------------------------------------

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

// Dialogs --------------------------------------------------------------------------------------

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
