#include "files/safefile.h"
#include "tests/common/normaluser.h"
#include "tests/common/pathkinds.h"
#include "tests/common/pipewatch.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <new>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

class SafeFileTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pathKinds_data();
    void pathKinds();
    void failedContentsKeepTheOldFile_data();
    void failedContentsKeepTheOldFile();
    void endedWhileWriting_data();
    void endedWhileWriting();
    void changedWhileWriting_data();
    void changedWhileWriting();
    void race_data();
    void race();
    void sameFile_data();
    void sameFile();
};

void SafeFileTest::initTestCase()
{
    umask(022);
}

void SafeFileTest::pathKinds_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("writable");
    for (const QString &kind : pathkinds::writableKinds())
        QTest::newRow(qPrintable(kind)) << kind << true;
    for (const QString &kind : pathkinds::refusedKinds())
        QTest::newRow(qPrintable(kind)) << kind << false;
}

void SafeFileTest::pathKinds()
{
    QFETCH(QString, kind);
    QFETCH(bool, writable);
    QTemporaryDir dir;
    const QString path = pathkinds::make(kind, dir.path());
    const auto unflag = qScopeGuard([&] { pathkinds::setFlags(path, 0); });
    if (path.isEmpty() && pathkinds::privilegedKinds().contains(kind))
        QSKIP("only the superuser can make this");
    QVERIFY(!path.isEmpty());
    const QString before = pathkinds::describe(path);
    QStringList entries = pathkinds::entries(dir.path());
    std::optional<PipeWatch> watch;
    if (kind == QLatin1String("pipe"))
        watch.emplace(QFile::encodeName(path));

    // Whether it is found writable, whether the folder is as it was then, whether it is written,
    // and whether the reason is given: 1 for yes.
    const auto attempt = [&] {
        const QString why = whyNotWritable(path);
        QByteArray result = why.isEmpty() ? "1" : "0";
        result += pathkinds::entries(dir.path()) == entries ? "1" : "0";
        QString reason = QStringLiteral("unset");
        result += writeFileSafely(
                      path, [](QIODevice &device) { return device.write("new") == 3; }, &reason)
                      ? "1"
                      : "0";
        result += reason.isEmpty() ? "1" : "0";
        return result + (why + reason).toUtf8();
    };
    const QByteArray result = pathkinds::forNormalUser(kind) ? normaluser::run(attempt) : attempt();
    QVERIFY2(!watch || !watch->opened(), "the pipe was opened");
    QCOMPARE(result.left(4), QByteArray(writable ? "1111" : "0100"));
    QString after = before;
    if (!writable) {
        QVERIFY2(!result.contains('\n'), result.constData());
    } else if (before == QLatin1String("nothing")) {
        after =
            QStringLiteral("mode 100644, owner %1:%2, holding 'new'").arg(geteuid()).arg(getegid());
        entries.append(QFileInfo(path).fileName());
    } else {
        after.replace(QStringLiteral("'old'"), QStringLiteral("'new'"));
    }
    // A replaced file keeps its mode and owner, a link stays a link to the file it led to, and
    // anything refused is as it was. Nothing else is left in the folder.
    QCOMPARE(pathkinds::describe(path), after);
    entries.sort();
    QCOMPARE(pathkinds::entries(dir.path()), entries);
}

void SafeFileTest::failedContentsKeepTheOldFile_data()
{
    QTest::addColumn<bool>("throws");
    QTest::newRow("contents not written") << false;
    QTest::newRow("allocation fails") << true;
}

void SafeFileTest::failedContentsKeepTheOldFile()
{
    QFETCH(bool, throws);
    QTemporaryDir dir;
    const QString path = pathkinds::make(QStringLiteral("regular file"), dir.path());
    const QString before = pathkinds::describe(path);

    QString reason;
    const bool written = writeFileSafely(
        path,
        [throws](QIODevice &device) {
            device.write("partial");
            if (throws)
                throw std::bad_alloc();
            return false;
        },
        &reason);

    QVERIFY(!written);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(pathkinds::describe(path), before);
    QCOMPARE(pathkinds::entries(dir.path()), QStringList{QStringLiteral("picture.bmp")});
}

