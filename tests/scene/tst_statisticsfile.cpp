#include "scene/statisticsfile.h"
#include "scene/text.h"
#include "tests/common/outcomemaps.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <charconv>
#include <cmath>

namespace {

/// The number a text field holds, read in the C locale; NaN when it is not exactly a number.
double numberIn(const QByteArray &text)
{
    double value = std::nan("");
    const std::from_chars_result r = std::from_chars(text.begin(), text.end(), value);
    return r.ptr == text.end() ? value : std::nan("");
}

} // namespace

class StatisticsFileTest : public QObject
{
    Q_OBJECT

private slots:
    void textReadsBack_data();
    void textReadsBack();
};

void StatisticsFileTest::textReadsBack_data()
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
    // The words go on past two; a mass without a capture has no steps.
    QTest::newRow("three masses") << drawnMap("1233/3312/..31") << 2 << true;
    Map twelve = drawnMap("1212/2121");
    twelve.masses = 12;
    QTest::newRow("twelve masses, two capture") << twelve << 2 << false;
    // Numbers whose shortest form has an exponent: a median of 3e+05 and a share of 1e-05.
    Map exponents{1000, 100, std::vector<sim::Capture>(100000, sim::Capture::two),
                  std::vector<std::uint64_t>(100000, 300000)};
    exponents.outcomes[0] = sim::Capture::none;
    QTest::newRow("exponents") << exponents << 100 << false;
}

namespace {

/// The JSON object of s, built key by key.
QJsonObject expectedJson(const Statistics &s, int masses, int box)
{
    const auto real = [](const std::optional<double> &v) {
        return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
    };
    QJsonObject steps;
    QJsonObject captured{{"never", qint64(s.never)}};
    QJsonObject fractions{{"never", s.fraction(s.never)}};
    for (int k = 1; k <= masses; ++k) {
        const QLatin1String word(massWord(k));
        captured[word] = qint64(s.captured[std::size_t(k - 1)]);
        fractions[word] = s.fraction(s.captured[std::size_t(k - 1)]);
        if (const std::optional<StepRange> &range = s.steps[std::size_t(k - 1)]) {
            steps[word] = QJsonObject{{"min", qint64(range->min)},
                                      {"median", range->median},
                                      {"max", qint64(range->max)}};
        }
    }
    return QJsonObject{
        {"points", qint64(s.points)},
        {"captured", captured},
        {"fraction", fractions},
        {"steps", steps},
        {"basin_entropy", real(s.basinEntropy)},
        {"boundary_basin_entropy", real(s.boundaryBasinEntropy)},
        {"entropy_box", box},
        {"boundary_fraction", s.boundaryFraction},
        {"box_dimension",
         real(s.boxDimension ? std::optional(s.boxDimension->slope) : std::nullopt)},
        {"box_dimension_error",
         real(s.boxDimension ? std::optional(s.boxDimension->error) : std::nullopt)}};
}

} // namespace

void StatisticsFileTest::textReadsBack()
{
    QFETCH(Map, map);
    QFETCH(int, box);
    QFETCH(bool, valued);
    const Statistics s = statisticsOf(map, box);
    const StatisticsFrame frame{7, valued ? std::optional<std::int64_t>(-25) : std::nullopt};

    QList<QByteArray> words;
    for (int k = 1; k <= map.masses; ++k)
        words << QByteArray(massWord(k));
    QJsonObject expected = expectedJson(s, map.masses, box);
    QJsonParseError error;
    QCOMPARE(QJsonDocument::fromJson(statisticsJson(s), &error).object(), expected);
    QCOMPARE(error.error, QJsonParseError::NoError);
    expected[QStringLiteral("frame")] = 7;
    expected[QStringLiteral("value")] = valued ? QJsonValue(-25) : QJsonValue(QJsonValue::Null);
    expected[QStringLiteral("tipping_from_previous")] = QJsonValue::Null;
    QCOMPARE(QJsonDocument::fromJson(statisticsJson(s, frame)).object(), expected);

    const QByteArray header = statisticsCsvHeader(map.masses);
    const QByteArray counts = words.join(',') + ",never";
    QVERIFY(header.startsWith("frame,value,points," + counts + ",fraction_" +
                              words.join(",fraction_") +
                              ",fraction_never,basin_entropy,boundary_basin_entropy,"
                              "boundary_fraction,"));
    QVERIFY(header.endsWith(",tipping_never_" + words.join(",tipping_never_") +
                            ",tipping_never_never\n"));
    const int outcomes = map.masses + 1;
    const int columns = 3 + 4 * outcomes + 12 + outcomes * outcomes;
    QCOMPARE(header.count(','), columns - 1);
    const QByteArray row = statisticsCsvRow(s, frame);
    QVERIFY(row.endsWith('\n'));
    const QList<QByteArray> fields = row.chopped(1).split(',');
    QCOMPARE(fields.size(), columns);
    QList<QByteArray> whole{"7", valued ? "-25" : "", QByteArray::number(s.points)};
    std::vector<std::optional<double>> reals;
    for (const std::int64_t c : s.captured) {
        whole << QByteArray::number(c);
        reals.push_back(s.fraction(c));
    }
    whole << QByteArray::number(s.never);
    reals.insert(reals.end(),
                 {s.fraction(s.never), s.basinEntropy, s.boundaryBasinEntropy, s.boundaryFraction});
    QCOMPARE(fields.mid(0, 3 + outcomes), whole);
    for (std::size_t i = 0; i < reals.size(); ++i) {
        // Exactly the value, not a rounded one, and a real number even when whole ("0.0"); an
        // absent one is an empty field.
        const QByteArray &f = fields[3 + outcomes + int(i)];
        QVERIFY2(reals[i] ? numberIn(f) == *reals[i] && (f.contains('.') || f.contains('e'))
                          : f.isEmpty(),
                 row.constData());
    }
    // The shortest form that reads back: no digits beyond what the value needs.
    const QByteArray shortest =
        QByteArray::number(s.boundaryFraction, 'g', QLocale::FloatingPointShortest);
    const QByteArray &boundary = fields[3 + 2 * outcomes + 2];
    QVERIFY(boundary == shortest || boundary == shortest + ".0");
}

QTEST_GUILESS_MAIN(StatisticsFileTest)
#include "tst_statisticsfile.moc"
