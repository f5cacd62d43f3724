#include "render/commandline.h"
#include "tests/common/rendertool.h"

#include <QDir>
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

void compareParameters(const RenderParameters &p, const RenderParameters &expected)
{
    QCOMPARE(p.framing.client, expected.framing.client);
    QCOMPARE(p.framing.picture, expected.framing.picture);
    QCOMPARE(p.scene.trajectory.masses.size(), expected.scene.trajectory.masses.size());
    QVERIFY(p.scene.trajectory == expected.scene.trajectory);
    QCOMPARE(p.scene.colours, expected.scene.colours);
    QCOMPARE(p.scene.background, expected.scene.background);
    QCOMPARE(p.workers.threads, expected.workers.threads);
    QCOMPARE(p.workers.kernel, expected.workers.kernel);
    const std::optional<View> &view = p.framing.view;
    const std::optional<View> &expectedView = expected.framing.view;
    QCOMPARE(bool(view), bool(expectedView));
    if (view) {
        // Bit for bit.
        QCOMPARE(QByteArray::number(view->x, 'a'), QByteArray::number(expectedView->x, 'a'));
        QCOMPARE(QByteArray::number(view->y, 'a'), QByteArray::number(expectedView->y, 'a'));
        QCOMPARE(QByteArray::number(view->spacing, 'a'),
                 QByteArray::number(expectedView->spacing, 'a'));
        QCOMPARE(view->width, expectedView->width);
        QCOMPARE(view->height, expectedView->height);
    }
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    /// Views, their numbers and their masses.
    void readsViews_data();
    void readsViews();
    void readsShadingAndStatistics_data();
    void readsShadingAndStatistics();
    void readsSweep_data();
    void readsSweep();
    void sweepSetsItsOption_data();
    void sweepSetsItsOption();
    void helpListsEveryOption();
    void massesTakeTheirOwnColours();
    void environmentChoosesAuto_data();
    void environmentChoosesAuto();
};

void CommandLineTest::reads_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<RenderParameters>("expected");
    QTest::addColumn<QByteArray>("format");

    QTest::newRow("defaults") << "out.bmp" << RenderParameters::defaults({1024, 700})
                              << QByteArray("BMP");

    RenderParameters p = RenderParameters::defaults({1920, 1080});
    p.framing.picture = {1920, 2};
    QTest::newRow("client moves the default masses")
        << "--client 1920x1080 --picture 1920x2 out.PNG" << p << QByteArray("PNG");

    p = RenderParameters::defaults({300, 200});
    p.scene.trajectory.masses[0].x = 0;
    p.scene.trajectory.masses[0].y = 200;
    p.scene.trajectory.masses[1].x = 300;
    p.scene.trajectory.masses[1].y = 0;
    p.scene.trajectory.masses[0].weight = 1;
    p.scene.trajectory.masses[1].weight = 32767;
    p.scene.trajectory.movingMass = 32767;
    p.scene.trajectory.masses[0].radius = 1;
    p.scene.trajectory.masses[1].radius = 300;
    p.scene.colours[0] = 0x33 * 65536 + 0x22 * 256 + 0x11;
    p.scene.colours[1] = 0xFF * 65536;
    p.scene.background = 0xAB * 65536 + 0xCD * 256 + 0xEF;
    p.scene.trajectory.stepLimit = 5000000;
    p.workers.threads = 3;
    p.workers.kernel = Kernel::scalar;
    QTest::newRow("every option at an edge")
        << "--client 300x200 --one 0,200 --two 300,0 --mass-one 1 --mass-two 32767 "
           "--mass-moving 32767 --radius-one 1 --radius-two 300 --color-one #112233 "
           "--color-two #0000FF --background #efcdab --step-limit 5e6 --threads 3 "
           "--kernel scalar out.bmp"
        << p << QByteArray("BMP");

    p = RenderParameters::defaults({300, 200});
    p.framing.picture = {20, 10};
    p.scene.trajectory.masses[0].weight = 7;
    p.scene.colours[1] = 0x010203;
    p.workers.threads = 2;
    QTest::newRow("the last of valid repeated values")
        << "--client 400x300 --client 300x200 --picture 30x30 --picture 20x10 --mass-one 9 "
           "--mass-one 7 --color-two #ffffff --color-two #030201 --threads 5 --threads 2 out.bmp"
        << p << QByteArray("BMP");

    p = RenderParameters::defaults({1024, 700});
    p.scene.trajectory.stepLimit = sim::stepLimit;
    QTest::newRow("step limit in digits")
        << "--step-limit 100000000000000 out.bmp" << p << QByteArray("BMP");

    if (kernelAvailable(Kernel::avx2)) {
        p = RenderParameters::defaults({1024, 700});
        p.workers.kernel = Kernel::avx2;
        QTest::newRow("avx2 kernel") << "--kernel avx2 out.bmp" << p << QByteArray("BMP");
    }
}

