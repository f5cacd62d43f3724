#include "render/renderer.h"
#include "engine/statistics.h"
#include "render/statisticsfile.h"
#include "render/statisticsmerge.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <tuple>

namespace {

/// A picture's outcomes and steps in scan order.
struct Map
{
    int width = 0;
    int height = 0;
    std::vector<sim::Capture> outcomes;
    std::vector<std::uint64_t> steps;
};

/// Rows separated by '/', one character a start point: '1' and '2' for the masses, '.' for
/// never captured. The steps are an arbitrary repeatable sequence.
Map drawnMap(const char *rows)
{
    Map map;
    const QStringList lines = QString::fromLatin1(rows).split(QLatin1Char('/'));
    map.height = int(lines.size());
    map.width = int(lines.constFirst().size());
    for (const QString &line : lines) {
        for (const QChar c : line) {
            map.outcomes.push_back(c == QLatin1Char('1')   ? sim::Capture::one
                                   : c == QLatin1Char('2') ? sim::Capture::two
                                                           : sim::Capture::none);
            map.steps.push_back(1 + (map.steps.size() * 37) % 11);
        }
    }
    return map;
}

/// A large map of all three outcomes, in patches, with widely spread steps.
Map scatteredMap(int width, int height)
{
    Map map{width, height, {}, {}};
    std::uint32_t seed = 12345;
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::uint32_t r = (seed >> 16) % 100;
        const int x = i % width;
        map.outcomes.push_back(r < 3                  ? sim::Capture::none
                               : (x / 6 + r / 80) % 2 ? sim::Capture::one
                                                      : sim::Capture::two);
        map.steps.push_back(1 + (seed >> 8) % 100000);
    }
    return map;
}

/// The statistics worked out the plain way: sorting for the median, every box and every
/// neighbour looked at directly.
Statistics plainStatistics(const Map &m, int box)
{
    Statistics r;
    r.points = std::int64_t(m.outcomes.size());
    r.one = std::count(m.outcomes.begin(), m.outcomes.end(), sim::Capture::one);
    r.two = std::count(m.outcomes.begin(), m.outcomes.end(), sim::Capture::two);
    r.never = std::count(m.outcomes.begin(), m.outcomes.end(), sim::Capture::none);
    for (const sim::Capture mass : {sim::Capture::one, sim::Capture::two}) {
        std::vector<std::uint64_t> steps;
        for (std::size_t i = 0; i < m.outcomes.size(); ++i) {
            if (m.outcomes[i] == mass)
                steps.push_back(m.steps[i]);
        }
        if (steps.empty())
            continue;
        std::sort(steps.begin(), steps.end());
        const std::size_t half = steps.size() / 2;
        const double median = steps.size() % 2
                                  ? double(steps[half])
                                  : (double(steps[half - 1]) + double(steps[half])) / 2;
        (mass == sim::Capture::one ? r.stepsOne : r.stepsTwo) =
            StepRange{steps.front(), median, steps.back()};
    }

    r.entropyBox = box;
    const auto at = [&](int x, int y) { return m.outcomes[std::size_t(y * m.width + x)]; };
    std::vector<double> all;
    std::vector<double> mixed;
    for (int top = 0; top + box <= m.height; top += box) {
        for (int left = 0; left + box <= m.width; left += box) {
            std::map<sim::Capture, int> counts;
            for (int y = top; y < top + box; ++y) {
                for (int x = left; x < left + box; ++x)
                    ++counts[at(x, y)];
            }
            double entropy = 0;
            for (const auto &[outcome, count] : counts) {
                const double p = double(count) / (box * box);
                entropy += -p * std::log(p);
            }
            all.push_back(entropy);
            if (counts.size() > 1)
                mixed.push_back(entropy);
        }
    }
    const auto mean = [](const std::vector<double> &v) {
        double sum = 0;
        for (const double e : v)
            sum += e;
        return v.empty() ? 0.0 : sum / double(v.size());
    };
    if (!all.empty()) {
        r.basinEntropy = mean(all);
        r.boundaryBasinEntropy = mean(mixed);
    }

    int boundary = 0;
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            bool differs = false;
            for (const auto &[dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = x + dx;
                const int ny = y + dy;
                if (nx >= 0 && nx < m.width && ny >= 0 && ny < m.height && at(nx, ny) != at(x, y))
                    differs = true;
            }
            boundary += differs ? 1 : 0;
        }
    }
    r.boundaryFraction = double(boundary) / double(r.points);
    return r;
}

