#include "render/commandline.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(RenderParameters)
Q_DECLARE_METATYPE(Kernel)

namespace {

QStringList arguments(const QString &line)
{
    return QStringList{QStringLiteral("velmora-render")} +
           line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// velmora-render itself with the arguments of line, in folder.
Outcome runTool(const QString &line, const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(VELMORA_RENDER_PATH), arguments(line).mid(1));
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

void compareParameters(const RenderParameters &p, const RenderParameters &expected)
{
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
    QCOMPARE(p.kernel, expected.kernel);
    QCOMPARE(bool(p.view), bool(expected.view));
    if (p.view) {
        // Bit for bit.
        QCOMPARE(QByteArray::number(p.view->x, 'a'), QByteArray::number(expected.view->x, 'a'));
        QCOMPARE(QByteArray::number(p.view->y, 'a'), QByteArray::number(expected.view->y, 'a'));
        QCOMPARE(QByteArray::number(p.view->spacing, 'a'),
                 QByteArray::number(expected.view->spacing, 'a'));
        QCOMPARE(p.view->width, expected.view->width);
        QCOMPARE(p.view->height, expected.view->height);
    }
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
    void readsSweep_data();
    void readsSweep();
    void sweepSetsItsOption_data();
    void sweepSetsItsOption();
    void helpListsEveryOption();
    void environmentChoosesAuto_data();
    void environmentChoosesAuto();
};

void CommandLineTest::rejects_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("named");

    QTest::newRow("nothing") << ""
                             << "OUTPUT";
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

    // Every value of a repeated option counts, not only the last.
    QTest::newRow("bad client before a good one") << "--client abc --client 400x300 a.bmp"
                                                  << "--client: expected WIDTHxHEIGHT, each 2 to "
                                                     "16384, got 'abc'";
    QTest::newRow("bad picture before a good one") << "--picture 0x0 --picture 20x20 a.bmp"
                                                   << "'0x0'";
    QTest::newRow("bad position before a good one") << "--one 1,1 --one x --one 2,2 a.bmp"
                                                    << "'x'";
    QTest::newRow("bad mass before a good one") << "--mass-one 0 --mass-one 5 a.bmp"
                                                << "--mass-one";
    QTest::newRow("bad colour after a good one") << "--background #000000 --background red a.bmp"
                                                 << "'red'";
    QTest::newRow("bad step limit before a good one") << "--step-limit 0 --step-limit 9 a.bmp"
                                                      << "--step-limit";
    QTest::newRow("bad threads before a good one") << "--threads 0 --threads 2 a.bmp"
                                                   << "--threads";
    QTest::newRow("bad statistics before good ones")
        << "--stats a.txt --stats a.json --entropy-box 1 --entropy-box 5 a.bmp"
        << "'a.txt'";
    QTest::newRow("bad entropy box after a good one")
        << "--entropy-box 5 --entropy-box 1 --stats a.json a.bmp"
        << "--entropy-box";
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

    QTest::newRow("sweep of an unknown option") << "--sweep mass=1:2:1 f%d.bmp"
                                                << "--sweep";
    QTest::newRow("sweep without step") << "--sweep mass-one=1:2 f%d.bmp"
                                        << "--sweep";
    QTest::newRow("sweep without name") << "--sweep 1:2:1 f%d.bmp"
                                        << "--sweep";
    QTest::newRow("sweep from below the range") << "--sweep mass-moving=0:10:1 f%d.bmp"
                                                << "--sweep";
    QTest::newRow("sweep to past the range") << "--sweep radius-one=1:301:1 f%d.bmp"
                                             << "--sweep";
    QTest::newRow("sweep past the surface") << "--client 300x200 --sweep one-y=0:201:1 f%d.bmp"
                                            << "--sweep";
    QTest::newRow("sweep from negative") << "--sweep two-x=-1:5:1 f%d.bmp"
                                         << "--sweep";
    QTest::newRow("sweep from a fraction") << "--sweep mass-two=1.5:5:1 f%d.bmp"
                                           << "--sweep";
    QTest::newRow("sweep step zero") << "--sweep mass-one=1:10:0 f%d.bmp"
                                     << "--sweep";
    QTest::newRow("sweep step negative") << "--sweep mass-one=10:1:-1 f%d.bmp"
                                         << "--sweep";
    QTest::newRow("sweep of 10001 frames") << "--sweep mass-moving=10001:1:1 f%d.bmp"
                                           << "--sweep";
    QTest::newRow("sweep without frame number") << "--sweep mass-one=1:2:1 f.bmp"
                                                << "OUTPUT";
    QTest::newRow("sweep with two frame numbers") << "--sweep mass-one=1:2:1 f%d_%02d.bmp"
                                                  << "OUTPUT";
    QTest::newRow("sweep with ten digits") << "--sweep mass-one=1:2:1 f%010d.bmp"
                                           << "OUTPUT";
    QTest::newRow("sweep with a width not zero-padded") << "--sweep mass-one=1:2:1 f%5d.bmp"
                                                        << "OUTPUT";
    QTest::newRow("plot without sweep") << "--plot p.png a.bmp"
                                        << "--plot: draws the frames of a sweep, so it needs --sweep";
    QTest::newRow("plot not png") << "--sweep mass-one=1:2:1 --plot p.bmp f%d.bmp"
                                  << "--plot";
    QTest::newRow("bad sweep before a good one")
        << "--sweep mass-one=0:2:1 --sweep mass-one=1:2:1 f%d.bmp"
        << "'mass-one=0:2:1'";
    QTest::newRow("bad plot before a good one")
        << "--sweep mass-one=1:2:1 --plot p.bmp --plot p.png f%d.bmp"
        << "'p.bmp'";
    QTest::newRow("uncertainty zero") << "--uncertainty 0 --stats a.json a.bmp"
                                      << "--uncertainty";
    QTest::newRow("sample past the most") << "--sample 100000001 -"
                                          << "--sample";
    QTest::newRow("seed a fraction") << "--seed 1.5 --sample 10 -"
                                     << "--seed";
    QTest::newRow("uncertainty without statistics") << "--uncertainty 10 a.bmp"
                                                    << "--uncertainty";
    QTest::newRow("no picture without sample") << "--uncertainty 10 --stats a.json -"
                                               << "OUTPUT";
    QTest::newRow("plot measure without plot") << "--plot-measure entropy a.bmp"
                                               << "--plot-measure";
    QTest::newRow("dimension without uncertainty")
        << "--sweep mass-one=1:2:1 --plot p.png --plot-measure dimension f%d.bmp"
        << "--plot-measure";
    QTest::newRow("shard without sweep") << "--shard 1/2 a.bmp"
                                         << "--shard";
    QTest::newRow("shard past its count") << "--sweep mass-one=1:9:1 --shard 3/2 f%d.bmp"
                                          << "'3/2'";
    QTest::newRow("shard zero") << "--sweep mass-one=1:9:1 --shard 0/2 f%d.bmp"
                                << "'0/2'";
    QTest::newRow("shard malformed") << "--sweep mass-one=1:9:1 --shard 1-2 f%d.bmp"
                                     << "'1-2'";
    QTest::newRow("shard with a plot") << "--sweep mass-one=1:9:1 --plot p.png --shard 1/2 f%d.bmp"
                                       << "--shard";
    QTest::newRow("merge with another option") << "--merge-stats --threads 2 a.csv b.csv"
                                               << "--threads";
    QTest::newRow("merge without parts") << "--merge-stats a.csv"
                                         << "--merge-stats";
    QTest::newRow("merge into a picture") << "--merge-stats a.png b.csv"
                                          << "--merge-stats";
    // A line break after a value is no part of a number.
    QTest::newRow("number and a line break") << "--mass-one 5\n a.bmp"
                                             << "--mass-one";
    QTest::newRow("steps and a line break") << "--step-limit 5e6\n a.bmp"
                                            << "--step-limit";
    QTest::newRow("colour and a line break") << "--color-one #ff0000\n a.bmp"
                                             << "--color-one";
    QTest::newRow("view of two numbers") << "--view 1,2 --size 10x10 a.bmp"
                                         << "--view";
    QTest::newRow("view spacing zero") << "--view 1,2,0 --size 10x10 a.bmp"
                                       << "--view";
    QTest::newRow("view in words") << "--view one,2,1 --size 10x10 a.bmp"
                                   << "--view";
    QTest::newRow("view in hexadecimal") << "--view 0x1p3,2,1 --size 10x10 a.bmp"
                                         << "--view";
    QTest::newRow("view beyond reach") << "--view 2e9,0,1 --size 10x10 a.bmp"
                                       << "--view";
    // Read without a recursive matcher, whose stack such a number overran.
    QTest::newRow("view of 30000 digits")
        << QStringLiteral("--view %1,0,1 --size 10x10 a.bmp").arg(QString(30000, QLatin1Char('1')))
        << "--view";
    for (const char *x : {"+1", ".", "-.", "1.2.3", "1e", "1e+", ".e1", "--1"}) {
        QTest::addRow("view of %s", x)
            << QStringLiteral("--view %1,0,1 --size 10x10 a.bmp").arg(QLatin1String(x)) << "--view";
    }
    // Singles between 256 and 512 lie 2^-15 apart.
    QTest::newRow("view finer than single precision") << "--view 502,350,1e-5 --size 10x10 a.bmp"
                                                      << "at least 3.0517578125e-05";
    QTest::newRow("view without size") << "--view 1,2,1 a.bmp"
                                       << "--size";
    QTest::newRow("view with client") << "--client 300x200 --view 1,2,1 --size 10x10 a.bmp"
                                      << "--client";
    QTest::newRow("view with picture") << "--view 1,2,1 --size 10x10 --picture 20x20 a.bmp"
                                       << "--picture";
    QTest::newRow("size without view") << "--size 10x10 a.bmp"
                                       << "--size";
    QTest::newRow("size zero") << "--view 1,2,1 --size 0x10 a.bmp"
                               << "--size";
    QTest::newRow("size too large") << "--view 1,2,1 --size 16385x1 a.bmp"
                                    << "--size";
    QTest::newRow("position past a view's range") << "--view 1,2,1 --size 9x9 --one 16385,0 a.bmp"
                                                  << "--one";
    QTest::newRow("kernel unknown") << "--kernel avx512 a.bmp"
                                    << "--kernel";
    if (!kernelAvailable(Kernel::avx2)) {
        QTest::newRow("kernel the processor lacks") << "--kernel avx2 a.bmp"
                                                    << "--kernel";
    }
}

void CommandLineTest::rejects()
{
    QFETCH(QString, line);
    QFETCH(QString, named);

    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(line)), RenderCommandLine::Result::error);
    QVERIFY2(commandLine.errorText().contains(named), qPrintable(commandLine.errorText()));
    QVERIFY(!commandLine.errorText().contains(QLatin1Char('\n')));

    // The program: that one line on standard error, exit status 2, no file.
    const QTemporaryDir folder;
    const auto outcome = runTool(line, folder.path());
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.err, "velmora-render: " + commandLine.errorText().toUtf8() + '\n');
    QCOMPARE(outcome.out, QByteArray());
    QVERIFY(QDir(folder.path()).isEmpty());
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
    p.kernel = Kernel::scalar;
    QTest::newRow("every option at an edge")
        << "--client 300x200 --one 0,200 --two 300,0 --mass-one 1 --mass-two 32767 "
           "--mass-moving 32767 --radius-one 1 --radius-two 300 --color-one #112233 "
           "--color-two #0000FF --background #efcdab --step-limit 5e6 --threads 3 "
           "--kernel scalar out.bmp"
        << p << QByteArray("BMP");

    p = RenderParameters::defaults({300, 200});
    p.picture = {20, 10};
    p.massOne = 7;
    p.colorTwo = 0x010203;
    p.threads = 2;
    QTest::newRow("the last of valid repeated values")
        << "--client 400x300 --client 300x200 --picture 30x30 --picture 20x10 --mass-one 9 "
           "--mass-one 7 --color-two #ffffff --color-two #030201 --threads 5 --threads 2 out.bmp"
        << p << QByteArray("BMP");

    p = RenderParameters::defaults({1024, 700});
    p.stepLimit = sim::stepLimit;
    QTest::newRow("step limit in digits")
        << "--step-limit 100000000000000 out.bmp" << p << QByteArray("BMP");

    // Start-up's masses; the positions may lie anywhere a surface could have them.
    p = RenderParameters::defaults({1024, 700});
    p.client = p.picture = {30, 1};
    p.view = View{0.1, -2.5, 0.25, 0, 0, 30, 1};
    p.xblau = 16384;
    QTest::newRow("view") << "--view 0.1,-2.5,0.25 --two 16384,350 --size 30x1 out.png" << p
                          << QByteArray("PNG");
    p.xblau = RenderParameters::defaults({1024, 700}).xblau;
    p.view = View{1.0 / 9, -0.5e-3, 20, 0, 0, 30, 1};
    QTest::newRow("view in every form of number")
        << QStringLiteral("--view 0.%1,-.5e-3,2E+1 --size 30x1 out.png")
               .arg(QString(30000, QLatin1Char('1')))
        << p << QByteArray("PNG");

    if (kernelAvailable(Kernel::avx2)) {
        p = RenderParameters::defaults({1024, 700});
        p.kernel = Kernel::avx2;
        QTest::newRow("avx2 kernel") << "--kernel avx2 out.bmp" << p << QByteArray("BMP");
    }
}