void CommandLineTest::readsViews_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<RenderParameters>("expected");
    QTest::addColumn<QByteArray>("format");

    RenderParameters p;
    // Start-up's masses; the positions may lie anywhere a surface could have them.
    p = RenderParameters::defaults({1024, 700});
    p.framing.view = View{0.1, -2.5, 0.25, 0, 0, 30, 1};
    p.scene.trajectory.masses[1].x = 16384;
    QTest::newRow("view") << "--view 0.1,-2.5,0.25 --two 16384,350 --size 30x1 out.png" << p
                          << QByteArray("PNG");
    p.scene.trajectory.masses[1].x =
        RenderParameters::defaults({1024, 700}).scene.trajectory.masses[1].x;
    p.framing.view = View{1.0 / 9, -0.5e-3, 20, 0, 0, 30, 1};
    QTest::newRow("view in every form of number")
        << QStringLiteral("--view 0.%1,-.5e-3,2E+1 --size 30x1 out.png")
               .arg(QString(30000, QLatin1Char('1')))
        << p << QByteArray("PNG");

    // Past the second mass, each default colour is one neither the background nor another
    // mass has.
    p = RenderParameters::defaults({1024, 700});
    p.framing.view = View{0, 0, 1, 0, 0, 4, 4};
    p.scene.trajectory.masses = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    p.scene.background = 0x00A000;
    p.scene.colours = {sim::defaultColourOne, sim::defaultColourTwo, 0xC00080, 0x0080FF};
    QTest::newRow("masses of a view")
        << "--view 0,0,1 --size 4x4 --background #00a000 --mass 1,2,3,4 --mass 5,6,7,8 "
           "--mass 9,10,11,12 --mass 13,14,15,16,#ff8000 out.png"
        << p << QByteArray("PNG");
}

void CommandLineTest::readsViews()
{
    reads();
}

void CommandLineTest::reads()
{
    QFETCH(QString, line);
    QFETCH(RenderParameters, expected);
    QFETCH(QByteArray, format);

    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(line)), RenderCommandLine::Result::render);
    compareParameters(commandLine.job().parameters, expected);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(QByteArray(commandLine.job().format), format);
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
    QCOMPARE(commandLine.job().parameters.scene.shade, shade);
    QCOMPARE(commandLine.job().statistics, statistics);
    QCOMPARE(commandLine.job().entropyBox, box);
    // Both need each start point's steps.
    QCOMPARE(commandLine.job().parameters.keepPointSteps, shade || !statistics.isEmpty());
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
    QTest::newRow("a third mass's radius")
        << "--view 0,0,1 --size 4x4 --mass 1,1,1,1 --mass 2,2,2,2 --mass 3,3,3,3 "
           "--sweep radius-three=5:1:2 f%d.png"
        << QList<int>{5, 3, 1} << "f2.png";
    QTest::newRow("no sweep, OUTPUT as it is") << "f%d%03d.png" << QList<int>{} << "f%d%03d.png";
}

