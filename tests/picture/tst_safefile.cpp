#include "picture/safefile.h"
#include "tests/common/pathkinds.h"

#include <QTemporaryDir>
#include <QTest>

#include <new>

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
    QVERIFY(!path.isEmpty());
    const QString before = pathkinds::describe(path);
    QStringList entries = pathkinds::entries(dir.path());

    const QString why = whyNotWritable(path);
    QCOMPARE(pathkinds::entries(dir.path()), entries);
    QString reason = QStringLiteral("unset");
    const bool written = writeFileSafely(
        path, [](QIODevice &device) { return device.write("new") == 3; }, &reason);

    QCOMPARE(written, writable);
    QCOMPARE(why.isEmpty(), writable);
    QCOMPARE(reason.isEmpty(), writable);
    QString after = before;
    if (!writable) {
        QVERIFY2(!why.contains(QLatin1Char('\n')), qPrintable(why));
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

QTEST_GUILESS_MAIN(SafeFileTest)
#include "tst_safefile.moc"
