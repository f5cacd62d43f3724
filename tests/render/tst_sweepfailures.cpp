#include "render/sweepplot.h"
#include "tests/common/rendertool.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

/// The small picture most sweeps here render.
const QString small = QStringLiteral("--client 200x150 --picture 40x30 ");

} // namespace

class SweepFailuresTest : public ToolFolderTest
{
    Q_OBJECT

private slots:
    void init();
    void unwritableFrame_data();
    void unwritableFrame();
    void unwritableFramesFoundFirst_data();
    void unwritableFramesFoundFirst();
    void lostSummary();
    void interrupted_data();
    void interrupted();

};

void SweepFailuresTest::init()
{
    QVERIFY(makeFolder());
}

void SweepFailuresTest::unwritableFrame_data()
{
    QTest::addColumn<QString>("statistics");
    QTest::newRow("statistics to a file") << "@/s.csv";
    // The frames written, and nothing but their statistics on standard output.
    QTest::newRow("statistics on standard output") << "-";
}

void SweepFailuresTest::unwritableFrame()
{
    QFETCH(QString, statistics);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("f02.png")));
    const auto outcome = runTool(arguments(small + QStringLiteral("--sweep mass-moving=20:50:10 "
                                                                  "--stats %1 @/f%02d.png")
                                                       .arg(statistics)));
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains("f02.png") && outcome.err.contains("frames 0 to 1 are written"),
             outcome.err.constData());

    const bool toFile = statistics != QStringLiteral("-");
    QCOMPARE(entries(dir_->path()).join(' '),
             QStringLiteral("f00.png f01.png f02.png") + (toFile ? " s.csv" : ""));
    for (const char *name : {"f00.png", "f01.png"}) {
        QImageReader reader(dir_->filePath(QLatin1String(name)));
        QVERIFY2(!reader.read().isNull(), name);
    }
    if (toFile) {
        QCOMPARE(outcome.out, QByteArray());
        const QList<QByteArray> rows = lines(fileBytes(dir_->filePath(QStringLiteral("s.csv"))));
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows[1].startsWith("0,20,") && rows[2].startsWith("1,30,"));
    } else {
        const QJsonArray objects = QJsonDocument::fromJson(outcome.out).array();
        QCOMPARE(objects.size(), 2);
        QCOMPARE(objects[1].toObject().value(QStringLiteral("value")).toInt(), 30);
    }
}

void SweepFailuresTest::unwritableFramesFoundFirst_data()
{
    QTest::addColumn<QString>("frames");
    QTest::newRow("missing folder") << "@/missing/f%d.png";
    // Frames 0 to 9 have the longest names the file system takes; frame 10 does not fit.
    QTest::newRow("last name too long") << "@/" + QString(250, 'a') + "%d.png";
}

void SweepFailuresTest::unwritableFramesFoundFirst()
{
    QFETCH(QString, frames);
    const auto outcome = runTool(arguments(
        small + QStringLiteral("--sweep mass-one=1:11:1 --stats @/s.csv --plot @/p.png ") +
        frames));
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QCOMPARE(entries(dir_->path()), QStringList());
}

void SweepFailuresTest::lostSummary()
{
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    startTool(process, arguments(small + QStringLiteral("--sweep mass-one=9:10:1 @/f%d.png")));
    const auto outcome = finish(process);
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QCOMPARE(entries(dir_->path()).join(' '), QStringLiteral("f0.png f1.png"));
}

void SweepFailuresTest::interrupted_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("waitFor");
    QTest::addColumn<int>("maxFrames");
    QTest::addColumn<int>("signal");

    // About a tenth of a second a frame on one thread.
    QTest::newRow("between short frames")
        << "--client 400x300 --picture 300x200 --sweep radius-one=5:300:1" << 5 << 1 << 2 << 295
        << SIGINT;
    // The second frame would take hours.
    QTest::newRow("during a long frame")
        << "--sweep mass-moving=10:32767:10000" << 10 << 10000 << 1 << 1 << SIGINT;
    QTest::newRow("terminated during a long frame")
        << "--sweep mass-moving=10:32767:10000" << 10 << 10000 << 1 << 1 << SIGTERM;

}

void SweepFailuresTest::interrupted()
{
    QFETCH(QString, line);
    QFETCH(int, from);
    QFETCH(int, step);
    QFETCH(int, waitFor);
    QFETCH(int, maxFrames);
    QFETCH(int, signal);
    QProcess process;
    startTool(process, arguments(QStringLiteral("--threads 1 --stats @/s.csv ") + line +
                                 QStringLiteral(" @/f%03d.png")));
    QVERIFY(process.waitForStarted());
    const QString last =
        dir_->filePath(QStringLiteral("f%1.png").arg(waitFor - 1, 3, 10, QLatin1Char('0')));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(last), 120000);
    ::kill(pid_t(process.processId()), signal);
    const auto outcome = finish(process);
    // As a shell reports a program the signal ended.
    QCOMPARE(outcome.exitCode, 128 + signal);
    QCOMPARE(outcome.err.count('\n'), 1);

    // Complete frames only, each with its row, and nothing else.
    QStringList names = entries(dir_->path());
    QVERIFY(names.removeOne(QStringLiteral("s.csv")));
    QVERIFY(names.size() >= waitFor && names.size() <= maxFrames);
    const QList<QByteArray> rows = lines(fileBytes(dir_->filePath(QStringLiteral("s.csv"))));
    QCOMPARE(rows.size(), names.size() + 1);
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(names[i], QStringLiteral("f%1.png").arg(i, 3, 10, QLatin1Char('0')));
        QImageReader reader(dir_->filePath(names[i]));
        QVERIFY2(!reader.read().isNull(), qPrintable(names[i]));
        QVERIFY(
            rows[i + 1].startsWith(QStringLiteral("%1,%2,").arg(i).arg(from + i * step).toUtf8()));
    }
}

QTEST_GUILESS_MAIN(SweepFailuresTest)
#include "tst_sweepfailures.moc"