void CommandLineTest::reads()
{
    QFETCH(QString, line);
    QFETCH(RenderParameters, expected);
    QFETCH(QByteArray, format);

    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(line)), RenderCommandLine::Result::render);
    compareParameters(commandLine.parameters(), expected);
    if (QTest::currentTestFailed())
        return;
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

void CommandLineTest::readsSweep_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QString>("lastFile");

    QTest::newRow("up, to reached")
        << "--sweep mass-moving=10:50:20 f%d.png" << QList<int>{10, 30, 50} << "f2.png";
    QTest::newRow("down, to reached")
        << "--sweep radius-one=9:3:3 f%03d.bmp" << QList<int>{9, 6, 3} << "f002.bmp";
    QTest::newRow("up, to not reached")
        << "--sweep mass-one=1:10:4 %01d.png" << QList<int>{1, 5, 9} << "2.png";
    QTest::newRow("down, to not reached")
        << "--sweep two-x=100:90:4 a/%09d.png" << QList<int>{100, 96, 92} << "a/000000002.png";
    QTest::newRow("one frame, from equals to")
        << "--sweep mass-two=7:7:1 f%d.png" << QList<int>{7} << "f0.png";
    QTest::newRow("one frame, step past to")
        << "--sweep one-y=0:700:701 %%_%d.png" << QList<int>{0} << "%%_0.png";
    QList<int> most;
    for (int v = 32767; most.size() < 10000; v -= 3)
        most << v;
    QTest::newRow("10000 frames, the most")
        << "--sweep mass-moving=32767:2768:3 %04d.bmp" << most << "9999.bmp";
    QTest::newRow("no sweep, OUTPUT as it is") << "f%d%03d.png" << QList<int>{} << "f%d%03d.png";
}