void SafeFileTest::endedWhileWriting_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("INT") << SIGINT;
    QTest::newRow("TERM") << SIGTERM;
    QTest::newRow("HUP") << SIGHUP;
    // No handler runs: only a file without a name leaves nothing.
    QTest::newRow("KILL") << SIGKILL;
}

void SafeFileTest::endedWhileWriting()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString path = pathkinds::make(QStringLiteral("regular file"), dir.path());
    const QString before = pathkinds::describe(path);

    const pid_t child = fork();
    if (child == 0) {
        std::signal(signal, SIG_DFL); // as in a program that does not handle it
        writeFileSafely(path, [signal](QIODevice &device) {
            device.write("partial");
            raise(signal);
            return true;
        });
        _exit(0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == signal);
    QCOMPARE(pathkinds::describe(path), before);
    QCOMPARE(pathkinds::entries(dir.path()), QStringList{QStringLiteral("picture.bmp")});
}

void SafeFileTest::changedWhileWriting_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("written");
    QTest::newRow("pipe made where nothing was") << "nothing"
                                                 << "pipe" << false;
    QTest::newRow("file replaced by a pipe") << "regular file"
                                             << "pipe" << false;
    QTest::newRow("file replaced by another") << "regular file"
                                              << "other file" << false;
    QTest::newRow("link switched to another file") << "link to a regular file"
                                                   << "other link" << true;
}

void SafeFileTest::changedWhileWriting()
{
    QFETCH(QString, kind);
    QFETCH(QString, change);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const QString path = pathkinds::make(kind, dir.path());
    const QString other = dir.filePath(QStringLiteral("other.bmp"));
    QVERIFY(pathkinds::writeFile(other, "other", 0600));
    const QByteArray name = QFile::encodeName(path);
    const QString target = dir.filePath(QStringLiteral("target.bmp"));
    const QString targetBefore = pathkinds::describe(target);
    const QString otherBefore = pathkinds::describe(other);
    // The pipe's second name, elsewhere, for the watch: the write may move the first.
    const QTemporaryDir elsewhere;
    const QByteArray spare = QFile::encodeName(elsewhere.filePath(QStringLiteral("pipe")));
    std::optional<PipeWatch> watch;

    QString reason;
    const bool wrote = writeFileSafely(
        path,
        [&](QIODevice &device) {
            QFile::remove(path);
            if (change == QLatin1String("pipe")) {
                mkfifo(name.constData(), 0644);
                link(name.constData(), spare.constData());
                watch.emplace(spare);
            } else if (change == QLatin1String("other file")) {
                QFile::copy(other, path);
            } else {
                QFile::link(QStringLiteral("other.bmp"), path);
            }
            return device.write("new") == 3;
        },
        &reason);

    QVERIFY2(!watch || !watch->opened(), "the pipe was opened");
    // Only ever the file that was examined is replaced: here the link's first target.
    QCOMPARE(wrote, written);
    QCOMPARE(reason.isEmpty(), written);
    QCOMPARE(pathkinds::describe(other), otherBefore);
    if (written)
        QCOMPARE(pathkinds::describe(target), QString(targetBefore).replace("'old'", "'new'"));
    else if (change == QLatin1String("pipe"))
        QVERIFY(pathkinds::describe(path).startsWith(QStringLiteral("mode 10644")));
    QCOMPARE(pathkinds::entries(dir.path()).size(), written ? 3 : 2);
}

void SafeFileTest::race_data()
{
    QTest::addColumn<QString>("attack");
    QTest::newRow("link switched between files of different modes") << "link";
    QTest::newRow("pipe made and removed") << "pipe";
}