bool near(const std::optional<double> &a, const std::optional<double> &b)
{
    return a.has_value() == b.has_value() && (!a || std::abs(*a - *b) <= 1e-12);
}

void compareStatistics(const Statistics &actual, const Statistics &expected)
{
    QCOMPARE(actual.points, expected.points);
    QCOMPARE(actual.one, expected.one);
    QCOMPARE(actual.two, expected.two);
    QCOMPARE(actual.never, expected.never);
    for (const auto &[a, e] : {std::pair{actual.stepsOne, expected.stepsOne},
                               std::pair{actual.stepsTwo, expected.stepsTwo}}) {
        QCOMPARE(a.has_value(), e.has_value());
        if (e) {
            QCOMPARE(a->min, e->min);
            QCOMPARE(a->median, e->median);
            QCOMPARE(a->max, e->max);
        }
    }
    QCOMPARE(actual.entropyBox, expected.entropyBox);
    QVERIFY(near(actual.basinEntropy, expected.basinEntropy));
    QVERIFY(near(actual.boundaryBasinEntropy, expected.boundaryBasinEntropy));
    QCOMPARE(actual.boundaryFraction, expected.boundaryFraction);
}

Statistics statisticsOf(const Map &m, int box)
{
    return basinStatistics(m.width, m.height, m.outcomes, m.steps, box);
}

/// The number a text field holds, read in the C locale; NaN when it is not exactly a number.
double numberIn(const QByteArray &text)
{
    double value = std::nan("");
    const std::from_chars_result r = std::from_chars(text.begin(), text.end(), value);
    return r.ptr == text.end() ? value : std::nan("");
}

} // namespace

Q_DECLARE_METATYPE(Map)

class StatisticsTest : public QObject
{
    Q_OBJECT

private slots:
    void matchesPlainCount_data();
    void matchesPlainCount();
    void defaultPicture();
    void textReadsBack_data();
    void textReadsBack();
    void merge_data();
    void merge();
};

void StatisticsTest::matchesPlainCount_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<int>("box");

    QTest::newRow("picture smaller than a box") << drawnMap("1122/12../2211") << 5;
    QTest::newRow("picture one box") << drawnMap("11222/11222/.1222/11122/11112") << 5;
    // The last column and row are left out; they would change every figure.
    QTest::newRow("boxes cut by both edges")
        << drawnMap("1212112/1122112/2211..2/2221..2/......2") << 2;
    QTest::newRow("one outcome") << drawnMap("222222/222222/222222/222222") << 2;
    QTest::newRow("never captured") << drawnMap(".../.../...") << 3;
    QTest::newRow("odd counts") << drawnMap("121/212/121") << 2;
    QTest::newRow("scattered, box 4") << scatteredMap(41, 29) << 4;
    QTest::newRow("scattered, box 7") << scatteredMap(64, 50) << 7;
}

void StatisticsTest::matchesPlainCount()
{
    QFETCH(Map, map);
    QFETCH(int, box);
    compareStatistics(statisticsOf(map, box), plainStatistics(map, box));
}

