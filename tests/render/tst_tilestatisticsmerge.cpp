#include "render/statisticsmerge.h"
#include "render/tilestatisticsmerge.h"

#include "engine/statisticsaccumulator.h"
#include "tests/common/outcomemaps.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TileStatisticsMergeTest : public QObject
{
    Q_OBJECT

private slots:
    void merge_data();
    void merge();
};

void TileStatisticsMergeTest::merge_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("parts");
    QTest::addColumn<int>("status");
    // Tiles I of 4, in the order given; "x" marks a tile of another picture.
    QTest::newRow("json, any order") << "all.json" << "3 1 4 2" << 0;
    QTest::newRow("csv") << "all.csv" << "1 2 3 4" << 0;
    QTest::newRow("a gap") << "all.json" << "1 2 4" << 2;
    QTest::newRow("the last missing") << "all.csv" << "1 2 3" << 2;
    QTest::newRow("a tile twice") << "all.json" << "1 2 2 3 4" << 2;
    QTest::newRow("another picture's tile") << "all.json" << "1 2x 3 4" << 2;
}

void TileStatisticsMergeTest::merge()
{
    QFETCH(QString, output);
    QFETCH(QString, parts);
    QFETCH(int, status);
    const Map map = patchedMap(53, 47, 3);
    const StatisticsShape shape{map.width, map.height, 5, 3, true, true};
    QTemporaryDir dir;
    QStringList names;
    for (const QString &tile : parts.split(' ')) {
        const int index = tile.left(1).toInt();
        StatisticsAccumulator a(shape, tileRows(index, 4, map.height));
        const int first = a.fedRows().first;
        const std::size_t at = std::size_t(first) * std::size_t(map.width);
        a.addRows(first, a.fedRows().end - first,
                  reinterpret_cast<const std::uint8_t *>(map.outcomes.data()) + at,
                  map.steps.data() + at);
        const QString picture = tile.endsWith('x') ? QStringLiteral("--mass-two 9") : QString();
        names << dir.filePath(tile + QStringLiteral(".json"));
        QString why;
        QVERIFY2(writeStatisticsPartFile(names.back(), a.part(picture, index, 4), why),
                 qPrintable(why));
    }
    const QString path = dir.filePath(output);
    QCOMPARE(mergeStatisticsFiles(path, names), status);
    QFile merged(path);
    if (status != 0) {
        QVERIFY(!merged.exists());
        return;
    }
    Statistics whole = statisticsOf(map, 5);
    whole.wada = wadaMeasures(map.width, map.height,
                              reinterpret_cast<const std::uint8_t *>(map.outcomes.data()), 3);
    QVERIFY(merged.open(QIODevice::ReadOnly));
    QCOMPARE(merged.readAll(),
             statisticsText({{{}, whole}}, *statisticsFormat(output), false, 3, true));
}

QTEST_GUILESS_MAIN(TileStatisticsMergeTest)
#include "tst_tilestatisticsmerge.moc"
