#include "tests/common/rendertool.h"
#include "tests/common/zoomfiles.h"

#include <QImage>
#include <QStandardPaths>
#include <QTest>

#include <cerrno>
#include <csignal>

// velmora-render --zoom into a movie, with ffmpeg and without.

namespace {

/// The output of a program run to its end; empty when it failed.
QByteArray programOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return {};
    }
    return process.readAllStandardOutput();
}

/// The frames ffprobe counts in a movie.
int frameCount(const QString &movie)
{
    const QByteArray out = programOutput(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
         QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
         QStringLiteral("stream=nb_read_frames"), QStringLiteral("-of"), QStringLiteral("csv=p=0"),
         movie});
    bool ok = false;
    const int count = out.trimmed().toInt(&ok);
    return ok ? count : -1;
}

/// ffmpeg's child of process pid, 0 while there is none.
pid_t ffmpegChild(qint64 pid)
{
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (!children.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &child : children.readAll().split(' ')) {
        QFile name(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(child.trimmed())));
        if (name.open(QIODevice::ReadOnly) && name.readAll().trimmed() == "ffmpeg")
            return pid_t(child.trimmed().toLongLong());
    }
    return 0;
}

} // namespace

class MovieToolTest : public ToolFolderTest
{
    Q_OBJECT

private slots:
    void init();
    void withoutFfmpegNothingIsComputed();
    void movieHoldsEveryFrame_data();
    void movieHoldsEveryFrame();
    void interruptedLeavesTheOlderFile();
};

void MovieToolTest::init()
{
    QVERIFY(makeFolder());
    QVERIFY(writeZoomFiles(dir_->path(), 48, 36));
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty(),
             "ffmpeg is needed (tools/setup.sh installs it)");
}

void MovieToolTest::withoutFfmpegNothingIsComputed()
{
    // Frames of endless orbits at a size that would take hours: a run that computed anything
    // would exceed the processor time it is given and end by a signal.
    const Outcome outcome = runTool(
        arguments(QStringLiteral("--zoom @/from.json @/to.json --size 1280x720 --frames 900 "
                                 "--radius-one 1 --radius-two 1 @/zoom.mp4")),
        QStringLiteral("ulimit -t 5; PATH=/nonexistent"));
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(lines(outcome.err).size(), 1);
    QVERIFY2(outcome.err.contains("ffmpeg") && outcome.err.contains("%05d.png"), outcome.err);
    QCOMPARE(outcome.out, QByteArray());
    QCOMPARE(entries(dir_->path()), QStringList({"from.json", "to.json"}));
}

void MovieToolTest::movieHoldsEveryFrame_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<int>("frames");
    QTest::newRow("4:2:0, odd size") << "--frames 7 --size 47x35 --fps 12" << 7;
    QTest::newRow("lossless") << "--frames 5 --lossless" << 5;
}

void MovieToolTest::movieHoldsEveryFrame()
{
    QFETCH(QString, options);
    QFETCH(int, frames);
    const QString zoom = QStringLiteral("--zoom @/from.json @/to.json ") + options;
    const Outcome movie = runTool(arguments(zoom + QStringLiteral(" @/zoom.mp4")));
    QCOMPARE(movie.exitCode, 0);
    const QString path = dir_->filePath(QStringLiteral("zoom.mp4"));
    QCOMPARE(frameCount(path), frames);
    if (!options.contains(QStringLiteral("lossless")))
        return;
    // Decoded, the lossless movie is the frames as pictures, pixel for pixel.
    const QString pattern = QStringLiteral(" @/f%d.png");
    QCOMPARE(runTool(arguments(zoom.section(QStringLiteral(" --lossless"), 0, 0) + pattern))
                 .exitCode,
             0);
    QByteArray pictures;
    for (int k = 0; k < frames; ++k) {
        const QImage image =
            QImage(dir_->filePath(QStringLiteral("f%1.png").arg(k))).convertToFormat(QImage::Format_RGB888);
        QVERIFY(!image.isNull());
        for (int y = 0; y < image.height(); ++y)
            pictures.append(reinterpret_cast<const char *>(image.constScanLine(y)),
                            image.width() * 3);
    }
    const QByteArray decoded = programOutput(
        QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"),
                                   QStringLiteral("-i"), path, QStringLiteral("-f"),
                                   QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                                   QStringLiteral("rgb24"), QStringLiteral("-")});
    QCOMPARE(decoded.size(), pictures.size());
    QVERIFY(decoded == pictures);
}

void MovieToolTest::interruptedLeavesTheOlderFile()
{
    const QString path = dir_->filePath(QStringLiteral("zoom.mp4"));
    {
        QFile older(path);
        QVERIFY(older.open(QIODevice::WriteOnly) && older.write("older") == 5);
    }
    QProcess process;
    startTool(process, arguments(QStringLiteral("--zoom @/from.json @/to.json --size 640x480 "
                                                "--frames 5000 --threads 1 @/zoom.mp4")));
    QVERIFY(process.waitForStarted());
    pid_t ffmpeg = 0;
    for (int i = 0; i < 2000 && ffmpeg == 0 && process.state() == QProcess::Running; ++i) {
        ffmpeg = ffmpegChild(process.processId());
        if (ffmpeg == 0)
            QTest::qWait(5);
    }
    QVERIFY2(ffmpeg != 0, "ffmpeg never started");
    ::kill(pid_t(process.processId()), SIGINT);
    const Outcome outcome = finish(process);
    QCOMPARE(outcome.exitCode, 128 + SIGINT);
    QVERIFY2(outcome.err.contains("nothing written"), outcome.err);
    QCOMPARE(fileBytes(path), QByteArray("older"));
    QCOMPARE(entries(dir_->path()), QStringList({"from.json", "to.json", "zoom.mp4"}));
    // ffmpeg has been ended and waited for: its process is gone.
    QCOMPARE(::kill(ffmpeg, 0), -1);
    QCOMPARE(errno, ESRCH);
}

QTEST_GUILESS_MAIN(MovieToolTest)
#include "tst_movietool.moc"
