#include "render/statisticsmerge.h"
#include "tests/common/outcomemaps.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class StatisticsMergeTest : public QObject
{
    Q_OBJECT

private slots:
    void merge_data();
    void merge();
    void outputAmongTheParts();
};

void StatisticsMergeTest::merge_data()
{
    QTest::addColumn<bool>("csv");
    QTest::addColumn<QString>("parts");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<int>("masses"); ///< beyond two, with the wada measures
    // Parts are I/N, in the order given; a suffix changes one: "x" another sweep, "h" another
    // table header, "s" a frame short as after Ctrl-C, "j" the other format, "f" a count of
    // frames past any sweep's.
    QTest::newRow("csv, any order") << true << "3/3 1/3 2/3" << "" << 2;
    QTest::newRow("json, empty shards")
        << false << "2/9 1/9 3/9 4/9 5/9 6/9 7/9 8/9 9/9" << "" << 2;
    QTest::newRow("one shard") << false << "1/1" << "" << 2;
    QTest::newRow("gap") << true << "1/3 3/3" << "shard 2/3" << 2;
    QTest::newRow("gap at the end") << false << "1/3 2/3" << "shard 3/3" << 2;
    QTest::newRow("overlap") << true << "1/3 2/3 2/3 3/3" << "repeats shard 2/3" << 2;
    QTest::newRow("shards of another split") << true << "1/2 2/3 3/3" << "another sweep" << 2;
    QTest::newRow("another sweep") << false << "1/3 2/3x 3/3" << "another sweep" << 2;
    QTest::newRow("another header") << true << "1/3 2/3h 3/3" << "header" << 2;
    QTest::newRow("interrupted shard") << false << "1/3 2/3s 3/3" << "frames" << 2;
    QTest::newRow("mixed formats") << true << "1/3 2/3j 3/3" << "not a shard's CSV" << 2;
    QTest::newRow("frames past 2^32") << true << "1/3 2/3f 3/3" << "not a shard's CSV" << 2;
    QTest::newRow("csv, three masses") << true << "2/3 3/3 1/3" << "" << 3;
    QTest::newRow("json, sixteen masses") << false << "2/2 1/2" << "" << 16;
}

void StatisticsMergeTest::merge()
{
    QFETCH(bool, csv);
    QFETCH(QString, parts);
    QFETCH(QString, refused);
    QFETCH(int, masses);
    const StatisticsFormat format = csv ? StatisticsFormat::csv : StatisticsFormat::json;
    std::vector<FrameStatistics> frames;
    for (int i = 0; i < 7; ++i) {
        Map map = scatteredMap(12 + i, 9);
        map.masses = masses;
        Statistics s = statisticsOf(map, 3);
        if (masses > 2) {
            s.wada = wadaMeasures(map.width, map.height,
                                  reinterpret_cast<const std::uint8_t *>(map.outcomes.data()),
                                  masses);
        }
        frames.push_back({{i, 100 - 3 * i}, s});
    }

    QList<QByteArray> texts;
    const QStringList names = parts.split(QLatin1Char(' '));
    for (const QString &name : names) {
        ShardMark mark{QStringLiteral("--sweep mass-one=100:82:3"), name.section('/', 0, 0).toInt(),
                       name.section('/', 1).left(1).toInt(), 7};
        const auto begin = frames.begin() + std::int64_t(mark.index - 1) * 7 / mark.count;
        std::vector<FrameStatistics> own(begin, frames.begin() + mark.index * 7 / mark.count);
        if (name.endsWith('x'))
            mark.sweep += QStringLiteral(" --mass-two 9");
        if (name.endsWith('s'))
            own.pop_back();
        const bool other = name.endsWith('j');
        QByteArray text = shardStatisticsText(
            own, other == csv ? StatisticsFormat::json : StatisticsFormat::csv, mark, masses,
            masses > 2);
        if (name.endsWith('f'))
            text.replace(" of 7 frames", " of 4294967303 frames");
        if (name.endsWith('h'))
            text.replace("basin_entropy", "entropy");
        texts << text;
    }
    QByteArray merged;
    QString why;
    QCOMPARE(mergeStatistics(texts, names, format, merged, why), refused.isEmpty());
    if (refused.isEmpty())
        QCOMPARE(merged, statisticsText(frames, format, true, masses, masses > 2));
    else
        QVERIFY2(why.contains(refused), qPrintable(why));
}

void StatisticsMergeTest::outputAmongTheParts()
{
    QTemporaryDir dir;
    const auto bytes = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QStringList parts;
    for (int k = 1; k <= 2; ++k) {
        const ShardMark mark{QStringLiteral("--sweep mass-one=10:11:1"), k, 2, 2};
        const FrameStatistics frame{{k - 1, 9 + k}, statisticsOf(scatteredMap(12, 9), 3)};
        parts << dir.filePath(QStringLiteral("s%1.csv").arg(k));
        const QByteArray text = shardStatisticsText({frame}, StatisticsFormat::csv, mark, 2, false);
        QFile file(parts.back());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
    const QByteArray first = bytes(parts[0]);
    // The first part by another name: refused, the part intact. Elsewhere the parts merge.
    QCOMPARE(mergeStatisticsFiles(dir.filePath(QStringLiteral("./s1.csv")), parts), 2);
    QCOMPARE(bytes(parts[0]), first);
    QCOMPARE(mergeStatisticsFiles(dir.filePath(QStringLiteral("all.csv")), parts), 0);
}

QTEST_GUILESS_MAIN(StatisticsMergeTest)
#include "tst_statisticsmerge.moc"
