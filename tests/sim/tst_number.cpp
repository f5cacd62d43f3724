#include "sim/number.h"

#include <QTest>

#include <cmath>
#include <limits>

using sim::Number;

class NumberTest : public QObject
{
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void rounding_data();
    void rounding();
};

void NumberTest::text_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    const int real = int(sim::Kind::real);
    const int single = int(sim::Kind::single);
    QTest::newRow("whole double") << real << 100000.0 << "."
                                  << "100000";
    QTest::newRow("largest moving mass") << real << 327670000000.0 << "."
                                         << "327670000000";
    QTest::newRow("negative whole") << int(sim::Kind::int16) << -5.0 << "."
                                    << "-5";
    QTest::newRow("negative zero") << real << -0.0 << "."
                                   << "0";
    QTest::newRow("15 digits") << real << 22.360679774997898 << "."
                               << "22.3606797749979";
    QTest::newRow("locale separator") << real << 6.67 << ","
                                      << "6,67";
    QTest::newRow("single half pixel") << single << 461.5 << ","
                                       << "461,5";
    QTest::newRow("single keeps 7 digits") << single << double(0.1f) << "."
                                           << "0.1";
    QTest::newRow("whole at 1e15 needs exponent") << real << 1e15 << "."
                                                  << "1E+15";
    QTest::newRow("tiny") << real << 1.5e-5 << "."
                          << "1.5E-05";
    QTest::newRow("no grouping") << real << 1234567.25 << ","
                                 << "1234567,25";
    QTest::newRow("infinite ratio") << real << std::numeric_limits<double>::infinity() << "."
                                    << "inf";
}

void NumberTest::text()
{
    QFETCH(int, kind);
    QFETCH(double, value);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    const Number n{sim::Kind(kind), value};
    QCOMPARE(QString::fromStdString(sim::numberText(n, separator.toStdString())), expected);
}

void NumberTest::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("half down to even") << 100.5 << 100;
    QTest::newRow("half up to even") << 101.5 << 102;
    QTest::newRow("odd width left of centre") << 501.5 << 502;
    QTest::newRow("odd width right of centre") << 521.5 << 522;
    QTest::newRow("negative half") << -0.5 << 0;
    QTest::newRow("below half") << 7.49 << 7;
    QTest::newRow("largest") << 32767.0 << 32767;
    QTest::newRow("half past the largest") << 32767.5 << 32767;
    QTest::newRow("beyond the largest") << 40000.0 << 32767;
    QTest::newRow("beyond the smallest") << -40000.0 << -32768;
    QTest::newRow("far beyond") << 1e300 << 32767;
    QTest::newRow("not a number") << std::nan("") << 0;
}

void NumberTest::rounding()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int(sim::roundToInt16(value)), expected);
}

QTEST_APPLESS_MAIN(NumberTest)
#include "tst_number.moc"
