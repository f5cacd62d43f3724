// Save Picture: the file, a save during a run, the path offered again, a failed save and the
// title. The choosers are fakes, so nothing blocks on a real dialog.

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


class SaveTest : public CommandWindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savedFileReadsBackAsTheSurface_data();
    void savedFileReadsBackAsTheSurface();
    void saveDuringARunWritesThePaintedPart();
    void saveOffersTheConfirmedPathAgain();
    void failedSaveShowsNotYetSaved_data();
    void failedSaveShowsNotYetSaved();
    void saveTitleIsHalloAfterBackgroundColour();

};

void SaveTest::init()
{
    openWindow();
}

void SaveTest::cleanup()
{
    closeWindow();
}

void SaveTest::savedFileReadsBackAsTheSurface_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("bmp") << "picture.bmp";
    // A bitmap whatever the name says; the chooser leaves a name with a dot as it is.
    QTest::newRow("png") << "picture.png";
    QTest::newRow("no extension") << "picture.";
}

void SaveTest::savedFileReadsBackAsTheSurface()
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

void SaveTest::saveDuringARunWritesThePaintedPart()
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

void SaveTest::saveOffersTheConfirmedPathAgain()
{
    const QString confirmed = folder().filePath(QStringLiteral("basins.bmp"));
    script_.paths.push_back(confirmed);
    MessageBoxes boxes;

    trigger("cmdsave");
    QVERIFY(boxes.seen().isEmpty());
    QCOMPARE(QDir(folder().path()).entryList(QDir::Files), QStringList{"basins.bmp"});

    trigger("cmdsave"); // cancelled
    QCOMPARE(script_.fileNames, QStringList({QStringLiteral("Velmora"), confirmed}));
    QCOMPARE(script_.titles, QStringList(2, QStringLiteral("save as ")));
    QCOMPARE(script_.filters, QStringList(2, QStringLiteral("*.bmp")));
    QCOMPARE(script_.suffixes, QStringList(2, QStringLiteral("bmp")));
}

void SaveTest::failedSaveShowsNotYetSaved_data()
{
    QTest::addColumn<QString>("kind"); // empty: the chooser is cancelled
    QTest::newRow("cancelled") << QString();
    for (const char *kind : {"read-only file", "pipe", "device", "link to a device",
                             "missing folder", "name too long"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void SaveTest::failedSaveShowsNotYetSaved()
{
    QFETCH(QString, kind);
    const QString path = kind.isEmpty() ? QString() : pathkinds::make(kind, folder().path());
    QVERIFY(kind.isEmpty() || !path.isEmpty());
    const QString old = kind.isEmpty() ? QString() : pathkinds::describe(path);
    const QStringList before = pathkinds::entries(folder().path());
    const QImage picture = window_->surface().image();
    if (!kind.isEmpty())
        script_.paths.push_back(path);
    MessageBoxes boxes;

    trigger("cmdsave");

    QCOMPARE(boxes.seen().size(), 1);
    const MessageBoxes::Box &box = boxes.seen().constFirst();
    QCOMPARE(box.text, QStringLiteral("   not yet saved "));
    QCOMPARE(box.title, QStringLiteral("Velmora"));
    QVERIFY(!box.hasIcon);
    QCOMPARE(box.buttons, 1);
    QCOMPARE(pathkinds::entries(folder().path()), before);
    QCOMPARE(window_->surface().image(), picture);
    if (!kind.isEmpty())
        QCOMPARE(pathkinds::describe(path), old);
}

void SaveTest::saveTitleIsHalloAfterBackgroundColour()
{
    MessageBoxes boxes;
    trigger("cmdsave");
    trigger("bgcolor"); // cancelled; the title stays all the same
    trigger("cmdsave");
    QCOMPARE(script_.titles, QStringList({"save as ", "hallo"}));
    QCOMPARE(boxes.seen().size(), 2); // both saves cancelled, the colour command silent
}

QTEST_MAIN(SaveTest)
#include "tst_save.moc"