void StatisticsTest::defaultPicture()
{
    RenderParameters p = RenderParameters::defaults({1024, 700});
    p.keepPointSteps = true;
    p.threads = 2;
    Renderer renderer(p);
    renderer.render();
    const Map map{p.picture.width(), p.picture.height(), renderer.captures(),
                  renderer.pointSteps()};
    const Statistics s = statisticsOf(map, defaultEntropyBox);

    compareStatistics(s, plainStatistics(map, defaultEntropyBox));
    QCOMPARE(s.one, 4005);
    QCOMPARE(s.two, 3994);
    QCOMPARE(s.never, 1);
    QCOMPARE(qRound(*s.basinEntropy * 10000), 5948);
    QCOMPARE(qRound(*s.boundaryBasinEntropy * 10000), 5967);
    QCOMPARE(qRound(s.boundaryFraction * 1000), 793);
}

void StatisticsTest::textReadsBack_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("valued");
    QTest::newRow("both masses") << scatteredMap(41, 29) << 3 << false;
    QTest::newRow("both masses, a value") << scatteredMap(30, 20) << 4 << true;
    QTest::newRow("nothing captured, no box") << drawnMap("../..") << 3 << false;
    // Tall enough for boxes, too narrow for one: no box fits either.
    QTest::newRow("narrow, no box across") << drawnMap("12./21./12./21./12./21.") << 5 << false;
    // A median is a real number even when it is whole (2.0).
    QTest::newRow("mass two only") << drawnMap("2../22.") << 2 << true;
    // Numbers whose shortest form has an exponent: a median of 3e+05 and a share of 1e-05.
    Map exponents{1000, 100, std::vector<sim::Capture>(100000, sim::Capture::two),
                  std::vector<std::uint64_t>(100000, 300000)};
    exponents.outcomes[0] = sim::Capture::none;
    QTest::newRow("exponents") << exponents << 100 << false;
}

void StatisticsTest::textReadsBack()
{
    QFETCH(Map, map);
    QFETCH(int, box);
    QFETCH(bool, valued);
    const Statistics s = statisticsOf(map, box);
    const StatisticsFrame frame{7, valued ? std::optional<std::int64_t>(-25) : std::nullopt};

    const auto real = [](const std::optional<double> &v) {
        return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
    };
    QJsonObject steps;
    for (const auto &[name, range] : {std::pair{"one", s.stepsOne}, {"two", s.stepsTwo}}) {
        if (range) {
            steps[QLatin1String(name)] = QJsonObject{{"min", qint64(range->min)},
                                                     {"median", range->median},
                                                     {"max", qint64(range->max)}};
        }
    }
    QJsonObject expected{
        {"points", qint64(s.points)},
        {"captured",
         QJsonObject{{"one", qint64(s.one)}, {"two", qint64(s.two)}, {"never", qint64(s.never)}}},
        {"fraction", QJsonObject{{"one", s.fraction(s.one)},
                                 {"two", s.fraction(s.two)},
                                 {"never", s.fraction(s.never)}}},
        {"steps", steps},
        {"basin_entropy", real(s.basinEntropy)},
        {"boundary_basin_entropy", real(s.boundaryBasinEntropy)},
        {"entropy_box", box},
        {"boundary_fraction", s.boundaryFraction},
        {"box_dimension", real(s.boxDimension ? std::optional(s.boxDimension->slope) : std::nullopt)},
        {"box_dimension_error",
         real(s.boxDimension ? std::optional(s.boxDimension->error) : std::nullopt)}};
    QJsonParseError error;
    QCOMPARE(QJsonDocument::fromJson(statisticsJson(s), &error).object(), expected);
    QCOMPARE(error.error, QJsonParseError::NoError);
    expected[QStringLiteral("frame")] = 7;
    expected[QStringLiteral("value")] = valued ? QJsonValue(-25) : QJsonValue(QJsonValue::Null);
    expected[QStringLiteral("tipping_from_previous")] = QJsonValue::Null;
    QCOMPARE(QJsonDocument::fromJson(statisticsJson(s, frame)).object(), expected);

    QVERIFY(statisticsCsvHeader().startsWith(
        "frame,value,points,one,two,never,fraction_one,fraction_two,"
        "fraction_never,basin_entropy,boundary_basin_entropy,boundary_fraction,"));
    QCOMPARE(statisticsCsvHeader().count(','), 35);
    const QByteArray row = statisticsCsvRow(s, frame);
    QVERIFY(row.endsWith('\n'));
    const QList<QByteArray> fields = row.chopped(1).split(',');
    QCOMPARE(fields.size(), 36);
    QCOMPARE(fields.mid(0, 6),
             (QList<QByteArray>{"7", valued ? "-25" : "", QByteArray::number(s.points),
                                QByteArray::number(s.one), QByteArray::number(s.two),
                                QByteArray::number(s.never)}));
    const std::optional<double> reals[] = {s.fraction(s.one),      s.fraction(s.two),
                                           s.fraction(s.never),    s.basinEntropy,
                                           s.boundaryBasinEntropy, s.boundaryFraction};
    for (int i = 0; i < 6; ++i) {
        // Exactly the value, not a rounded one, and a real number even when whole ("0.0"); an
        // absent one is an empty field.
        const QByteArray &f = fields[6 + i];
        QVERIFY2(reals[i] ? numberIn(f) == *reals[i] && (f.contains('.') || f.contains('e'))
                          : f.isEmpty(),
                 row.constData());
    }
    // The shortest form that reads back: no digits beyond what the value needs.
    const QByteArray shortest =
        QByteArray::number(s.boundaryFraction, 'g', QLocale::FloatingPointShortest);
    QVERIFY(fields[11] == shortest || fields[11] == shortest + ".0");
}

