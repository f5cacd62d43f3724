#include "render/sweepplot.h"
#include "tests/common/rendertool.h"
#include "tests/common/zoomfiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "scene/zoompath.h"
#include <QTest>

#include <csignal>

namespace {

/// The small picture most sweeps here render.
const QString small = QStringLiteral("--client 200x150 --picture 40x30 ");

} // namespace

class SweepToolTest : public ToolFolderTest
{
    Q_OBJECT

private slots:
    void init();
    void framesAreSingleRenders_data();
    void framesAreSingleRenders();
    void plot_data();
    void plot();
    void tippingCountsTheFrames();
    void badInputWritesNothing_data();
    void badInputWritesNothing();
    void zoomFramesAreViews_data();
    void zoomFramesAreViews();

};

void SweepToolTest::init()
{
    QVERIFY(makeFolder());
}

void SweepToolTest::framesAreSingleRenders_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("sweep");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("statistics");
    QTest::addColumn<QString>("files");

    QTest::newRow("up, shaded, csv") << "--shade"
                                     << "mass-moving=20:65:20"
                                     << "--mass-moving" << QList<int>{20, 40, 60} << "f%02d.png"
                                     << "s.csv"
                                     << "f00.png f01.png f02.png";
    QTest::newRow("down, json, two threads") << "--threads 2"
                                             << "radius-two=7:2:3"
                                             << "--radius-two" << QList<int>{7, 4} << "%d.bmp"
                                             << "s.json"
                                             << "0.bmp 1.bmp";
}

void SweepToolTest::framesAreSingleRenders()
{
    QFETCH(QString, options);
    QFETCH(QString, sweep);
    QFETCH(QString, option);
    QFETCH(QList<int>, values);
    QFETCH(QString, pattern);
    QFETCH(QString, statistics);
    QFETCH(QString, files);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sweep")));
    const Outcome swept = runTool(arguments(small + options + QStringLiteral(" --sweep ") + sweep +
                                            QStringLiteral(" --stats @/sweep/") + statistics +
                                            QStringLiteral(" @/sweep/") + pattern));
    QCOMPARE(swept.exitCode, 0);
    QCOMPARE(swept.err, QByteArray());
    const QStringList frames = files.split(QLatin1Char(' '));
    QCOMPARE(entries(dir_->filePath(QStringLiteral("sweep"))), QStringList(frames) << statistics);
    const QByteArray table = fileBytes(dir_->filePath(QStringLiteral("sweep/") + statistics));
    const bool csv = statistics.endsWith(QStringLiteral(".csv"));
    const QList<QByteArray> rows = lines(table);
    const QJsonArray objects = QJsonDocument::fromJson(table).array();
    QCOMPARE(csv ? rows.size() - 1 : objects.size(), values.size());

    std::uint64_t steps = 0;
    const QString singleStatistics = QStringLiteral("@/single.") + statistics.section('.', -1);
    const QString singlePicture = QStringLiteral("@/single.") + pattern.section('.', -1);
    for (int i = 0; i < values.size(); ++i) {
        // The single render of the same value, with everything else as in the sweep.
        const Outcome one = runTool(arguments(small + options +
                                              QStringLiteral(" %1 %2 --stats %3 %4")
                                                  .arg(option)
                                                  .arg(values[i])
                                                  .arg(singleStatistics, singlePicture)));
        QCOMPARE(one.exitCode, 0);
        QVERIFY2(fileBytes(dir_->filePath(QStringLiteral("sweep/") + frames[i])) ==
                     fileBytes(arguments(singlePicture)[0]),
                 qPrintable(frames[i]));
        const QByteArray singleTable = fileBytes(arguments(singleStatistics)[0]);
        if (csv) {
            QCOMPARE(rows[0], lines(singleTable)[0]);
            QList<QByteArray> expected = lines(singleTable)[1].split(',');
            expected[0] = QByteArray::number(i);
            expected[1] = QByteArray::number(values[i]);
            // Beside the single render's figures, the tipping from the frame before.
            QList<QByteArray> row = rows[i + 1].split(',');
            for (int k = row.size() - 9; k < row.size(); ++k)
                row[k].clear();
            QCOMPARE(row.join(','), expected.join(','));
        } else {
            QJsonObject object = QJsonDocument::fromJson(singleTable).object();
            object.insert(QStringLiteral("frame"), i);
            object.insert(QStringLiteral("value"), values[i]);
            QJsonObject frame = objects[i].toObject();
            QVERIFY(frame.take(QStringLiteral("tipping_from_previous")).isArray() == (i > 0));
            QCOMPARE(frame, object);
        }
        steps += one.out.mid(one.out.indexOf("; ") + 2).split(' ')[0].toULongLong();
    }
    // One summary line for the whole sweep.
    const QByteArray summary = QStringLiteral("%1 frames, %2 start points, %3 steps in ")
                                   .arg(values.size())
                                   .arg(values.size() * 40 * 30)
                                   .arg(steps)
                                   .toUtf8();
    QVERIFY2(swept.out.startsWith(summary), swept.out.constData());
    QCOMPARE(swept.out.count('\n'), 1);
}