void CommandLineTest::readsSweep()
{
    QFETCH(QString, line);
    QFETCH(QList<int>, values);
    QFETCH(QString, lastFile);

    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(line)), RenderCommandLine::Result::render);
    const SweepRange *range = commandLine.sweep();
    if (values.isEmpty()) {
        QVERIFY(!range);
        QCOMPARE(commandLine.output(), lastFile);
        return;
    }
    QVERIFY(range);
    QList<int> read;
    for (int frame = 0; frame < range->frameCount(); ++frame)
        read << range->value(frame);
    QCOMPARE(read, values);
    QCOMPARE(commandLine.frames().fileName(range->frameCount() - 1), lastFile);
}

void CommandLineTest::sweepSetsItsOption_data()
{
    QTest::addColumn<QString>("sweep");
    QTest::addColumn<QString>("single");

    QTest::newRow("mass-one") << "mass-one=7:7:1"
                              << "--mass-one 7";
    QTest::newRow("mass-two") << "mass-two=32767:1:5000"
                              << "--mass-two 32767";
    QTest::newRow("mass-moving") << "mass-moving=1:32767:32767"
                                 << "--mass-moving 1";
    QTest::newRow("radius-one") << "radius-one=300:1:1"
                                << "--radius-one 300";
    QTest::newRow("radius-two") << "radius-two=2:3:1"
                                << "--radius-two 2";
    QTest::newRow("one-x") << "one-x=1024:0:1"
                           << "--one 1024,50";
    QTest::newRow("one-y") << "one-y=3:0:1"
                           << "--one 40,3";
    QTest::newRow("two-x") << "two-x=0:4:1"
                           << "--two 0,70";
    QTest::newRow("two-y") << "two-y=700:0:1"
                           << "--two 60,700";
}

