#include "render/renderer.h"
#include "render/shading.h"
#include "render/statisticsfile.h"
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

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// Runs the renderer, after the shell commands in setup when there are any (limits,
/// redirections). With fileSizeLimit, every file it writes fails past that many bytes, as on a
/// full disk. A renderer that ends by a signal has exit code -1.
Outcome runTool(const QStringList &arguments, const QString &setup = {},
                rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcess process;
    process.setChildProcessModifier([fileSizeLimit] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    if (setup.isEmpty()) {
        process.start(QStringLiteral(VELMORA_RENDER_PATH), arguments);
    } else {
        process.start(QStringLiteral("/bin/sh"),
                      QStringList{QStringLiteral("-c"),
                                  setup + QStringLiteral("; exec \"$0\" \"$@\""),
                                  QStringLiteral(VELMORA_RENDER_PATH)} +
                          arguments);
    }
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

/// The smallest address space, in kB and to 32 MB, in which the renderer starts at all.
qint64 smallestAddressSpace()
{
    for (qint64 kb = 32768; kb <= 4194304; kb += 32768)
        if (runTool({QStringLiteral("--version")}, QStringLiteral("ulimit -v %1").arg(kb))
                .exitCode == 0)
            return kb;
    return -1;
}

const QStringList smallRender{QStringLiteral("--picture"), QStringLiteral("4x4")};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class RenderToolTest : public QObject
{
    Q_OBJECT

private slots:
    void writesThePicture_data();
    void writesThePicture();
    void writesAView();
    void unwritableOutput_data();
    void unwritableOutput();
    void refusedInput_data();
    void refusedInput();
    void failureAtTheEndNamesTheReason_data();
    void failureAtTheEndNamesTheReason();
    void lostSummary_data();
    void lostSummary();
    void noThreadCanStart_data();
    void noThreadCanStart();
    void memoryRunsOut_data();
    void memoryRunsOut();
    void unwritableStatistics_data();
    void unwritableStatistics();
    void failedStatisticsWrite();

private:
    QTemporaryDir dir_;
};

void RenderToolTest::writesThePicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("statistics");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<QString>("threads");
    QTest::newRow("bitmap, auto") << "picture.bmp" << QByteArray("BMP") << QStringList() << "" << 5
                                  << "auto"
                                  << "2";
    QTest::newRow("png, scalar") << "picture.png" << QByteArray("PNG") << QStringList() << "" << 5
                                 << "scalar"
                                 << "3";
    QTest::newRow("bitmap, avx2") << "avx2.bmp" << QByteArray("BMP") << QStringList() << "" << 5
                                  << "avx2"
                                  << "1";
    QTest::newRow("shaded, JSON statistics")
        << "shaded.png" << QByteArray("PNG") << QStringList{"--shade"} << "statistics.json" << 5
        << "auto"
        << "2";
    // Statistics alone leave the picture as it is.
    QTest::newRow("CSV statistics, box 3")
        << "plain.bmp" << QByteArray("BMP") << QStringList{"--entropy-box", "3"} << "statistics.csv"
        << 3 << "scalar"
        << "2";
    QTest::newRow("bitmap named in capitals")
        << "CAPITALS.BMP" << QByteArray("BMP") << QStringList() << "" << 5 << "auto"
        << "2";
    QTest::newRow("statistics on standard output")
        << "out.bmp" << QByteArray("BMP") << QStringList{"--shade"} << "-" << 5 << "auto"
        << "2";
}

void RenderToolTest::writesThePicture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QStringList, options);
    QFETCH(QString, statistics);
    QFETCH(int, box);
    QFETCH(QString, kernel);
    QFETCH(QString, threads);
    Kernel requested = Kernel::automatic;
    QVERIFY(kernelFromName(kernel.toStdString(), requested));
    if (!kernelAvailable(requested))
        QSKIP("the processor lacks this kernel");
    const QString path = dir_.filePath(name);
    const QString statisticsPath =
        statistics == QStringLiteral("-") ? statistics : dir_.filePath(statistics);
    QStringList arguments{"--client", "200x150",  "--picture", "40x30",       "--threads",
                          threads,    "--kernel", kernel,      "--color-one", "#00a000"};
    arguments << options;
    if (!statistics.isEmpty())
        arguments << QStringLiteral("--stats") << statisticsPath;

    const auto outcome = runTool(arguments << path);
    QCOMPARE(outcome.exitCode, 0);
    // Standard error is no terminal here: no progress bar.
    QCOMPARE(outcome.err, QByteArray());

    // The same file and counts, byte for byte, from the scalar path on one thread.
    RenderParameters p = RenderParameters::defaults({200, 150});
    p.picture = {40, 30};
    p.colorOne = 0x00A000;
    p.keepPointSteps = true;
    p.threads = 1;
    p.kernel = Kernel::scalar;
    Renderer renderer(p);
    const RenderSummary summary = renderer.render();
    if (options.contains(QStringLiteral("--shade")))
        shadeCaptures(renderer, p.colorOne, p.colorTwo);
    const QString expectedPath = dir_.filePath(QStringLiteral("expected-") + name);
    QVERIFY(writeImageFile(renderer.surface().image(), expectedPath, format.constData()));
    QCOMPARE(fileBytes(path), fileBytes(expectedPath));

    const QByteArray expectedSummary =
        QStringLiteral("%1 start points: %2 captured by mass one, %3 by mass two, %4 never "
                       "captured; %5 steps in ")
            .arg(summary.points)
            .arg(summary.capturedOne)
            .arg(summary.capturedTwo)
            .arg(summary.neverCaptured)
            .arg(summary.steps)
            .toUtf8();
    QVERIFY2(outcome.out.startsWith(expectedSummary), outcome.out.constData());
    const QByteArray afterSummary = outcome.out.mid(outcome.out.indexOf('\n') + 1);

    const Statistics s = basinStatistics(40, 30, renderer.captures(), renderer.pointSteps(), box);
    if (statistics.isEmpty())
        QCOMPARE(afterSummary, QByteArray());
    else if (statistics == QStringLiteral("-"))
        QCOMPARE(afterSummary, statisticsJson(s) + '\n');
    else if (statistics.endsWith(QStringLiteral(".csv")))
        QCOMPARE(fileBytes(statisticsPath), statisticsCsvHeader() + statisticsCsvRow(s));
    else
        QCOMPARE(fileBytes(statisticsPath), statisticsJson(s) + '\n');
}