void SweepToolTest::plot_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("lines");
    QTest::newRow("six values") << "--sweep mass-moving=10:60:10 --plot @/plot.png" << true;
    QTest::newRow("written with =") << "--sweep mass-moving=10:60:10 --plot=@/plot.png" << true;
    QTest::newRow("one value") << "--sweep mass-moving=10:10:5 --plot @/plot.png" << false;
}

void SweepToolTest::plot()
{
    QFETCH(QString, line);
    QFETCH(bool, lines);
    const QString path = dir_->filePath(QStringLiteral("plot.png"));
    const auto outcome = runTool(arguments(small + line + QStringLiteral(" @/f%d.bmp")));
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
        QVERIFY2(!lines || right - left > image.width() / 2, name);
        QVERIFY2(square, name);
        QVERIFY2(hasText(0, left - 20) && hasText(right + 20, image.width()), name);
    }
}

void SweepToolTest::tippingCountsTheFrames()
{
    // Both masses outside the picture rectangle (80, 60) to (120, 90), so that its pixels are
    // the start points' colours, or the background for those never captured.
    const Outcome outcome = runTool(arguments(
        small + QStringLiteral("--one 60,75 --two 140,70 --color-one #ff0000 --color-two "
                               "#0000ff --background #ffffff --sweep mass-moving=10:400:390 "
                               "--stats @/s.csv @/f%d.png")));
    QCOMPARE(outcome.exitCode, 0);
    const auto outcomesOf = [&](const char *name) {
        const QImage image(dir_->filePath(QLatin1String(name)));
        std::vector<int> outcomes; // the CSV's order: one, two, never
        for (int y = 60; y < 90; ++y) {
            for (int x = 80; x < 120; ++x) {
                const QRgb c = image.pixel(x, y) & 0xFFFFFF;
                outcomes.push_back(c == 0xFF0000 ? 0 : c == 0x0000FF ? 1 : 2);
            }
        }
        return outcomes;
    };
    const std::vector<int> earlier = outcomesOf("f0.png");
    const std::vector<int> later = outcomesOf("f1.png");
    int counts[3][3] = {};
    for (std::size_t i = 0; i < earlier.size(); ++i)
        ++counts[earlier[i]][later[i]];

    const QList<QByteArray> rows = lines(fileBytes(dir_->filePath(QStringLiteral("s.csv"))));
    QCOMPARE(rows.size(), 3);
    const QList<QByteArray> first = rows[1].split(',');
    const QList<QByteArray> second = rows[2].split(',');
    QCOMPARE(first.mid(first.size() - 9), QList<QByteArray>(9));
    int changed = 0;
    for (int from = 0; from < 3; ++from) {
        const int total = counts[from][0] + counts[from][1] + counts[from][2];
        for (int to = 0; to < 3; ++to) {
            const QByteArray &field = second[second.size() - 9 + 3 * from + to];
            if (total == 0)
                QCOMPARE(field, QByteArray());
            else
                QCOMPARE(field.toDouble(), double(counts[from][to]) / double(total));
            changed += from != to ? counts[from][to] : 0;
        }
    }
    // The frames differ, so the matrix is not the identity.
    QVERIFY(changed > 0);
}

