#include "render/renderer.h"
#include "scene/painter.h"
#include "scene/statisticsfile.h"
#include "tests/common/rendertool.h"
#include "tests/common/normaluser.h"
#include "tests/common/pathkinds.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QStringList smallRender{QStringLiteral("--picture"), QStringLiteral("4x4")};

} // namespace

class RenderFailuresTest : public QObject
{
    Q_OBJECT

private slots:
    void unwritableOutput_data();
    void unwritableOutput();
    void failureAtTheEndNamesTheReason_data();
    void failureAtTheEndNamesTheReason();
    void noThreadCanStart_data();
    void noThreadCanStart();
    void memoryRunsOut_data();
    void memoryRunsOut();
    void memoryMessagesAreTrue_data();
    void memoryMessagesAreTrue();
    void unwritableStatistics_data();
    void unwritableStatistics();
    void unwritableSampleFoundFirst();
    void failedStatisticsWrite();

private:
    QTemporaryDir dir_;
};

void RenderFailuresTest::unwritableOutput_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : pathkinds::refusedKinds())
        QTest::newRow(qPrintable(kind)) << kind;
}

void RenderFailuresTest::unwritableOutput()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = pathkinds::make(kind, dir.path());
    const auto unflag = qScopeGuard([&] { pathkinds::setFlags(path, 0); });
    if (!path.endsWith(QLatin1String(".bmp")))
        QSKIP("only the superuser can make this, or a device whose name the renderer accepts");
    const QString before = pathkinds::describe(path);
    const QStringList entries = pathkinds::entries(dir.path());

    const bool asNormalUser = pathkinds::forNormalUser(kind) && geteuid() == 0;
    const auto outcome =
        runTool(smallRender + QStringList{path},
                asNormalUser ? QStringLiteral("exec setpriv --reuid=%1 --regid=%1 --clear-groups "
                                              "\"$0\" \"$@\"")
                                   .arg(normaluser::nobody)
                             : QString());
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.startsWith("velmora-render: cannot write '" + path.toUtf8() + "': "),
             outcome.err.constData());
    QCOMPARE(outcome.out, QByteArray());
    QCOMPARE(pathkinds::describe(path), before);
    QCOMPARE(pathkinds::entries(dir.path()), entries);
}

void RenderFailuresTest::failureAtTheEndNamesTheReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("bitmap") << "picture.bmp";
    QTest::newRow("PNG") << "picture.png";
}

void RenderFailuresTest::failureAtTheEndNamesTheReason()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(pathkinds::writeFile(path, "old", 0644));
    const QString before = pathkinds::describe(path);

    // The file may be created, but the system refuses anything past its first 512 bytes. The
    // PNG (42 kB) fails while it is encoded.
    const auto outcome = runTool({"--picture", "300x200", "--step-limit", "50", "--shade", path},
                                    QStringLiteral("trap '' XFSZ; ulimit -f 1"));
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err, "velmora-render: cannot write '" + path.toUtf8() +
                              "': " + qt_error_string(EFBIG).toUtf8() + "; nothing written.\n");
    QCOMPARE(outcome.out, QByteArray());
    QCOMPARE(pathkinds::describe(path), before);
    QCOMPARE(pathkinds::entries(dir.path()), QStringList{name});
}

void RenderFailuresTest::noThreadCanStart_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("picture") << "--threads 4 --picture 60x40 @/a.png" << QStringList{"a.png"};
    // The plot is drawn by a raster engine that would hand its work to worker threads.
    QTest::newRow("sweep with a plot")
        << "--picture 60x40 --sweep mass-one=9:10:1 --plot @/p.png --stats @/s.csv @/a%d.png"
        << QStringList{"a0.png", "a1.png", "p.png", "s.csv"};
}

void RenderFailuresTest::noThreadCanStart()
{
    QFETCH(QString, line);
    QFETCH(QStringList, written);
    QTemporaryDir dir;
    QTemporaryDir expected;
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    const auto in = [&](const QTemporaryDir &folder) {
        return QString(line).replace('@', folder.path()).split(' ');
    };
    QCOMPARE(runTool(in(expected)).exitCode, 0);

    // A process limit of 1, for a user who runs more processes than that, lets no thread start
    // (the superuser's limit is not enforced, so it becomes a user of its own first).
    QString limit = QStringLiteral("prlimit --nproc=1 --pid $$");
#if defined(__SANITIZE_ADDRESS__)
    // The leak check at exit needs a thread of its own, which the limit forbids.
    limit.prepend(QStringLiteral("export ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\"; "));
#endif
    const auto outcome =
        runTool(in(dir), geteuid() == 0 ? limit + QStringLiteral("; exec setpriv --reuid=4242 "
                                                                 "--regid=4242 --clear-groups "
                                                                 "\"$0\" \"$@\"")
                                        : limit);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.err, QByteArray());
    QCOMPARE(pathkinds::entries(dir.path()), written);
    // The plot is drawn in bands then; the rest is the same as with threads.
    for (const QString &name : written) {
        if (name != QStringLiteral("p.png"))
            QVERIFY2(fileBytes(dir.filePath(name)) == fileBytes(expected.filePath(name)),
                     qPrintable(name));
    }
}

