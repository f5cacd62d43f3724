#include "ui/dialogs/commondialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

namespace {

struct SaveRequest
{
    QString title, folder, fileName, filter, defaultSuffix;
};

/// Answers the choosers from queues and records what they were opened with.
class FakeChoosers : public ChooserDialogs
{
public:
    std::deque<std::optional<std::int32_t>> colours;
    std::deque<std::optional<QString>> paths;
    QList<std::int32_t> colourRequests;
    QList<SaveRequest> saveRequests;

    std::optional<std::int32_t> chooseColour(std::int32_t initial, QWidget *) override
    {
        colourRequests.append(initial);
        const auto answer = colours.front();
        colours.pop_front();
        return answer;
    }

    std::optional<QString> chooseSaveFile(const QString &title, const QString &folder,
                                          const QString &fileName, const QString &filter,
                                          const QString &defaultSuffix, QWidget *) override
    {
        saveRequests.append({title, folder, fileName, filter, defaultSuffix});
        const auto answer = paths.front();
        paths.pop_front();
        return answer;
    }
};

/// Acts on the modal dialog of type T once it is open. Whatever modal dialog is still open after
/// a few seconds is rejected, so a test fails instead of hanging.
template <class T> class WhenOpen
{
public:
    explicit WhenOpen(std::function<void(T *)> action)
    {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this, action] {
            if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
                poll_.stop();
                action(dialog);
            }
        });
        poll_.start();
        watchdog_.setInterval(5000);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        watchdog_.start();
    }

private:
    QTimer poll_;
    QTimer watchdog_;
};

} // namespace

class TestCommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void colourPersists();
    void saveOutcome_data();
    void saveOutcome();
    void saveKeepsSettings();
    void folderOffered_data();
    void folderOffered();
    void qtColourChooser_data();
    void qtColourChooser();
    void qtSaveChooser();
};

void TestCommonDialog::colourPersists()
{
    auto fake = std::make_unique<FakeChoosers>();
    FakeChoosers &choosers = *fake;
    CommonDialog dialog(std::move(fake));
    choosers.colours = {0x123456, std::nullopt, 0xFF};

    QVERIFY(dialog.showColor(nullptr));
    QCOMPARE(dialog.colour, 0x123456);
    QVERIFY(!dialog.showColor(nullptr));
    QCOMPARE(dialog.colour, 0x123456);
    QVERIFY(dialog.showColor(nullptr));
    QCOMPARE(dialog.colour, 0xFF);
    QCOMPARE(choosers.colourRequests, (QList<std::int32_t>{0, 0x123456, 0x123456}));
}

void TestCommonDialog::saveOutcome_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<bool>("confirmed");

    const QString longest =
        QStringLiteral("/tmp/") + QString(1251, QLatin1Char('a')) + QStringLiteral(".bmp");
    QTest::newRow("confirmed") << std::optional<QString>(QStringLiteral("/tmp/a.bmp")) << true;
    QTest::newRow("cancelled") << std::optional<QString>() << false;
    QTest::newRow("empty path") << std::optional<QString>(QString()) << false;
    QTest::newRow("1260 characters") << std::optional<QString>(longest) << true;
    QTest::newRow("1261 characters") << std::optional<QString>(longest + QLatin1Char('x')) << false;
}

void TestCommonDialog::saveOutcome()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(bool, confirmed);

    auto fake = std::make_unique<FakeChoosers>();
    FakeChoosers &choosers = *fake;
    CommonDialog dialog;
    dialog.setDialogs(std::move(fake));
    choosers.paths = {answer, std::nullopt};

    QCOMPARE(dialog.showSave(nullptr), confirmed);
    const QString expected = confirmed ? *answer : QStringLiteral("Velmora");
    QCOMPARE(dialog.fileName, expected);
    QVERIFY(!dialog.showSave(nullptr));
    QCOMPARE(choosers.saveRequests.at(1).fileName, expected);
}