void SweepToolTest::badInputWritesNothing_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("named");
    QTest::addColumn<QString>("linked"); // a frame made a link to f0.png, which holds "x"
    QTest::newRow("unknown name") << "--sweep mass-three=1:2:1 @/f%d.png" << QByteArray("--sweep")
                                  << "";
    QTest::newRow("more than 10000 frames")
        << "--sweep mass-one=1:20001:2 @/f%d.png" << QByteArray("--sweep") << "";
    QTest::newRow("no frame number") << "--sweep mass-one=1:2:1 @/f.png" << QByteArray("OUTPUT")
                                     << "";
    QTest::newRow("plot without sweep") << "--plot @/p.png @/f.png" << QByteArray("--plot") << "";
    QTest::newRow("plot a frame") << "--sweep mass-one=1:2:1 --plot @/f1.png @/f%d.png"
                                  << QByteArray("same file") << "";
    QTest::newRow("plot a frame spelled otherwise")
        << "--sweep mass-one=1:2:1 --plot @/./f0.png @/f%d.png" << QByteArray("same file") << "";
    QTest::newRow("two frames one file")
        << "--sweep mass-one=1:3:1 @/f%d.png" << QByteArray("same file") << "f1.png";
}

void SweepToolTest::badInputWritesNothing()
{
    QFETCH(QString, line);
    QFETCH(QByteArray, named);
    QFETCH(QString, linked);
    const QString frame = dir_->filePath(QStringLiteral("f0.png"));
    QFile file(frame);
    const QStringList made = linked.isEmpty() ? QStringList() : QStringList{"f0.png", linked};
    if (!linked.isEmpty())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1 && file.flush() &&
                QFile::link(QStringLiteral("f0.png"), dir_->filePath(linked)));
    const auto outcome = runTool(arguments(line + QStringLiteral(" --stats @/s.csv")));
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains(named), outcome.err.constData());
    QCOMPARE(outcome.out, QByteArray());
    QCOMPARE(entries(dir_->path()), made);
    QCOMPARE(fileBytes(frame), QByteArray(linked.isEmpty() ? "" : "x"));
}


void SweepToolTest::zoomFramesAreViews_data()
{
    QTest::addColumn<QString>("shard");
    QTest::addColumn<QString>("files");
    QTest::newRow("whole") << "" << "f0.png f1.png f2.png f3.png";
    QTest::newRow("second shard") << "--shard 2/2" << "f2.png f3.png";
}

void SweepToolTest::zoomFramesAreViews()
{
    QFETCH(QString, shard);
    QFETCH(QString, files);
    QTemporaryDir dir;
    QVERIFY(writeZoomFiles(dir.path(), 48, 36));
    QCOMPARE(runToolIn(dir.path(), QStringLiteral("--zoom from.json to.json --frames 4 %1 f%d.png")
                                       .arg(shard))
                 .exitCode,
             0);
    QCOMPARE(entries(dir.path()).filter(QStringLiteral(".png")).join(QLatin1Char(' ')), files);
    // The first and last frames are the files' pictures, each between a view of its own (the
    // last's file named as --view-file=FILE, the first's as --view-file FILE).
    QCOMPARE(runToolIn(dir.path(), QStringLiteral("--view-file=to.json last.png")).exitCode, 0);
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("f3.png"))),
             fileBytes(dir.filePath(QStringLiteral("last.png"))));
    const QStringList frames = files.split(QLatin1Char(' '));
    const QString middle = frames.at(frames.size() - 2); // f2.png
    View from;
    from.x = 470;
    from.y = 320;
    from.spacing = 1.5;
    View to = from;
    to.x = 505.25;
    to.y = 345.5;
    to.spacing = 0.125;
    const View v = ZoomPath{from, to, 4}.view(2);
    QCOMPARE(runToolIn(dir.path(), QStringLiteral("--view %1,%2,%3 --size 48x36 --mass-moving 70 "
                                                  "middle.png")
                                       .arg(v.x, 0, 'g', 17)
                                       .arg(v.y, 0, 'g', 17)
                                       .arg(v.spacing, 0, 'g', 17))
                 .exitCode,
             0);
    QCOMPARE(fileBytes(dir.filePath(middle)), fileBytes(dir.filePath(QStringLiteral("middle.png"))));
    if (shard.isEmpty()) {
        QCOMPARE(runToolIn(dir.path(), QStringLiteral("--view-file from.json first.png")).exitCode, 0);
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("f0.png"))),
                 fileBytes(dir.filePath(QStringLiteral("first.png"))));
    }
}

QTEST_GUILESS_MAIN(SweepToolTest)
#include "tst_sweeptool.moc"
