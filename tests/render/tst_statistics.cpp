#include "render/renderer.h"
#include "render/statistics.h"
#include "render/statisticsfile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <csignal>
#include <map>
#include <sys/resource.h>
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

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    void jsonReadsBack_data();
    void jsonReadsBack();
    void csvReadsBack_data();
    void csvReadsBack();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
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

void StatisticsTest::jsonReadsBack_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<bool>("framed");
    QTest::newRow("both masses") << scatteredMap(41, 29) << false;
    QTest::newRow("both masses, a frame") << scatteredMap(30, 20) << true;
    QTest::newRow("nothing captured, no box") << drawnMap("../..") << false;
    QTest::newRow("mass two only, whole median") << drawnMap("2../22.") << true;
}

void StatisticsTest::jsonReadsBack()
{
    QFETCH(Map, map);
    QFETCH(bool, framed);
    const Statistics s = statisticsOf(map, 3);
    const std::optional<StatisticsFrame> frame =
        framed ? std::optional<StatisticsFrame>({7, -25}) : std::nullopt;

    const QByteArray text = statisticsJson(s, frame);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(text, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));

    QStringList keys{"points",      "captured",         "fraction",
                     "steps",       "basin_entropy",    "boundary_basin_entropy",
                     "entropy_box", "boundary_fraction"};
    if (framed) {
        keys << QStringLiteral("frame") << QStringLiteral("value");
        QCOMPARE(o[QStringLiteral("frame")].toInteger(), 7);
        QCOMPARE(o[QStringLiteral("value")].toInteger(), -25);
    }
    keys.sort();
    QCOMPARE(o.keys(), keys);
    QCOMPARE(o[QStringLiteral("points")].toInteger(), s.points);
    const QJsonObject captured = o[QStringLiteral("captured")].toObject();
    const QJsonObject fraction = o[QStringLiteral("fraction")].toObject();
    const QJsonObject steps = o[QStringLiteral("steps")].toObject();
    for (const auto &[name, count, range] :
         {std::tuple{"one", s.one, s.stepsOne}, std::tuple{"two", s.two, s.stepsTwo},
          std::tuple{"never", s.never, std::optional<StepRange>()}}) {
        const QString key = QString::fromLatin1(name);
        QCOMPARE(captured[key].toInteger(), count);
        // Exactly the value, not a rounded one.
        QVERIFY(fraction[key].toDouble() == s.fraction(count));
        QCOMPARE(steps.contains(key), range.has_value());
        if (range) {
            const QJsonObject r = steps[key].toObject();
            QCOMPARE(r[QStringLiteral("min")].toInteger(), qint64(range->min));
            QVERIFY(r[QStringLiteral("median")].toDouble() == range->median);
            QCOMPARE(r[QStringLiteral("max")].toInteger(), qint64(range->max));
        }
    }
    for (const auto &[name, value] :
         {std::pair{"basin_entropy", s.basinEntropy},
          std::pair{"boundary_basin_entropy", s.boundaryBasinEntropy}}) {
        const QJsonValue v = o[QString::fromLatin1(name)];
        QVERIFY2(value ? v.toDouble() == *value : v.isNull(), name);
    }
    QCOMPARE(o[QStringLiteral("entropy_box")].toInt(), 3);
    QVERIFY(o[QStringLiteral("boundary_fraction")].toDouble() == s.boundaryFraction);
    // A median is a real number even when it is whole.
    if (s.stepsTwo && s.stepsTwo->median == std::floor(s.stepsTwo->median))
        QVERIFY2(text.contains("\"median\": " + QByteArray::number(s.stepsTwo->median) + ".0"),
                 text.constData());
}

void StatisticsTest::csvReadsBack_data()
{
    QTest::addColumn<Map>("map");
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("value");
    QTest::newRow("scattered") << scatteredMap(41, 29) << 3 << -1;
    QTest::newRow("no whole box, a value") << drawnMap("12/21") << 3 << 1200;
}

void StatisticsTest::csvReadsBack()
{
    QFETCH(Map, map);
    QFETCH(int, box);
    QFETCH(int, value);
    const Statistics s = statisticsOf(map, box);
    StatisticsFrame frame{3, std::nullopt};
    if (value >= 0)
        frame.value = value;

    QCOMPARE(statisticsCsvHeader(),
             QByteArray("frame,value,points,one,two,never,fraction_one,fraction_two,"
                        "fraction_never,basin_entropy,boundary_basin_entropy,boundary_fraction\n"));
    const QByteArray row = statisticsCsvRow(s, frame);
    QVERIFY(row.endsWith('\n'));
    const QList<QByteArray> f = row.chopped(1).split(',');
    QCOMPARE(f.size(), 12);
    QCOMPARE(f[0], QByteArray("3"));
    QCOMPARE(f[1], value >= 0 ? QByteArray::number(value) : QByteArray());
    QCOMPARE(f[2], QByteArray::number(s.points));
    QCOMPARE(f[3], QByteArray::number(s.one));
    QCOMPARE(f[4], QByteArray::number(s.two));
    QCOMPARE(f[5], QByteArray::number(s.never));
    QVERIFY(numberIn(f[6]) == s.fraction(s.one));
    QVERIFY(numberIn(f[7]) == s.fraction(s.two));
    QVERIFY(numberIn(f[8]) == s.fraction(s.never));
    QVERIFY(s.basinEntropy ? numberIn(f[9]) == *s.basinEntropy : f[9].isEmpty());
    QVERIFY(s.boundaryBasinEntropy ? numberIn(f[10]) == *s.boundaryBasinEntropy : f[10].isEmpty());
    QVERIFY(numberIn(f[11]) == s.boundaryFraction);
    // The shortest form that reads back: no trailing digits beyond what the value needs.
    QCOMPARE(f[6], QByteArray::number(s.fraction(s.one), 'g', QLocale::FloatingPointShortest));
}

void StatisticsTest::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("json") << "old.json";
    QTest::newRow("csv") << "old.csv";
}

void StatisticsTest::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    const Statistics s = statisticsOf(scatteredMap(20, 20), 4);
    // Files may grow to 64 bytes: the write fails part way, as on a full disk.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString reason;
    const bool written = writeStatisticsFile(path, s, &reason);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!written);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(fileBytes(path), QByteArray("old contents"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{name});

    // Without the limit the same call replaces the file.
    QVERIFY(writeStatisticsFile(path, s));
    QVERIFY(fileBytes(path).startsWith(name.endsWith(QStringLiteral(".csv")) ? "frame," : "{"));
}

QTEST_GUILESS_MAIN(StatisticsTest)
#include "tst_statistics.moc"
