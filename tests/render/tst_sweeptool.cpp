#include "render/sweepplot.h"

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

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QProcess *startTool(QProcess &process, const QStringList &arguments)
{
    // The tool must find its own way without a display or a platform chosen for it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELMORA_RENDER_PATH), arguments);
    return &process;
}

Outcome finish(QProcess &process)
{
    if (!process.waitForFinished(240000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

Outcome runTool(const QStringList &arguments)
{
    QProcess process;
    startTool(process, arguments);
    return finish(process);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> lines(const QByteArray &text)
{
    QList<QByteArray> list = text.split('\n');
    if (!list.isEmpty() && list.constLast().isEmpty())
        list.removeLast();
    return list;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

/// The small picture every sweep here renders.
const QStringList small{QStringLiteral("--client"), QStringLiteral("200x150"),
                        QStringLiteral("--picture"), QStringLiteral("40x30")};

} // namespace

class SweepToolTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void framesAreSingleRenders_data();
    void framesAreSingleRenders();
    void plot();
    void badInputWritesNothing_data();
    void badInputWritesNothing();
    void unwritableFrame();
    void lostSummary();
    void interrupted_data();
    void interrupted();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

void SweepToolTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void SweepToolTest::framesAreSingleRenders_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QString>("statistics");

    QTest::newRow("up, shaded, csv")
        << QStringList{QStringLiteral("--shade"), QStringLiteral("--sweep"),
                       QStringLiteral("mass-moving=20:65:20"), QStringLiteral("f%02d.png")}
        << "--mass-moving" << QList<int>{20, 40, 60}
        << QStringList{QStringLiteral("f00.png"), QStringLiteral("f01.png"),
                       QStringLiteral("f02.png")}
        << "s.csv";
    QTest::newRow("down, json, two threads")
        << QStringList{QStringLiteral("--threads"), QStringLiteral("2"), QStringLiteral("--sweep"),
                       QStringLiteral("radius-two=7:2:3"), QStringLiteral("%d.bmp")}
        << "--radius-two" << QList<int>{7, 4}
        << QStringList{QStringLiteral("0.bmp"), QStringLiteral("1.bmp")} << "s.json";
}

void SweepToolTest::framesAreSingleRenders()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, option);
    QFETCH(QList<int>, values);
    QFETCH(QStringList, frames);
    QFETCH(QString, statistics);
    const QString sweepDir = dir_->filePath(QStringLiteral("sweep"));
    QVERIFY(QDir().mkpath(sweepDir));
    QStringList sweepArguments = small + arguments;
    sweepArguments.last() = sweepDir + QLatin1Char('/') + sweepArguments.last();
    sweepArguments << QStringLiteral("--stats") << sweepDir + QLatin1Char('/') + statistics;

    const Outcome sweep = runTool(sweepArguments);
    QCOMPARE(sweep.exitCode, 0);
    QCOMPARE(sweep.err, QByteArray());
    QCOMPARE(entries(sweepDir), QStringList(frames) << statistics);
    const QByteArray table = fileBytes(sweepDir + QLatin1Char('/') + statistics);
    const bool csv = statistics.endsWith(QStringLiteral(".csv"));
    const QList<QByteArray> rows = lines(table);
    const QJsonArray objects = QJsonDocument::fromJson(table).array();
    QCOMPARE(csv ? rows.size() - 1 : objects.size(), values.size());

    std::uint64_t steps = 0;
    for (int i = 0; i < values.size(); ++i) {
        // The single render of the same value, with everything else as in the sweep.
        QStringList single = small + arguments;
        const qsizetype at = single.indexOf(QStringLiteral("--sweep"));
        single[at] = option;
        single[at + 1] = QString::number(values[i]);
        const QString extension = frames[i].section(QLatin1Char('.'), -1);
        const QString singlePicture = dir_->filePath(QStringLiteral("single.") + extension);
        const QString singleStatistics =
            dir_->filePath(QStringLiteral("single.") + statistics.section(QLatin1Char('.'), -1));
        single.last() = singlePicture;
        single << QStringLiteral("--stats") << singleStatistics;
        const Outcome one = runTool(single);
        QCOMPARE(one.exitCode, 0);

        QVERIFY2(fileBytes(sweepDir + QLatin1Char('/') + frames[i]) == fileBytes(singlePicture),
                 qPrintable(frames[i]));
        const QByteArray singleTable = fileBytes(singleStatistics);
        if (csv) {
            QCOMPARE(rows[0], lines(singleTable)[0]);
            QList<QByteArray> expected = lines(singleTable)[1].split(',');
            expected[0] = QByteArray::number(i);
            expected[1] = QByteArray::number(values[i]);
            QCOMPARE(rows[i + 1], expected.join(','));
        } else {
            QJsonObject object = QJsonDocument::fromJson(singleTable).object();
            object.insert(QStringLiteral("frame"), i);
            object.insert(QStringLiteral("value"), values[i]);
            QCOMPARE(objects[i].toObject(), object);
        }
        const QByteArray summary = one.out;
        steps += summary.mid(summary.indexOf("; ") + 2).split(' ')[0].toULongLong();
    }
    // One summary line for the whole sweep.
    const QByteArray expectedSummary = QStringLiteral("%1 frames, %2 start points, %3 steps in ")
                                           .arg(values.size())
                                           .arg(values.size() * 40 * 30)
                                           .arg(steps)
                                           .toUtf8();
    QVERIFY2(sweep.out.startsWith(expectedSummary), sweep.out.constData());
    QCOMPARE(sweep.out.count('\n'), 1);
}

void SweepToolTest::plot()
{
    const QString path = dir_->filePath(QStringLiteral("plot.png"));
    const Outcome outcome = runTool(small + QStringList{QStringLiteral("--sweep"),
                                                        QStringLiteral("mass-moving=10:60:10"),
                                                        QStringLiteral("--plot"), path,
                                                        dir_->filePath(QStringLiteral("f%d.bmp"))});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.err, QByteArray());

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY(image.width() >= 800 && image.height() >= 500);
    const auto colourAt = [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; };
    const auto hasText = [&](int left, int right) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x) {
                if (qGray(image.pixel(x, y)) < 100)
                    return true;
            }
        }
        return false;
    };
    for (const QRgb colour : SweepPlot::colours) {
        // Each line, the basin entropy too, runs across most of the chart, between the axes'
        // labels.
        int left = image.width();
        int right = -1;
        // The legend: a small square of each line's colour.
        bool square = false;
        for (int y = 0; y + 4 < image.height(); ++y) {
            for (int x = 0; x + 4 < image.width(); ++x) {
                if (colourAt(x, y) != colour)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                bool filled = true;
                for (int i = 0; i < 25 && filled; ++i)
                    filled = colourAt(x + i % 5, y + i / 5) == colour;
                square = square || filled;
            }
        }
        const QByteArray name = QByteArray::number(colour, 16);
        QVERIFY2(right - left > image.width() / 2, name);
        QVERIFY2(square, name);
        QVERIFY2(hasText(0, left - 20) && hasText(right + 20, image.width()), name);
    }
}

