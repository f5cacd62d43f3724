#include "engine/statisticsaccumulator.h"

#include "tests/common/outcomemaps.h"

#include <QtTest>

namespace {

/// Every field, doubles by their bits.
QString describe(const Statistics &s)
{
    QString t = QStringLiteral("points %1 never %2 captured").arg(s.points).arg(s.never);
    const auto number = [&](double v) { t += QStringLiteral(" %1").arg(v, 0, 'g', 17); };
    const auto optional = [&](const std::optional<double> &v) {
        v ? number(*v) : void(t += QStringLiteral(" none"));
    };
    for (const std::int64_t c : s.captured)
        t += QStringLiteral(" %1").arg(c);
    t += QStringLiteral(" steps");
    for (const std::optional<StepRange> &r : s.steps)
        r ? (t += QStringLiteral(" %1-%2-").arg(r->min).arg(r->max), number(r->median))
          : void(t += QStringLiteral(" none"));
    t += QStringLiteral(" box %1 entropy").arg(s.entropyBox);
    optional(s.basinEntropy);
    optional(s.boundaryBasinEntropy);
    number(s.boundaryFraction);
    t += QStringLiteral(" dimension");
    optional(s.boxDimension ? std::optional<double>(s.boxDimension->slope) : std::nullopt);
    optional(s.boxDimension ? std::optional<double>(s.boxDimension->error) : std::nullopt);
    if (s.wada) {
        t += QStringLiteral(" wada");
        for (const double m : s.wada->meet)
            number(m);
        for (const std::optional<double> &n : s.wada->notWada)
            optional(n);
    }
    return t;
}

Statistics whole(const Map &m, const StatisticsShape &shape)
{
    Statistics s = basinStatistics(m.width, m.height, m.outcomes,
                                   shape.steps ? m.steps : std::vector<std::uint64_t>(),
                                   shape.entropyBox, m.masses);
    if (shape.wada)
        s.wada = wadaMeasures(m.width, m.height,
                              reinterpret_cast<const std::uint8_t *>(m.outcomes.data()), m.masses);
    return s;
}

/// Feeds an accumulator the rows it asks for, band rows at a time.
void feed(StatisticsAccumulator &a, const Map &m, int band)
{
    const auto *outcomes = reinterpret_cast<const std::uint8_t *>(m.outcomes.data());
    for (int y = a.fedRows().first; y < a.fedRows().end; y += band) {
        const int rows = std::min(band, a.fedRows().end - y);
        const std::size_t at = std::size_t(y) * std::size_t(m.width);
        a.addRows(y, rows, outcomes + at, m.steps.data() + at);
    }
    QVERIFY(a.complete());
}

/// Two basins split at the right edge of the area the box-counting sizes tile, and a third
/// basin's disc: boundaries sparse enough that the box counts do not saturate.
Map splitMap(int width, int height)
{
    Map m{width, height, {}, {}, 3};
    const int split = boxGrid(width, height).across;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int dx = x - width / 3;
            const int dy = y - height / 2;
            m.outcomes.push_back(sim::Capture(dx * dx + dy * dy < height * height / 9 ? 3
                                              : x < split                             ? 1
                                                                                      : 2));
            m.steps.push_back(std::uint64_t(1 + (x * 7 + y * 3) % 50));
        }
    }
    return m;
}

StatisticsShape shapeOf(const Map &m, int box, bool wada)
{
    return {m.width, m.height, box, m.masses, true, wada};
}

/// The part of each tile, through its JSON.
std::vector<StatisticsPart> tileParts(const Map &m, const StatisticsShape &shape, int tiles,
                                      const QString &picture = QStringLiteral("p"))
{
    std::vector<StatisticsPart> parts;
    for (int i = 1; i <= tiles; ++i) {
        StatisticsAccumulator a(shape, tileRows(i, tiles, m.height));
        feed(a, m, 3);
        StatisticsPart part;
        QString why;
        if (!readStatisticsPart(statisticsPartJson(a.part(picture, i, tiles)), part, why))
            qWarning() << why;
        parts.push_back(part);
    }
    return parts;
}

} // namespace

class TestStatisticsAccumulator : public QObject
{
    Q_OBJECT

private slots:
    void bandsGiveTheWhole_data();
    void bandsGiveTheWhole();
    void tilesMergeToTheWhole_data() { bandsGiveTheWhole_data(); }
    void tilesMergeToTheWhole();
    void mergeRefusesPartsThatDoNotMakeThePicture();
    void damagedPartsAreRefused_data();
    void damagedPartsAreRefused();
};

void TestStatisticsAccumulator::bandsGiveTheWhole_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("wada");
    QTest::addColumn<int>("band"); // rows fed at once; tiles in the tile test
    QTest::newRow("two masses, a row at a time") << scatteredMap(37, 29) << 5 << false << 1;
    QTest::newRow("two masses, wada, bands of 7") << scatteredMap(64, 64) << 5 << true << 7;
    QTest::newRow("one mass") << patchedMap(33, 40, 1) << 3 << false << 2;
    QTest::newRow("three masses, wada, bands of 3") << patchedMap(70, 45, 3) << 4 << true << 3;
    QTest::newRow("five masses, wada, bands of 13") << patchedMap(50, 90, 5) << 7 << true << 13;
    QTest::newRow("three masses, all rows at once") << patchedMap(131, 70, 3) << 2 << true << 70;
    QTest::newRow("sixteen masses, tall") << patchedMap(16, 200, 16) << 5 << true << 4;
    QTest::newRow("wider than tall, box 100") << patchedMap(230, 101, 4) << 100 << false << 11;
    QTest::newRow("hundreds of distinct entropies") << patchedMap(300, 120, 6) << 10 << false << 17;
    QTest::newRow("sparse boundary at the box area's edge") << splitMap(150, 70) << 5 << true << 6;
    QTest::newRow("too small for boxes") << patchedMap(3, 2, 2) << 5 << true << 1;
}