void RenderFailuresTest::memoryRunsOut_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("allocation fails") << "nothing"
                                      << QByteArray("velmora-render: not enough memory; nothing "
                                                    "written.\n");
    // OUTPUT is looked at before the drawing surface is made, which fails here.
    QTest::newRow("output checked first") << "pipe" << QByteArray("it is a pipe");
}

void RenderFailuresTest::memoryRunsOut()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer needs more address space than any limit here leaves");
#endif
    QFETCH(QString, kind);
    QFETCH(QByteArray, message);
    const qint64 smallest = smallestAddressSpace();
    QVERIFY(smallest > 0);
    QTemporaryDir dir;
    const QString path = pathkinds::make(kind, dir.path());

    // 64 MB more: too little for the largest surface (1 GB) and for the 256 MB that a picture of
    // its size takes besides.
    const auto outcome = runTool({QStringLiteral("--client"), QStringLiteral("16384x16384"),
                                     QStringLiteral("--picture"), QStringLiteral("16384x16384"),
                                     QStringLiteral("--step-limit"), QStringLiteral("1"), path},
                                    QStringLiteral("ulimit -v %1").arg(smallest + 65536));
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains(message), outcome.err.constData());
    QCOMPARE(pathkinds::entries(dir.path()), kind == QLatin1String("pipe")
                                                 ? QStringList{QStringLiteral("picture.bmp")}
                                                 : QStringList());
}

void RenderFailuresTest::memoryMessagesAreTrue_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("most"); // kB above the smallest address space, in steps of
    QTest::addColumn<int>("step");
    const QString large = QStringLiteral("--client 2048x2048 --picture 2048x2048 --step-limit 1 ");
    // The PNG library runs out in a narrow band, and says so itself.
    QTest::newRow("PNG picture") << large + "@/out.png" << 8192 << 256;
    QTest::newRow("picture and statistics") << large + "--stats @/s.json @/out.png" << 65536
                                            << 8192;
    QTest::newRow("sweep, statistics and plot")
        << large + "--sweep mass-one=1:2:1 --stats @/s.csv --plot @/p.png @/f%d.png" << 98304
        << 8192;
}

void RenderFailuresTest::memoryMessagesAreTrue()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer needs more address space than any limit here leaves");
#endif
    QFETCH(QString, line);
    QFETCH(int, most);
    QFETCH(int, step);
    const qint64 smallest = smallestAddressSpace();
    QVERIFY(smallest > 0);
    // Memory runs out at one step or another; whatever the message says was written is there,
    // and nothing else.
    for (int kb = 0; kb <= most; kb += step) {
        QTemporaryDir dir;
        const auto outcome = runTool(QString(line).replace('@', dir.path()).split(' '),
                                     QStringLiteral("ulimit -v %1").arg(smallest + kb));
        QVERIFY2(outcome.exitCode == 0 || (outcome.exitCode == 1 && outcome.err.count('\n') == 1),
                 outcome.err.constData());
        const QStringList written = pathkinds::entries(dir.path());
        for (const QString &name : written)
            QVERIFY2(outcome.exitCode == 0 || (outcome.err.contains(name.toUtf8()) &&
                                               !outcome.err.contains("nothing written")),
                     outcome.err.constData());
    }
}

void RenderFailuresTest::unwritableStatistics_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("statistics");
    // Found before the render: the picture is not written either.
    QTest::newRow("statistics in a missing folder") << "fresh1.bmp"
                                                    << "missing/statistics.json";
    QTest::newRow("statistics a folder") << "fresh2.bmp"
                                         << "folder.csv";
}

void RenderFailuresTest::unwritableStatistics()
{
    QFETCH(QString, path);
    QFETCH(QString, statistics);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder.bmp")));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder.csv")));
    const QStringList before = QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QStringList arguments{dir_.filePath(path)};
    if (!statistics.isEmpty())
        arguments << QStringLiteral("--stats") << dir_.filePath(statistics);
    const auto outcome = runTool(arguments);
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains((statistics.isEmpty() ? path : statistics).toUtf8()),
             outcome.err.constData());
    QCOMPARE(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void RenderFailuresTest::unwritableSampleFoundFirst()
{
    // Twenty million random start points, minutes of work: three seconds of processor time end
    // the program by a signal if it starts them before it looks at where the statistics go.
    const auto outcome = runTool(
        {"--sample", "20000000", "--stats", dir_.filePath(QStringLiteral("missing/s.json")), "-"},
        QStringLiteral("ulimit -t 3"));
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY2(outcome.err.contains("missing/s.json"), outcome.err.constData());
}

void RenderFailuresTest::failedStatisticsWrite()
{
    const QString statistics = dir_.filePath(QStringLiteral("full.json"));
    {
        QFile old(statistics);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    // The picture (176 bytes) fits below the limit, the statistics (320 bytes) do not.
    const auto outcome = runTool({"--client", "24x16", "--picture", "2x2", "--stats", statistics,
                                     dir_.filePath(QStringLiteral("small.png"))},
                                    {}, 256);
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains("full.json") && outcome.err.contains("small.png' is written"),
             outcome.err.constData());
    QCOMPARE(fileBytes(statistics), QByteArray("old contents"));
    QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("full*")}), QStringList{"full.json"});
}

QTEST_GUILESS_MAIN(RenderFailuresTest)
#include "tst_renderfailures.moc"