void SweepToolTest::badInputWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("named");
    QTest::newRow("unknown name") << QStringList{QStringLiteral("--sweep"),
                                                 QStringLiteral("mass-three=1:2:1"),
                                                 QStringLiteral("f%d.png")}
                                  << QByteArray("--sweep");
    QTest::newRow("more than 10000 frames")
        << QStringList{QStringLiteral("--sweep"), QStringLiteral("mass-one=1:20001:2"),
                       QStringLiteral("f%d.png")}
        << QByteArray("--sweep");
    QTest::newRow("no frame number")
        << QStringList{QStringLiteral("--sweep"), QStringLiteral("mass-one=1:2:1"),
                       QStringLiteral("f.png")}
        << QByteArray("OUTPUT");
    QTest::newRow("plot without sweep")
        << QStringList{QStringLiteral("--plot"), QStringLiteral("p.png"), QStringLiteral("f.png")}
        << QByteArray("--plot");
}

void SweepToolTest::badInputWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, named);
    for (QString &argument : arguments) {
        if (argument.endsWith(QStringLiteral(".png")))
            argument = dir_->filePath(argument);
    }
    const Outcome outcome =
        runTool(arguments << QStringLiteral("--stats") << dir_->filePath(QStringLiteral("s.csv")));
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains(named), outcome.err.constData());
    QCOMPARE(outcome.out, QByteArray());
    QCOMPARE(entries(dir_->path()), QStringList());
}

