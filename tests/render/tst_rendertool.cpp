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

class RenderToolTest : public QObject
{
    Q_OBJECT

private slots:
    void writesThePicture_data();
    void writesThePicture();
    void writesAView();
    void refusedInput_data();
    void refusedInput();
    void lostSummary_data();
    void lostSummary();

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
    // Standard error is no terminal here: no progress bar. Standard output that carries the
    // statistics carries them alone, the summary going to standard error.
    const bool toOutput = statistics == QStringLiteral("-");
    if (!toOutput)
        QCOMPARE(outcome.err, QByteArray());
    const QByteArray summaryText = toOutput ? outcome.err : outcome.out;
    const QByteArray afterSummary =
        toOutput ? outcome.out : outcome.out.mid(outcome.out.indexOf('\n') + 1);

    // The same file and counts, byte for byte, from the scalar path on one thread.
    RenderParameters p = RenderParameters::defaults({200, 150});
    p.framing.picture = {40, 30};
    p.scene.colours[0] = 0x00A000;
    p.keepPointSteps = true;
    p.scene.shade = options.contains(QStringLiteral("--shade"));
    p.workers.threads = 1;
    p.workers.kernel = Kernel::scalar;
    Renderer renderer(p);
    const RenderSummary summary = renderer.render();
    const QString expectedPath = dir_.filePath(QStringLiteral("expected-") + name);
    QVERIFY(writeImageFile(renderer.surface().image(), expectedPath, format.constData()));
    QCOMPARE(fileBytes(path), fileBytes(expectedPath));

    const QByteArray expectedSummary =
        QStringLiteral("%1 start points: %2 captured by mass one, %3 by mass two, %4 never "
                       "captured; %5 steps in ")
            .arg(summary.points)
            .arg(summary.captured[0])
            .arg(summary.captured[1])
            .arg(summary.neverCaptured)
            .arg(summary.steps)
            .toUtf8();
    QVERIFY2(summaryText.startsWith(expectedSummary) && lines(summaryText).size() == 1,
             summaryText.constData());

    const Statistics s = basinStatistics(40, 30, renderer.captures(), renderer.pointSteps(), box, 2);
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
    Scene shaded;
    shaded.shade = true;
    const QString expectedPath = dir_.filePath(QStringLiteral("expected-view.png"));
    QVERIFY(writeImageFile(paintView(maps, shaded), expectedPath, "PNG"));
    QCOMPARE(fileBytes(path), fileBytes(expectedPath));
    const Statistics s =
        basinStatistics(41, 23, maps.outcomes.data(), maps.steps.data(), defaultEntropyBox, 2);
    QVERIFY(s.captured[0] > 0 && s.captured[1] > 0);
    QCOMPARE(fileBytes(statisticsPath), statisticsJson(s) + '\n');
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

QTEST_GUILESS_MAIN(RenderToolTest)
#include "tst_rendertool.moc"
