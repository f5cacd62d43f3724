#include "render/commandline.h"

#include <QTest>

Q_DECLARE_METATYPE(RenderParameters)

namespace {

QStringList arguments(const QString &line)
{
    return QStringList{QStringLiteral("velmora-render")} +
           line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void rejects_data();
    void rejects();
    void reads_data();
    void reads();
    void readsShadingAndStatistics_data();
    void readsShadingAndStatistics();
    void helpListsEveryOption();
};

void CommandLineTest::rejects_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("named");

    QTest::newRow("no output") << "--threads 2"
                               << "OUTPUT";
    QTest::newRow("two outputs") << "a.bmp b.bmp"
                                 << "OUTPUT";
    QTest::newRow("unknown format") << "a.jpg"
                                    << "OUTPUT";
    QTest::newRow("unknown option") << "--colour-one #ff0000 a.bmp"
                                    << "colour-one";
    QTest::newRow("missing value") << "a.bmp --threads"
                                   << "threads";

    QTest::newRow("client too small") << "--client 1x700 a.bmp"
                                      << "--client";
    QTest::newRow("client too large") << "--client 16385x700 a.bmp"
                                      << "--client";
    QTest::newRow("client malformed") << "--client 1024*700 a.bmp"
                                      << "--client";
    QTest::newRow("client smaller than default picture") << "--client 90x700 a.bmp"
                                                         << "--client";
    QTest::newRow("picture too small") << "--picture 1x80 a.bmp"
                                       << "--picture";
    QTest::newRow("picture wider than client") << "--client 200x100 --picture 201x80 a.bmp"
                                               << "--picture";
    QTest::newRow("picture negative") << "--picture -5x80 a.bmp"
                                      << "--picture";

    QTest::newRow("position past client") << "--client 300x200 --one 301,100 a.bmp"
                                          << "--one";
    QTest::newRow("position below client") << "--two 10,201 --client 300x200 a.bmp"
                                           << "--two";
    QTest::newRow("position negative") << "--two -1,5 a.bmp"
                                       << "--two";
    QTest::newRow("position one number") << "--one 12 a.bmp"
                                         << "--one";

    QTest::newRow("mass zero") << "--mass-one 0 a.bmp"
                               << "--mass-one";
    QTest::newRow("mass too large") << "--mass-two 32768 a.bmp"
                                    << "--mass-two";
    QTest::newRow("mass fraction") << "--mass-moving 2.5 a.bmp"
                                   << "--mass-moving";
    QTest::newRow("radius zero") << "--radius-one 0 a.bmp"
                                 << "--radius-one";
    QTest::newRow("radius too large") << "--radius-two 301 a.bmp"
                                      << "--radius-two";
    QTest::newRow("radius text") << "--radius-two five a.bmp"
                                 << "--radius-two";

    QTest::newRow("colour without #") << "--color-one ff0000 a.bmp"
                                      << "--color-one";
    QTest::newRow("colour short") << "--color-two #fff a.bmp"
                                  << "--color-two";
    QTest::newRow("colour not hex") << "--background #gg0000 a.bmp"
                                    << "--background";

    QTest::newRow("step limit zero") << "--step-limit 0 a.bmp"
                                     << "--step-limit";
    QTest::newRow("step limit past 1e14") << "--step-limit 1e15 a.bmp"
                                          << "--step-limit";
    QTest::newRow("step limit negative") << "--step-limit -3 a.bmp"
                                         << "--step-limit";
    QTest::newRow("threads zero") << "--threads 0 a.bmp"
                                  << "--threads";
    QTest::newRow("threads too many") << "--threads 1025 a.bmp"
                                      << "--threads";

    QTest::newRow("statistics as text") << "--stats a.txt a.bmp"
                                        << "--stats";
    QTest::newRow("statistics without extension") << "--stats json a.bmp"
                                                  << "--stats";
    QTest::newRow("entropy box too small") << "--entropy-box 1 --stats a.json a.bmp"
                                           << "--entropy-box";
    QTest::newRow("entropy box too large") << "--entropy-box 101 --stats a.json a.bmp"
                                           << "--entropy-box";
    QTest::newRow("entropy box malformed") << "--entropy-box 5x5 --stats a.json a.bmp"
                                           << "--entropy-box";
    QTest::newRow("entropy box negative") << "--entropy-box -5 a.bmp"
                                          << "--entropy-box";
}

void CommandLineTest::rejects()
{
    QFETCH(QString, line);
    QFETCH(QString, named);

    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(line)), RenderCommandLine::Result::error);
    QVERIFY2(commandLine.errorText().contains(named), qPrintable(commandLine.errorText()));
    QVERIFY(!commandLine.errorText().contains(QLatin1Char('\n')));
}