void StatisticsTest::merge_data()
{
    QTest::addColumn<bool>("csv");
    QTest::addColumn<QString>("parts");
    QTest::addColumn<QString>("refused");
    // Parts are I/N, in the order given; a suffix changes one: "x" another sweep, "h" another
    // table header, "s" a frame short as after Ctrl-C, "j" the other format.
    QTest::newRow("csv, any order") << true << "3/3 1/3 2/3" << "";
    QTest::newRow("json, empty shards") << false << "2/9 1/9 3/9 4/9 5/9 6/9 7/9 8/9 9/9" << "";
    QTest::newRow("one shard") << false << "1/1" << "";
    QTest::newRow("gap") << true << "1/3 3/3" << "shard 2/3";
    QTest::newRow("gap at the end") << false << "1/3 2/3" << "shard 3/3";
    QTest::newRow("overlap") << true << "1/3 2/3 2/3 3/3" << "repeats shard 2/3";
    QTest::newRow("shards of another split") << true << "1/2 2/3 3/3" << "another sweep";
    QTest::newRow("another sweep") << false << "1/3 2/3x 3/3" << "another sweep";
    QTest::newRow("another header") << true << "1/3 2/3h 3/3" << "header";
    QTest::newRow("interrupted shard") << false << "1/3 2/3s 3/3" << "frames";
    QTest::newRow("mixed formats") << true << "1/3 2/3j 3/3" << "not a shard's CSV";
}

void StatisticsTest::merge()
{
    QFETCH(bool, csv);
    QFETCH(QString, parts);
    QFETCH(QString, refused);
    const StatisticsFormat format = csv ? StatisticsFormat::csv : StatisticsFormat::json;
    std::vector<FrameStatistics> frames;
    for (int i = 0; i < 7; ++i)
        frames.push_back({{i, 100 - 3 * i}, statisticsOf(scatteredMap(12 + i, 9), 3)});

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
            own, other == csv ? StatisticsFormat::json : StatisticsFormat::csv, mark);
        if (name.endsWith('h'))
            text.replace("basin_entropy", "entropy");
        texts << text;
    }
    QByteArray merged;
    QString why;
    QCOMPARE(mergeStatistics(texts, names, format, merged, why), refused.isEmpty());
    if (refused.isEmpty())
        QCOMPARE(merged, statisticsText(frames, format, true));
    else
        QVERIFY2(why.contains(refused), qPrintable(why));
}

QTEST_GUILESS_MAIN(StatisticsTest)
#include "tst_statistics.moc"