void TestStatisticsAccumulator::bandsGiveTheWhole()
{
    QFETCH(Map, map);
    QFETCH(int, box);
    QFETCH(bool, wada);
    QFETCH(int, band);
    const StatisticsShape shape = shapeOf(map, box, wada);
    StatisticsAccumulator a(shape);
    feed(a, map, band);
    QCOMPARE(describe(a.finish()), describe(whole(map, shape)));
}

void TestStatisticsAccumulator::tilesMergeToTheWhole()
{
    QFETCH(Map, map);
    QFETCH(int, box);
    QFETCH(bool, wada);
    QFETCH(int, band);
    const StatisticsShape shape = shapeOf(map, box, wada);
    for (const int tiles : {1, 2, std::min(band + 1, map.height), map.height}) {
        StatisticsPartMerger merger;
        QString why;
        for (const StatisticsPart &part : tileParts(map, shape, tiles))
            QVERIFY2(merger.add(part, why), qPrintable(why));
        const std::optional<Statistics> merged = merger.finish(why);
        QVERIFY2(merged, qPrintable(why));
        QCOMPARE(describe(*merged), describe(whole(map, shape)));
    }
}

void TestStatisticsAccumulator::mergeRefusesPartsThatDoNotMakeThePicture()
{
    const Map map = patchedMap(40, 30, 3);
    const StatisticsShape shape = shapeOf(map, 5, true);
    const std::vector<StatisticsPart> parts = tileParts(map, shape, 3);
    StatisticsShape otherShape = shape;
    otherShape.entropyBox = 6;
    const std::vector<std::vector<StatisticsPart>> refused = {
        {parts[0], parts[2]},
        {parts[0], parts[0]},
        {parts[0], tileParts(map, shape, 3, QStringLiteral("q"))[1]},
        {parts[0], tileParts(map, otherShape, 3)[1]},
    };
    for (const std::vector<StatisticsPart> &list : refused) {
        StatisticsPartMerger merger;
        QString why;
        QVERIFY(merger.add(list[0], why));
        QVERIFY(!merger.add(list[1], why));
        QVERIFY(!why.isEmpty());
    }
    StatisticsPartMerger short_;
    QString why;
    QVERIFY(short_.add(parts[0], why) && short_.add(parts[1], why));
    QVERIFY(!short_.finish(why));
}

void TestStatisticsAccumulator::damagedPartsAreRefused_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<bool>("read"); // whether it still reads, to be refused by the merge
    QTest::newRow("unchanged") << QByteArray() << QByteArray() << true;
    QTest::newRow("cut short") << QByteArray("\"width\":40}") << QByteArray("\"width\":40") << false;
    QTest::newRow("another format") << QByteArray("part\":1") << QByteArray("part\":2") << false;
    QTest::newRow("rows past the height") << QByteArray("\"rows\":[10,20]")
                                          << QByteArray("\"rows\":[10,31]") << false;
    QTest::newRow("a mass too many") << QByteArray("\"captured\":[") << QByteArray("\"captured\":[0,")
                                     << false;
    QTest::newRow("a box row of another tile") << QByteArray("{\"row\":2,")
                                               << QByteArray("{\"row\":3,") << false;
    QTest::newRow("a cut box row left out") << QByteArray("\"head\":{\"row\":2,")
                                            << QByteArray("\"head\":null,\"x\":{\"row\":2,") << true;
    QTest::newRow("an entropy that is none") << QByteArray("\"codes\":\"AAEC")
                                             << QByteArray("\"codes\":\"fwEC")
                                             << true;
}

void TestStatisticsAccumulator::damagedPartsAreRefused()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(bool, read);
    const Map map = patchedMap(40, 30, 3);
    const StatisticsShape shape = shapeOf(map, 4, true);
    std::vector<QByteArray> texts;
    for (int i = 1; i <= 3; ++i) {
        StatisticsAccumulator a(shape, tileRows(i, 3, map.height));
        feed(a, map, 4);
        texts.push_back(statisticsPartJson(a.part(QStringLiteral("p"), i, 3)));
    }
    QVERIFY(from.isEmpty() || texts[1].contains(from));
    texts[1].replace(from, to);
    StatisticsPartMerger merger;
    QString why;
    bool merged = true;
    for (const QByteArray &text : texts) {
        StatisticsPart part;
        const bool ok = readStatisticsPart(text, part, why);
        QCOMPARE(ok, &text != &texts[1] || read);
        merged = merged && ok && merger.add(part, why);
    }
    QCOMPARE(merged && merger.finish(why).has_value(), from.isEmpty());
}

QTEST_GUILESS_MAIN(TestStatisticsAccumulator)
#include "tst_statisticsaccumulator.moc"