void CommandLineTest::sweepSetsItsOption()
{
    QFETCH(QString, sweep);
    QFETCH(QString, single);
    // Every other option holds for each frame.
    const QString others = QStringLiteral("--mass-moving 70 --one 40,50 --two 60,70 --shade ");

    RenderCommandLine swept;
    QCOMPARE(swept.parse(arguments(others + QStringLiteral("--sweep ") + sweep +
                                   QStringLiteral(" f%d.bmp"))),
             RenderCommandLine::Result::render);
    RenderCommandLine expected;
    QCOMPARE(expected.parse(arguments(others + single + QStringLiteral(" f.bmp"))),
             RenderCommandLine::Result::render);
    compareParameters(swept.sweep()->frame(swept.parameters(), swept.sweep()->value(0)),
                      expected.parameters());
}

void CommandLineTest::helpListsEveryOption()
{
    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(QStringLiteral("--help a.bmp"))),
             RenderCommandLine::Result::help);
    // The program shows the same help, and writes nothing.
    const QTemporaryDir folder;
    const auto outcome = runTool(QStringLiteral("--help a.bmp"), folder.path());
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY(QDir(folder.path()).isEmpty());
    const QString help = QString::fromUtf8(outcome.out);
    QCOMPARE(help.section(QLatin1Char('\n'), 1),
             commandLine.helpText().section(QLatin1Char('\n'), 1));
    for (const char *name : {"client", "picture", "one", "two", "mass-one", "mass-two",
                             "mass-moving", "radius-one", "radius-two", "color-one", "color-two",
                             "background", "step-limit", "threads", "entropy-box", "kernel"}) {
        const QString option = QStringLiteral("--%1 ").arg(QLatin1String(name));
        const qsizetype at = help.indexOf(option);
        QVERIFY2(at >= 0, name);
        // The description up to the next option names the default.
        const qsizetype next = help.indexOf(QStringLiteral("\n  -"), at);
        QVERIFY2(help.mid(at, next - at).contains(QStringLiteral("default:")), name);
    }
}