void TestCommonDialog::saveKeepsSettings()
{
    auto fake = std::make_unique<FakeChoosers>();
    FakeChoosers &choosers = *fake;
    CommonDialog dialog(std::move(fake));
    choosers.paths = {std::nullopt, std::nullopt};

    dialog.showSave(nullptr);
    dialog.title = QStringLiteral("hallo");
    dialog.showSave(nullptr);

    const SaveRequest &first = choosers.saveRequests.at(0);
    QCOMPARE(first.title, QStringLiteral("save as "));
    QCOMPARE(first.fileName, QStringLiteral("Velmora"));
    QCOMPARE(first.filter, QStringLiteral("*.bmp"));
    QCOMPARE(first.defaultSuffix, QStringLiteral("bmp"));
    QCOMPARE(choosers.saveRequests.at(1).title, QStringLiteral("hallo"));
}

void TestCommonDialog::folderOffered_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<bool>("kept");

    QTest::newRow("existing folder") << QStringLiteral("folder") << true;
    QTest::newRow("missing folder") << QStringLiteral("missing") << false;
    QTest::newRow("a file, not a folder") << QStringLiteral("file") << false;
    QTest::newRow("drive C on this system")
        << QStringLiteral("c:\\") << QDir(QStringLiteral("c:\\")).exists();
}

void TestCommonDialog::folderOffered()
{
    QFETCH(QString, initial);
    QFETCH(bool, kept);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QFile file(dir.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QString folder = initial == QStringLiteral("c:\\") ? initial : dir.filePath(initial);

    auto fake = std::make_unique<FakeChoosers>();
    FakeChoosers &choosers = *fake;
    CommonDialog dialog(std::move(fake));
    dialog.initialFolder = folder;
    choosers.paths = {std::nullopt};
    dialog.showSave(nullptr);

    QCOMPARE(choosers.saveRequests.at(0).folder, kept ? folder : QDir::homePath());
    QCOMPARE(dialog.initialFolder, folder);
}

void TestCommonDialog::qtColourChooser_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void TestCommonDialog::qtColourChooser()
{
    QFETCH(bool, accept);

    QColor offered;
    const WhenOpen<QColorDialog> answer([&](QColorDialog *dialog) {
        offered = dialog->currentColor();
        dialog->setCurrentColor(QColor(1, 2, 3));
        accept ? dialog->accept() : dialog->reject();
    });
    // Packed as red + 256 x green + 65536 x blue: red 0x56, green 0x34, blue 0x12.
    const std::optional<std::int32_t> chosen = QtChooserDialogs().chooseColour(0x123456, nullptr);

    QCOMPARE(offered, QColor(0x56, 0x34, 0x12));
    QCOMPARE(chosen, accept ? std::optional<std::int32_t>(1 + 256 * 2 + 65536 * 3)
                            : std::optional<std::int32_t>());
}

void TestCommonDialog::qtSaveChooser()
{
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("old.bmp")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    QString title;
    QStringList filters;
    QString directory;
    const WhenOpen<QFileDialog> typeName([&](QFileDialog *dialog) {
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        directory = dialog->directory().absolutePath();
        dialog->selectFile(QStringLiteral("picture"));
        static_cast<QDialog *>(dialog)->accept(); // the file dialog's own accept, as Save does
    });
    const std::optional<QString> typed = QtChooserDialogs().chooseSaveFile(
        QStringLiteral("hallo"), dir.path(), QStringLiteral("Velmora"), QStringLiteral("*.bmp"),
        QStringLiteral("bmp"), nullptr);
    QCOMPARE(title, QStringLiteral("hallo"));
    QCOMPARE(filters, QStringList{QStringLiteral("*.bmp")});
    QCOMPARE(directory, QDir(dir.path()).absolutePath());
    QCOMPARE(typed, std::optional<QString>(dir.filePath(QStringLiteral("picture.bmp"))));

    // An existing file is taken without a question; a question box would be left to the watchdog
    // and the chooser would not be accepted.
    const WhenOpen<QFileDialog> replace(
        [](QFileDialog *dialog) { static_cast<QDialog *>(dialog)->accept(); });
    const std::optional<QString> replaced = QtChooserDialogs().chooseSaveFile(
        QStringLiteral("save as "), dir.path(), existing.fileName(), QStringLiteral("*.bmp"),
        QStringLiteral("bmp"), nullptr);
    QCOMPARE(replaced, std::optional<QString>(existing.fileName()));
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