void RenderToolTest::writesAView()
{
    const QString path = dir_.filePath(QStringLiteral("view.png"));
    const QString statisticsPath = dir_.filePath(QStringLiteral("view.json"));
    const Outcome outcome = runTool({"--view", "509.3,347.1,0.25", "--size", "41x23", "--shade",
                                     "--stats", statisticsPath, "--threads", "2", path});
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY2(outcome.out.startsWith("view 509.3,347.1,0.25: 943 start points: "),
             outcome.out.constData());

    // Pixel (i, j) is start point (i, j), shaded, without circles; as the engine computes it.
    const TrajectoryParameters p = TrajectoryParameters::defaults({1024, 700});
    View v;
    v.x = 509.3;
    v.y = 347.1;
    v.spacing = 0.25;
    v.width = 41;
    v.height = 23;
    Workers scalar;
    scalar.kernel = Kernel::scalar;
    scalar.threads = 1;
    Engine engine(p, scalar);
    PointMaps maps;
    QVERIFY(engine.computeView(v, maps));
    std::vector<std::int32_t> colours(maps.outcomes.size());
    pointColours(maps.outcomes.data(), maps.steps.data(), v.pointCount(),
                 latestCapture(maps.outcomes.data(), maps.steps.data(), v.pointCount()),
                 sim::defaultColourOne, sim::defaultColourTwo, sim::defaultBackground,
                 colours.data());
    Surface surface({41, 23}, sim::defaultBackground);
    for (int j = 0; j < 23; ++j) {
        for (int i = 0; i < 41; ++i)
            surface.setPixel(float(i), float(j), colours[std::size_t(j * 41 + i)]);
    }
    const QString expectedPath = dir_.filePath(QStringLiteral("expected-view.png"));
    QVERIFY(writeImageFile(surface.image(), expectedPath, "PNG"));
    QCOMPARE(fileBytes(path), fileBytes(expectedPath));
    const Statistics s =
        basinStatistics(41, 23, maps.outcomes.data(), maps.steps.data(), defaultEntropyBox);
    QVERIFY(s.one > 0 && s.two > 0);
    QCOMPARE(fileBytes(statisticsPath), statisticsJson(s) + '\n');
}

