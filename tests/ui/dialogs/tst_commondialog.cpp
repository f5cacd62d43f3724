#include "ui/dialogs/commondialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <type_traits>

namespace {

/// Answers the choosers from queues and records what they were opened with.
class FakeChoosers : public ChooserDialogs
{
public:
    std::deque<std::optional<std::int32_t>> colours;
    std::deque<std::optional<QString>> paths;
    QList<std::int32_t> colourRequests;
    QStringList saveRequests; // title|folder|file name|filter|suffix

    std::optional<std::int32_t> chooseColour(std::int32_t initial, QWidget *) override
    {
        colourRequests.append(initial);
        const auto answer = colours.front();
        colours.pop_front();
        return answer;
    }

    std::optional<QString> chooseSaveFile(const QString &title, const QString &folder,
                                          const QString &fileName, const QString &filter,
                                          const QString &suffix, QWidget *) override
    {
        saveRequests.append(QStringList{title, folder, fileName, filter, suffix}.join('|'));
        const auto answer = paths.front();
        paths.pop_front();
        return answer;
    }
};

/// Acts on the modal dialog of type T once it is open and active with the focus in it, as a
/// person would find it, and rejects whatever modal dialog is still open after a few seconds, so
/// that a test fails instead of hanging.
template <class T> class WhenOpen
{
public:
    explicit WhenOpen(std::function<void(T *)> action)
    {
        QObject::connect(&poll_, &QTimer::timeout, [this, action] {
            auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            if (dialog && QApplication::activeWindow() == dialog && dialog->focusWidget()) {
                poll_.stop();
                action(dialog);
            }
        });
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        poll_.start(10);
        watchdog_.start(5000);
    }

private:
    QTimer poll_;
    QTimer watchdog_;
};

/// What a chooser answered, readable in a failure message.
template <class T> QString answer(const std::optional<T> &chosen)
{
    if (!chosen)
        return QStringLiteral("(cancelled)");
    if constexpr (std::is_same_v<T, QString>)
        return *chosen;
    else
        return QString::number(*chosen);
}

} // namespace

class TestCommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void colourPersists();
    void savePersists_data();
    void savePersists();
    void folderOffered_data();
    void folderOffered();
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
    QVERIFY(!dialog.showColor(nullptr));
    QCOMPARE(dialog.colour, 0x123456);
    QVERIFY(dialog.showColor(nullptr));
    QCOMPARE(dialog.colour, 0xFF);
    QCOMPARE(choosers.colourRequests, (QList<std::int32_t>{0, 0x123456, 0x123456}));
}

void TestCommonDialog::savePersists_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<bool>("confirmed");

    const QString longest = "/tmp/" + QString(1251, 'a') + ".bmp";
    QTest::newRow("confirmed") << std::optional<QString>("/tmp/a.bmp") << true;
    QTest::newRow("cancelled") << std::optional<QString>() << false;
    QTest::newRow("empty path") << std::optional<QString>("") << false;
    QTest::newRow("1260 characters") << std::optional<QString>(longest) << true;
    QTest::newRow("1261 characters") << std::optional<QString>(longest + 'x') << false;
}

void TestCommonDialog::savePersists()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(bool, confirmed);

    auto fake = std::make_unique<FakeChoosers>();
    FakeChoosers &choosers = *fake;
    CommonDialog dialog;
    dialog.setDialogs(std::move(fake));
    choosers.paths = {answer, std::nullopt};

    QCOMPARE(dialog.showSave(nullptr), confirmed);
    const QString offered = confirmed ? *answer : "Velmora";
    QCOMPARE(dialog.fileName, offered);
    dialog.title = "hallo";
    QVERIFY(!dialog.showSave(nullptr));
    const QString home = QDir::homePath(); // there is no c:\ here
    QCOMPARE(choosers.saveRequests, (QStringList{"save as |" + home + "|Velmora|*.bmp|bmp",
                                                 "hallo|" + home + '|' + offered + "|*.bmp|bmp"}));
}

void TestCommonDialog::folderOffered_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<bool>("kept");

    QTest::newRow("existing folder") << "folder" << true;
    QTest::newRow("missing folder") << "missing" << false;
    QTest::newRow("a file, not a folder") << "file" << false;
}

void TestCommonDialog::folderOffered()
{
    QFETCH(QString, initial);
    QFETCH(bool, kept);

    const QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QVERIFY(QFile(dir.filePath("file")).open(QIODevice::WriteOnly));

    auto fake = std::make_unique<FakeChoosers>();
    FakeChoosers &choosers = *fake;
    CommonDialog dialog(std::move(fake));
    dialog.initialFolder = dir.filePath(initial);
    choosers.paths = {std::nullopt};
    dialog.showSave(nullptr);

    const QString folder = kept ? dir.filePath(initial) : QDir::homePath();
    QCOMPARE(choosers.saveRequests.constFirst().section('|', 1, 1), folder);
}

void TestCommonDialog::qtColourChooser()
{
    QColor offered;
    const WhenOpen<QColorDialog> answerColour([&](QColorDialog *dialog) {
        offered = dialog->currentColor();
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    // red 0x56 + 256 x green 0x34 + 65536 x blue 0x12
    const std::optional<std::int32_t> chosen = QtChooserDialogs().chooseColour(0x123456, nullptr);
    QCOMPARE(offered, QColor(0x56, 0x34, 0x12));
    QCOMPARE(answer(chosen), QString::number(1 + 256 * 2 + 65536 * 3));

    const WhenOpen<QColorDialog> cancel([](QColorDialog *dialog) { dialog->reject(); });
    QCOMPARE(answer(QtChooserDialogs().chooseColour(0, nullptr)), answer<int>(std::nullopt));
}

void TestCommonDialog::qtSaveChooser()
{
    const QTemporaryDir dir;
    const QString existing = dir.filePath("old.bmp");
    QVERIFY(QFile(existing).open(QIODevice::WriteOnly));
    QtChooserDialogs choosers;

    // A person replaces the offered name in the focused name field and presses Return.
    QString seen;
    const auto typeName = [&seen](const QString &name) {
        return [&seen, name](QFileDialog *dialog) {
            auto *field = qobject_cast<QLineEdit *>(dialog->focusWidget());
            seen = dialog->windowTitle() + '|' + dialog->directory().absolutePath() + '|' +
                   dialog->nameFilters().join(',') + '|' +
                   (field ? field->text() : QStringLiteral("(no name field in focus)"));
            if (!field)
                return dialog->reject();
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, name);
            QTest::keyClick(field, Qt::Key_Return);
        };
    };
    // The suffix is added also when the program's working folder holds a folder of that name.
    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir(dir.path()).mkpath("work/picture"));
    QVERIFY(QDir::setCurrent(dir.filePath("work")));
    const WhenOpen<QFileDialog> typed(typeName("picture"));
    const QString chosen =
        answer(choosers.chooseSaveFile("hallo", dir.path(), "Velmora", "*.bmp", "bmp", nullptr));
    QDir::setCurrent(workingFolder);
    QCOMPARE(chosen, dir.filePath("picture.bmp"));
    QCOMPARE(seen, "hallo|" + QDir(dir.path()).absolutePath() + "|*.bmp|Velmora");

    // Replacing a file asks nothing; a question box would be left to the watchdog, and the
    // chooser would not be accepted.
    const WhenOpen<QFileDialog> replace(typeName("old.bmp"));
    QCOMPARE(
        answer(choosers.chooseSaveFile("save as ", dir.path(), existing, "*.bmp", "bmp", nullptr)),
        existing);
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