void CommandLineTest::environmentChoosesAuto_data()
{
    const Kernel fastest = kernelAvailable(Kernel::avx2) ? Kernel::avx2 : Kernel::scalar;
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<Kernel>("picked");

    QTest::newRow("empty") << QByteArray() << true << fastest;
    QTest::newRow("auto") << QByteArray("auto") << true << fastest;
    QTest::newRow("scalar") << QByteArray("scalar") << true << Kernel::scalar;
    QTest::newRow("unknown") << QByteArray("fast") << false << fastest;
    if (kernelAvailable(Kernel::avx2))
        QTest::newRow("avx2") << QByteArray("avx2") << true << Kernel::avx2;
    else
        QTest::newRow("avx2 lacking") << QByteArray("avx2") << false << fastest;
}

void CommandLineTest::environmentChoosesAuto()
{
    QFETCH(QByteArray, setting);
    QFETCH(bool, accepted);
    QFETCH(Kernel, picked);

    qputenv(kernelVariable, setting);
    RenderCommandLine commandLine;
    const bool read = commandLine.parse(arguments("out.bmp")) == RenderCommandLine::Result::render;
    const Kernel resolved = resolvedKernel(Kernel::automatic);
    qunsetenv(kernelVariable);

    QCOMPARE(read, accepted);
    QCOMPARE(commandLine.errorText().contains(QLatin1String(kernelVariable)), !accepted);
    QCOMPARE(resolved, picked);
    const QString help = commandLine.helpText().simplified();
    QVERIFY2(help.contains(QStringLiteral("%1 here").arg(QLatin1String(kernelName(picked)))),
             qPrintable(help));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
