#include "render/renderer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome runTool(const QStringList &arguments)
{
    QProcess process;
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
    void help();

private:
    QTemporaryDir dir_;
};

void RenderToolTest::writesThePicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<QString>("threads");
    QTest::newRow("bitmap, auto") << "picture.bmp" << QByteArray("BMP") << "auto"
                                  << "2";
    QTest::newRow("png, scalar") << "picture.png" << QByteArray("PNG") << "scalar"
                                 << "3";
    QTest::newRow("bitmap, avx2") << "avx2.bmp" << QByteArray("BMP") << "avx2"
                                  << "1";
}

void RenderToolTest::writesThePicture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QString, kernel);
    QFETCH(QString, threads);
    Kernel requested = Kernel::automatic;
    QVERIFY(kernelFromName(kernel.toStdString(), requested));
    if (!kernelAvailable(requested))
        QSKIP("the processor lacks this kernel");
    const QString path = dir_.filePath(name);

    const Outcome outcome =
        runTool({QStringLiteral("--client"), QStringLiteral("200x150"), QStringLiteral("--picture"),
                 QStringLiteral("40x30"), QStringLiteral("--color-one"), QStringLiteral("#00a000"),
                 QStringLiteral("--threads"), threads, QStringLiteral("--kernel"), kernel, path});
    QCOMPARE(outcome.exitCode, 0);
    // Standard error is no terminal here: no progress bar.
    QCOMPARE(outcome.err, QByteArray());
    QCOMPARE(outcome.out.count('\n'), 1);

    // The same file and counts, byte for byte, from the scalar path on one thread.
    RenderParameters p = RenderParameters::defaults({200, 150});
    p.picture = {40, 30};
    p.colorOne = 0x00A000;
    p.threads = 1;
    p.kernel = Kernel::scalar;
    Renderer renderer(p);
    const RenderSummary summary = renderer.render();
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
    QTest::newRow("kernel") << QStringList{QStringLiteral("--kernel"), QStringLiteral("avx512")}
                            << QByteArray("--kernel");
}

void RenderToolTest::badInputWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, named);
    const QString path = dir_.filePath(QStringLiteral("rejected.bmp"));

    const Outcome outcome = runTool(arguments << path);
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains(named), outcome.err.constData());
    QCOMPARE(outcome.out, QByteArray());
    QVERIFY(!QFile::exists(path));

    QCOMPARE(runTool({}).exitCode, 2);
}

void RenderToolTest::unwritableOutput_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing folder") << "missing/picture.bmp";
    QTest::newRow("a folder") << "folder.bmp";
}

void RenderToolTest::unwritableOutput()
{
    QFETCH(QString, path);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder.bmp")));
    const QStringList before = QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const Outcome outcome = runTool({dir_.filePath(path)});
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY(!outcome.err.isEmpty());
    QCOMPARE(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void RenderToolTest::help()
{
    const Outcome outcome = runTool({QStringLiteral("--help")});
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY(outcome.out.contains("--step-limit"));
}

QTEST_GUILESS_MAIN(RenderToolTest)
#include "tst_rendertool.moc"