void SafeFileTest::race()
{
    // A normal user writes through a name that another of its processes keeps changing; the
    // other process counts the times the write harmed one of its files.
    QFETCH(QString, attack);
    QTemporaryDir dir;
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
    const QDir folder(dir.path());
    const QString path = folder.filePath(QStringLiteral("L.bmp"));
    const QByteArray name = QFile::encodeName(path);
    const QByteArray next = QFile::encodeName(folder.filePath(QStringLiteral("next.bmp")));
    const QByteArray a = QFile::encodeName(folder.filePath(QStringLiteral("a.bmp")));
    const QByteArray b = QFile::encodeName(folder.filePath(QStringLiteral("b.bmp")));

    const normaluser::Child writer = normaluser::start([&] {
        for (;;)
            writeFileSafely(path, [](QIODevice &device) { return device.write("new") == 3; });
        return QByteArray();
    });
    const normaluser::Child attacker = normaluser::start([&] {
        int harmed = 0;
        const auto modeOf = [](const QByteArray &file) {
            struct stat status = {};
            return stat(file.constData(), &status) == 0 ? status.st_mode & 07777 : 0;
        };
        if (attack == QLatin1String("link") &&
            (!pathkinds::writeFile(a, "a", 0644) || !pathkinds::writeFile(b, "b", 0600)))
            return QByteArray("cannot make the files");
        const QDeadlineTimer deadline(2000);
        for (int i = 0; !deadline.hasExpired(); ++i) {
            if (attack == QLatin1String("link")) {
                symlink(i % 2 ? "a.bmp" : "b.bmp", next.constData());
                rename(next.constData(), name.constData());
                harmed += modeOf(a) != 0644 || modeOf(b) != 0600;
                chmod(a.constData(), 0644);
                chmod(b.constData(), 0600);
            } else if (unlink(name.constData()), mkfifo(a.constData(), 0644) == 0) {
                // The pipe's second name shows whether the first was taken from it.
                if (link(a.constData(), name.constData()) == 0) {
                    usleep(50);
                    struct stat status = {};
                    harmed += stat(a.constData(), &status) == 0 && status.st_nlink == 1;
                }
                unlink(a.constData());
            }
        }
        return QByteArray::number(harmed);
    });
    const QByteArray harmed = normaluser::finish(attacker);
    normaluser::finish(writer, true);
    QCOMPARE(harmed, QByteArray("0"));
}

void SafeFileTest::sameFile_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("same");
    QTest::newRow("one file, two spellings") << "a.png"
                                             << "./sub/../a.png" << true;
    QTest::newRow("a link and its file") << "link.png"
                                         << "a.png" << true;
    QTest::newRow("two files") << "a.png"
                               << "b.png" << false;
    QTest::newRow("new, through a linked folder") << "linked/new.png"
                                                  << "sub/new.png" << true;
    QTest::newRow("two new files") << "new.png"
                                   << "other.png" << false;
    QTest::newRow("one new, one existing") << "new.png"
                                           << "a.png" << false;
}

void SafeFileTest::sameFile()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);
    QTemporaryDir dir;
    const QDir folder(dir.path());
    QVERIFY(folder.mkdir(QStringLiteral("sub")));
    QVERIFY(pathkinds::writeFile(folder.filePath(QStringLiteral("a.png")), "a", 0644));
    QVERIFY(pathkinds::writeFile(folder.filePath(QStringLiteral("b.png")), "b", 0644));
    QVERIFY(QFile::link(QStringLiteral("a.png"), folder.filePath(QStringLiteral("link.png"))));
    QVERIFY(QFile::link(QStringLiteral("sub"), folder.filePath(QStringLiteral("linked"))));
    QCOMPARE(isSameFile(folder.filePath(first), folder.filePath(second)), same);
}

QTEST_GUILESS_MAIN(SafeFileTest)
#include "tst_safefile.moc"