void SweepToolTest::unwritableFrame()
{
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("f02.png")));
    const Outcome outcome = runTool(
        small + QStringList{QStringLiteral("--sweep"), QStringLiteral("mass-moving=20:50:10"),
                            QStringLiteral("--stats"), dir_->filePath(QStringLiteral("s.csv")),
                            dir_->filePath(QStringLiteral("f%02d.png"))});
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains("f02.png"), outcome.err.constData());
    QCOMPARE(outcome.out, QByteArray());

    QCOMPARE(entries(dir_->path()),
             (QStringList{QStringLiteral("f00.png"), QStringLiteral("f01.png"),
                          QStringLiteral("f02.png"), QStringLiteral("s.csv")}));
    for (const char *name : {"f00.png", "f01.png"}) {
        QImageReader reader(dir_->filePath(QLatin1String(name)));
        QVERIFY2(!reader.read().isNull(), name);
    }
    const QList<QByteArray> rows = lines(fileBytes(dir_->filePath(QStringLiteral("s.csv"))));
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows[1].startsWith("0,20,") && rows[2].startsWith("1,30,"));
}

void SweepToolTest::lostSummary()
{
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    startTool(process,
              small + QStringList{QStringLiteral("--sweep"), QStringLiteral("mass-one=9:10:1"),
                                  dir_->filePath(QStringLiteral("f%d.png"))});
    const Outcome outcome = finish(process);
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.err.count('\n'), 1);
    QCOMPARE(entries(dir_->path()),
             (QStringList{QStringLiteral("f0.png"), QStringLiteral("f1.png")}));
}

void SweepToolTest::interrupted_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("waitFor");
    QTest::addColumn<int>("maxFrames");
    QTest::addColumn<int>("signal");

    // About a tenth of a second a frame on one thread.
    QTest::newRow("between short frames")
        << QStringList{QStringLiteral("--client"),  QStringLiteral("400x300"),
                       QStringLiteral("--picture"), QStringLiteral("300x200"),
                       QStringLiteral("--sweep"),   QStringLiteral("radius-one=5:300:1")}
        << 5 << 1 << 2 << 295 << SIGINT;
    // The second frame would take hours.
    QTest::newRow("during a long frame")
        << QStringList{QStringLiteral("--sweep"), QStringLiteral("mass-moving=10:32767:10000")}
        << 10 << 10000 << 1 << 1 << SIGINT;
    QTest::newRow("terminated during a long frame")
        << QStringList{QStringLiteral("--sweep"), QStringLiteral("mass-moving=10:32767:10000")}
        << 10 << 10000 << 1 << 1 << SIGTERM;
}

void SweepToolTest::interrupted()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, from);
    QFETCH(int, step);
    QFETCH(int, waitFor);
    QFETCH(int, maxFrames);
    QFETCH(int, signal);
    QProcess process;
    startTool(process,
              QStringList{QStringLiteral("--threads"), QStringLiteral("1"),
                          QStringLiteral("--stats"), dir_->filePath(QStringLiteral("s.csv"))}
                  << arguments << dir_->filePath(QStringLiteral("f%03d.png")));
    QVERIFY(process.waitForStarted());
    const QString last =
        dir_->filePath(QStringLiteral("f%1.png").arg(waitFor - 1, 3, 10, QLatin1Char('0')));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(last), 120000);
    ::kill(pid_t(process.processId()), signal);
    const Outcome outcome = finish(process);
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

QTEST_GUILESS_MAIN(SweepToolTest)
#include "tst_sweeptool.moc"