void CommandLineTest::readsSweep()
{
    QFETCH(QString, line);
    QFETCH(QList<int>, values);
    QFETCH(QString, lastFile);

    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(line)), RenderCommandLine::Result::render);
    const SweepRange *range = commandLine.job().sweep ? &*commandLine.job().sweep : nullptr;
    if (values.isEmpty()) {
        QVERIFY(!range);
        QCOMPARE(commandLine.job().output, lastFile);
        return;
    }
    QVERIFY(range);
    QList<int> read;
    for (int frame = 0; frame < range->frameCount(); ++frame)
        read << range->value(frame);
    QCOMPARE(read, values);
    QCOMPARE(commandLine.job().frames.fileName(range->frameCount() - 1), lastFile);
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
    const SweepRange &range = *swept.job().sweep;
    compareParameters(range.frame(swept.job().parameters, range.value(0)),
                      expected.job().parameters);
}

void CommandLineTest::helpListsEveryOption()
{
    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(QStringLiteral("--help a.bmp"))),
             RenderCommandLine::Result::help);
    // The program shows the same help, and writes nothing.
    const QTemporaryDir folder;
    const auto outcome = runToolIn(folder.path(), QStringLiteral("--help a.bmp"));
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY(QDir(folder.path()).isEmpty());
    const QString help = QString::fromUtf8(outcome.out).simplified();
    // Numbers as a person writes them: powers of ten of steps as 1e14.
    for (const char *says : {"Mass one, 1 to 32767; kilograms = V x 10000 (default: 10).",
                             "Moving mass, 1 to 32767; kilograms = V x 10000000 (default: 50).",
                             "1 to 1e14, as digits or like 5e6 (default: 1e14).",
                             "Capture radius of mass two, 1 to 300 pixels (default: 5).",
                             "(default: 1024x700)", "(default: #0000ff)"}) {
        QVERIFY2(help.contains(QLatin1String(says)), says);
    }
    for (const char *name :
         {"client", "picture", "one", "two", "mass-one", "mass-two", "mass-moving", "radius-one",
          "radius-two", "color-one", "color-two", "background", "step-limit", "threads",
          "entropy-box", "kernel", "mass"}) {
        const QString option = QStringLiteral("--%1 <").arg(QLatin1String(name));
        const qsizetype at = help.indexOf(option);
        QVERIFY2(at >= 0, name);
        // The description up to the next option names the default.
        const qsizetype next = help.indexOf(QStringLiteral(" --"), at + 2);
        QVERIFY2(help.mid(at, next - at).contains(QStringLiteral("default:")), name);
    }
}

void CommandLineTest::massesTakeTheirOwnColours()
{
    // The background is the first later default; mass two's colour is given to mass three.
    RenderCommandLine commandLine;
    QString line = QStringLiteral("--view 0,0,1 --size 9x9 --background #00a000 "
                                  "--mass 1,1,1,1 --mass 2,2,2,2 --mass 3,3,3,3,#ff8000");
    for (int k = 0; k < 13; ++k)
        line += QStringLiteral(" --mass 4,4,4,4");
    QCOMPARE(commandLine.parse(arguments(line + QStringLiteral(" a.bmp"))),
             RenderCommandLine::Result::render);
    const Scene &scene = commandLine.job().parameters.scene;
    QCOMPARE(scene.trajectory.masses.size(), std::size_t(16));
    QCOMPARE(scene.colours[0], sim::defaultColourOne);
    QCOMPARE(scene.colours[1], sim::defaultColourTwo);
    for (std::size_t k = 3; k < scene.colours.size(); ++k) {
        QVERIFY(scene.colours[k] != scene.background);
        for (std::size_t other = 0; other < k; ++other)
            QVERIFY(scene.colours[k] != scene.colours[other]);
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
