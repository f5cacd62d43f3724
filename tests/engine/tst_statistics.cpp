#include "engine/engine.h"
#include "engine/statistics.h"
#include "tests/common/outcomemaps.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

/// The statistics worked out the plain way: sorting for the median, every box and every
/// neighbour looked at directly.
Statistics plainStatistics(const Map &m, int box)
{
    Statistics r;
    r.points = std::int64_t(m.outcomes.size());
    r.captured.clear();
    for (int k = 1; k <= m.masses; ++k)
        r.captured.push_back(std::count(m.outcomes.begin(), m.outcomes.end(), sim::Capture(k)));
    r.never = std::count(m.outcomes.begin(), m.outcomes.end(), sim::Capture::none);
    r.steps.resize(std::size_t(m.masses));
    for (int k = 1; k <= m.masses; ++k) {
        const auto mass = sim::Capture(k);
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
        r.steps[std::size_t(k - 1)] = StepRange{steps.front(), median, steps.back()};
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
    QCOMPARE(actual.captured, expected.captured);
    QCOMPARE(actual.never, expected.never);
    QCOMPARE(actual.steps.size(), expected.steps.size());
    for (std::size_t k = 0; k < actual.steps.size(); ++k) {
        const std::optional<StepRange> &a = actual.steps[k];
        const std::optional<StepRange> &e = expected.steps[k];
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

} // namespace

class StatisticsTest : public QObject
{
    Q_OBJECT

private slots:
    void matchesPlainCount_data();
    void matchesPlainCount();
    void defaultPicture();
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
    QTest::newRow("three masses") << drawnMap("1233/3312/..21/3333") << 2;
    Map emptyBasins = drawnMap("1211/1222/..22");
    emptyBasins.masses = 4;
    QTest::newRow("four masses, two without a capture") << emptyBasins << 3;
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
    Engine engine(TrajectoryParameters::defaults({1024, 700}), Workers{Kernel::automatic, 2});
    PointMaps maps;
    QVERIFY(engine.computeView(pictureView(1024, 700, 100, 80), maps));
    Map map{100, 80, {}, maps.steps};
    for (const std::uint8_t outcome : maps.outcomes)
        map.outcomes.push_back(sim::Capture(outcome));
    const Statistics s = statisticsOf(map, defaultEntropyBox);

    compareStatistics(s, plainStatistics(map, defaultEntropyBox));
    QCOMPARE(s.captured, (std::vector<std::int64_t>{4005, 3994}));
    QCOMPARE(s.never, 1);
    QCOMPARE(qRound(*s.basinEntropy * 10000), 5948);
    QCOMPARE(qRound(*s.boundaryBasinEntropy * 10000), 5967);
    QCOMPARE(qRound(s.boundaryFraction * 1000), 793);
}

QTEST_GUILESS_MAIN(StatisticsTest)
#include "tst_statistics.moc"