void RenderToolTest::unwritableOutput_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : pathkinds::refusedKinds())
        QTest::newRow(qPrintable(kind)) << kind;
}

void RenderToolTest::unwritableOutput()
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

void RenderToolTest::refusedInput_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("named");
    // The renderer's arguments are its own, none of them Qt's.
    QTest::newRow("a platform for Qt") << ""
                                       << "--sweep mass-one=1:2:1 --plot @/p.png -platform "
                                          "xcb @/f%d.png"
                                       << QByteArray("Unknown options");
    QTest::newRow("a debugger for Qt")
        << ""
        << "-qmljsdebugger=port:5555 @/a.png" << QByteArray("Unknown options");
    QTest::newRow("a file name not in UTF-8") << "set -- \"$(printf '@/a\\377.png')\""
                                              << "" << QByteArray("argument 1");
    QTest::newRow("statistics a link to the picture")
        << "echo old >@/a.png; ln -s a.png @/s.json"
        << "--stats @/s.json @/a.png" << QByteArray("same file");
}

void RenderToolTest::refusedInput()
{
    QFETCH(QString, setup);
    QFETCH(QString, line);
    QFETCH(QByteArray, named);
    QTemporaryDir dir;
    const auto withFolder = [&](QString text) { return text.replace('@', dir.path()); };
    const QStringList entries =
        setup.contains(QLatin1String("ln")) ? QStringList{"a.png", "s.json"} : QStringList();

    const auto outcome =
        runTool(smallRender + withFolder(line).split(' ', Qt::SkipEmptyParts), withFolder(setup));
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains(named), outcome.err.constData());
    QCOMPARE(pathkinds::entries(dir.path()), entries);
}

void RenderToolTest::failureAtTheEndNamesTheReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("bitmap") << "picture.bmp";
    QTest::newRow("PNG") << "picture.png";
}

void RenderToolTest::failureAtTheEndNamesTheReason()
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

void RenderToolTest::lostSummary_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("written");
    QTest::newRow("standard output full") << "exec >/dev/full" << true;
    QTest::newRow("standard output closed") << "exec >&-" << false;
    QTest::newRow("standard output a pipe nobody reads")
        << "p=$(mktemp -u); mkfifo $p; (exec <$p) & exec >$p; wait; rm $p" << true;
}

void RenderToolTest::lostSummary()
{
    QFETCH(QString, setup);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));

    const auto outcome = runTool(smallRender + QStringList{path}, setup);
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QCOMPARE(QFile::exists(path), written);
    QCOMPARE(runTool({QStringLiteral("--version")}, setup).exitCode, 1);
}

void RenderToolTest::noThreadCanStart_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("picture") << "--threads 4 --picture 60x40 @/a.png" << QStringList{"a.png"};
    // The plot is drawn by a raster engine that would hand its work to worker threads.
    QTest::newRow("sweep with a plot")
        << "--picture 60x40 --sweep mass-one=9:10:1 --plot @/p.png --stats @/s.csv @/a%d.png"
        << QStringList{"a0.png", "a1.png", "p.png", "s.csv"};
}

void RenderToolTest::noThreadCanStart()
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

void RenderToolTest::memoryRunsOut_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("allocation fails") << "nothing"
                                      << QByteArray("velmora-render: not enough memory; nothing "
                                                    "written.\n");
    // OUTPUT is looked at before the drawing surface is made, which fails here.
    QTest::newRow("output checked first") << "pipe" << QByteArray("it is a pipe");
}

void RenderToolTest::memoryRunsOut()
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

void RenderToolTest::unwritableStatistics_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("statistics");
    // Found before the render: the picture is not written either.
    QTest::newRow("statistics in a missing folder") << "fresh1.bmp"
                                                    << "missing/statistics.json";
    QTest::newRow("statistics a folder") << "fresh2.bmp"
                                         << "folder.csv";
}

void RenderToolTest::unwritableStatistics()
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

void RenderToolTest::failedStatisticsWrite()
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

QTEST_GUILESS_MAIN(RenderToolTest)
#include "tst_rendertool.moc"
