#include "render/renderer.h"
#include "render/shading.h"
#include "render/statisticsfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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

/// Runs the tool; with fileSizeLimit, every file it writes fails past that many bytes, as on a
/// full disk.
Outcome runTool(const QStringList &arguments, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcess process;
    process.setChildProcessModifier([fileSizeLimit] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(QStringLiteral(VELMORA_RENDER_PATH), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

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
    void badInputWritesNothing_data();
    void badInputWritesNothing();
    void unwritableOutput_data();
    void unwritableOutput();
    void failedStatisticsWrite();
    void help();

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
    QTest::newRow("bitmap") << "picture.bmp" << QByteArray("BMP") << QStringList() << "" << 5;
    QTest::newRow("png") << "picture.png" << QByteArray("PNG") << QStringList() << "" << 5;
    QTest::newRow("shaded, JSON statistics")
        << "shaded.png" << QByteArray("PNG") << QStringList{"--shade"} << "statistics.json" << 5;
    // Statistics alone leave the picture as it is.
    QTest::newRow("CSV statistics, box 3")
        << "plain.bmp" << QByteArray("BMP") << QStringList{"--entropy-box", "3"} << "statistics.csv"
        << 3;
    QTest::newRow("statistics on standard output")
        << "out.bmp" << QByteArray("BMP") << QStringList{"--shade"} << "-" << 5;
}

void RenderToolTest::writesThePicture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QStringList, options);
    QFETCH(QString, statistics);
    QFETCH(int, box);
    const QString path = dir_.filePath(name);
    const QString statisticsPath =
        statistics == QStringLiteral("-") ? statistics : dir_.filePath(statistics);
    QStringList arguments{"--client",  "200x150", "--picture",   "40x30",
                          "--threads", "2",       "--color-one", "#00a000"};
    arguments << options;
    if (!statistics.isEmpty())
        arguments << QStringLiteral("--stats") << statisticsPath;

    const Outcome outcome = runTool(arguments << path);
    QCOMPARE(outcome.exitCode, 0);
    // Standard error is no terminal here: no progress bar.
    QCOMPARE(outcome.err, QByteArray());

    RenderParameters p = RenderParameters::defaults({200, 150});
    p.picture = {40, 30};
    p.colorOne = 0x00A000;
    p.keepPointSteps = true;
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

void RenderToolTest::badInputWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("named");
    QTest::newRow("range") << QStringList{QStringLiteral("--radius-one"), QStringLiteral("301")}
                           << QByteArray("--radius-one");
    QTest::newRow("colour") << QStringList{QStringLiteral("--background"), QStringLiteral("red")}
                            << QByteArray("--background");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--fast")} << QByteArray("fast");
    QTest::newRow("statistics as text")
        << QStringList{"--stats", "@/rejected.txt"} << QByteArray("--stats");
    QTest::newRow("entropy box") << QStringList{"--stats", "@/rejected.json", "--entropy-box",
                                                "101"}
                                 << QByteArray("--entropy-box");
}

void RenderToolTest::badInputWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, named);
    const QString path = dir_.filePath(QStringLiteral("rejected.bmp"));
    arguments.replaceInStrings(QStringLiteral("@"), dir_.path());

    const Outcome outcome = runTool(arguments << path);
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains(named), outcome.err.constData());
    QCOMPARE(outcome.out, QByteArray());
    QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("rejected*")}), QStringList());

    QCOMPARE(runTool({}).exitCode, 2);
}

void RenderToolTest::unwritableOutput_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("statistics");
    QTest::newRow("missing folder") << "missing/picture.bmp"
                                    << "";
    QTest::newRow("a folder") << "folder.bmp"
                              << "";
    // Found before the render: the picture is not written either.
    QTest::newRow("statistics in a missing folder") << "fresh1.bmp"
                                                    << "missing/statistics.json";
    QTest::newRow("statistics a folder") << "fresh2.bmp"
                                         << "folder.csv";
}

void RenderToolTest::unwritableOutput()
{
    QFETCH(QString, path);
    QFETCH(QString, statistics);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder.bmp")));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder.csv")));
    const QStringList before = QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QStringList arguments{dir_.filePath(path)};
    if (!statistics.isEmpty())
        arguments << QStringLiteral("--stats") << dir_.filePath(statistics);
    const Outcome outcome = runTool(arguments);
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
    const Outcome outcome = runTool({"--client", "24x16", "--picture", "2x2", "--stats", statistics,
                                     dir_.filePath(QStringLiteral("small.png"))},
                                    256);
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains("full.json"), outcome.err.constData());
    QCOMPARE(fileBytes(statistics), QByteArray("old contents"));
    QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("full*")}), QStringList{"full.json"});
}

void RenderToolTest::help()
{
    const Outcome outcome = runTool({QStringLiteral("--help")});
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY(outcome.out.contains("--step-limit"));
}

QTEST_GUILESS_MAIN(RenderToolTest)
#include "tst_rendertool.moc"