void CommandLineTest::reads_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<RenderParameters>("expected");
    QTest::addColumn<QByteArray>("format");

    QTest::newRow("defaults") << "out.bmp" << RenderParameters::defaults({1024, 700})
                              << QByteArray("BMP");

    RenderParameters p = RenderParameters::defaults({1920, 1080});
    p.picture = {1920, 2};
    QTest::newRow("client moves the default masses")
        << "--client 1920x1080 --picture 1920x2 out.PNG" << p << QByteArray("PNG");

    p = RenderParameters::defaults({300, 200});
    p.xrot = 0;
    p.yrot = 200;
    p.xblau = 300;
    p.yblau = 0;
    p.massOne = 1;
    p.massTwo = 32767;
    p.massMoving = 32767;
    p.radiusOne = 1;
    p.radiusTwo = 300;
    p.colorOne = 0x33 * 65536 + 0x22 * 256 + 0x11;
    p.colorTwo = 0xFF * 65536;
    p.background = 0xAB * 65536 + 0xCD * 256 + 0xEF;
    p.stepLimit = 5000000;
    p.threads = 3;
    QTest::newRow("every option at an edge")
        << "--client 300x200 --one 0,200 --two 300,0 --mass-one 1 --mass-two 32767 "
           "--mass-moving 32767 --radius-one 1 --radius-two 300 --color-one #112233 "
           "--color-two #0000FF --background #efcdab --step-limit 5e6 --threads 3 out.bmp"
        << p << QByteArray("BMP");

    p = RenderParameters::defaults({1024, 700});
    p.stepLimit = sim::stepLimit;
    QTest::newRow("step limit in digits")
        << "--step-limit 100000000000000 out.bmp" << p << QByteArray("BMP");
}

void CommandLineTest::reads()
{
    QFETCH(QString, line);
    QFETCH(RenderParameters, expected);
    QFETCH(QByteArray, format);

    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(line)), RenderCommandLine::Result::render);
    const RenderParameters &p = commandLine.parameters();
    QCOMPARE(p.client, expected.client);
    QCOMPARE(p.picture, expected.picture);
    QCOMPARE(p.xrot, expected.xrot);
    QCOMPARE(p.yrot, expected.yrot);
    QCOMPARE(p.xblau, expected.xblau);
    QCOMPARE(p.yblau, expected.yblau);
    QCOMPARE(p.massOne, expected.massOne);
    QCOMPARE(p.massTwo, expected.massTwo);
    QCOMPARE(p.massMoving, expected.massMoving);
    QCOMPARE(p.radiusOne, expected.radiusOne);
    QCOMPARE(p.radiusTwo, expected.radiusTwo);
    QCOMPARE(p.colorOne, expected.colorOne);
    QCOMPARE(p.colorTwo, expected.colorTwo);
    QCOMPARE(p.background, expected.background);
    QCOMPARE(p.stepLimit, expected.stepLimit);
    QCOMPARE(p.threads, expected.threads);
    QCOMPARE(QByteArray(commandLine.format()), format);
}

void CommandLineTest::readsShadingAndStatistics_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("shade");
    QTest::addColumn<QString>("statistics");
    QTest::addColumn<int>("box");

    QTest::newRow("neither") << "out.bmp" << false << "" << 5;
    QTest::newRow("shade") << "--shade out.bmp" << true << "" << 5;
    QTest::newRow("json, smallest box")
        << "--stats s.JSON --entropy-box 2 out.png" << false << "s.JSON" << 2;
    QTest::newRow("csv, largest box, shade")
        << "--entropy-box 100 --shade --stats s.csv out.png" << true << "s.csv" << 100;
    QTest::newRow("standard output") << "--stats - out.bmp" << false << "-" << 5;
}

void CommandLineTest::readsShadingAndStatistics()
{
    QFETCH(QString, line);
    QFETCH(bool, shade);
    QFETCH(QString, statistics);
    QFETCH(int, box);

    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(line)), RenderCommandLine::Result::render);
    QCOMPARE(commandLine.shade(), shade);
    QCOMPARE(commandLine.statistics(), statistics);
    QCOMPARE(commandLine.entropyBox(), box);
    // Both need each start point's steps.
    QCOMPARE(commandLine.parameters().keepPointSteps, shade || !statistics.isEmpty());
}

void CommandLineTest::helpListsEveryOption()
{
    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(QStringLiteral("--help"))),
             RenderCommandLine::Result::help);
    const QString help = commandLine.helpText();
    for (const char *name : {"client", "picture", "one", "two", "mass-one", "mass-two",
                             "mass-moving", "radius-one", "radius-two", "color-one", "color-two",
                             "background", "step-limit", "threads", "entropy-box"}) {
        const QString option = QStringLiteral("--%1 ").arg(QLatin1String(name));
        const qsizetype at = help.indexOf(option);
        QVERIFY2(at >= 0, name);
        // The description up to the next option names the default.
        const qsizetype next = help.indexOf(QStringLiteral("\n  -"), at);
        QVERIFY2(help.mid(at, next - at).contains(QStringLiteral("default:")), name);
    }
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
