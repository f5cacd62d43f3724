#include "render/commandline.h"
#include "tests/common/pipewatch.h"
#include "tests/common/rendertool.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(Kernel)

namespace {

QStringList commandLine(const QString &line)
{
    return QStringList{QStringLiteral("velmora-render")} +
           line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    /// The picture's options: the surface, the rectangle, a view and its size, the output.
    void picture_data();
    void picture();
    /// Views of unreadable numbers and view files that are not regular files.
    void views_data();
    void views();
    /// The scene's and the workers' options.
    void parameters_data();
    void parameters();
    /// Options given more than once: every value counts.
    void repeated_data();
    void repeated();
    /// Sweeps, plots, measures, shards and merges.
    void series_data();
    void series();

private:
    /// One row: refused with one line naming the option, by the command line and the program
    /// (a merge's parts by the program alone).
    void rejects();

    QTemporaryDir pipes_; ///< holds a pipe, pipe.json
};

void BadInputTest::initTestCase()
{
    QVERIFY(mkfifo(QFile::encodeName(pipes_.filePath(QStringLiteral("pipe.json"))), 0644) == 0);
}

void BadInputTest::picture_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("named");

    QTest::newRow("nothing") << "" << "OUTPUT";
    QTest::newRow("no output") << "--threads 2" << "OUTPUT";
    QTest::newRow("two outputs") << "a.bmp b.bmp" << "OUTPUT";
    QTest::newRow("unknown format") << "a.jpg" << "OUTPUT";
    QTest::newRow("unknown option") << "--colour-one #ff0000 a.bmp" << "colour-one";
    QTest::newRow("missing value") << "a.bmp --threads" << "threads";

    QTest::newRow("client too small") << "--client 1x700 a.bmp" << "--client";
    QTest::newRow("client too large") << "--client 16385x700 a.bmp" << "--client";
    QTest::newRow("client malformed") << "--client 1024*700 a.bmp" << "--client";
    QTest::newRow("client smaller than default picture") << "--client 90x700 a.bmp" << "--client";
    QTest::newRow("picture too small") << "--picture 1x80 a.bmp" << "--picture";
    QTest::newRow("picture wider than client") << "--client 200x100 --picture 201x80 a.bmp"
                                               << "--picture";
    QTest::newRow("picture negative") << "--picture -5x80 a.bmp" << "--picture";

    QTest::newRow("position past client") << "--client 300x200 --one 301,100 a.bmp" << "--one";
    QTest::newRow("position below client") << "--two 10,201 --client 300x200 a.bmp" << "--two";
    QTest::newRow("position negative") << "--two -1,5 a.bmp" << "--two";
    QTest::newRow("position one number") << "--one 12 a.bmp" << "--one";

    QTest::newRow("view of two numbers") << "--view 1,2 --size 10x10 a.bmp" << "--view";
    QTest::newRow("view spacing zero") << "--view 1,2,0 --size 10x10 a.bmp" << "--view";
    QTest::newRow("view in words") << "--view one,2,1 --size 10x10 a.bmp" << "--view";
    QTest::newRow("view in hexadecimal") << "--view 0x1p3,2,1 --size 10x10 a.bmp" << "--view";
    QTest::newRow("view beyond reach") << "--view 2e9,0,1 --size 10x10 a.bmp" << "--view";
}

void BadInputTest::views_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("named");

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
    // Only a regular file is read: a pipe would block, a device pour out without end.
    QTest::newRow("view file a pipe")
        << "--view-file " + pipes_.filePath(QStringLiteral("pipe.json")) + " a.bmp"
        << "it is a pipe";
    QTest::newRow("view file a device") << "--view-file /dev/null a.bmp" << "it is a device";
    QTest::newRow("view file without a name") << "--view-file= a.bmp" << "no file name";
    QTest::newRow("view without size") << "--view 1,2,1 a.bmp" << "--size";
    QTest::newRow("view with client") << "--client 300x200 --view 1,2,1 --size 10x10 a.bmp"
                                      << "--client";
    QTest::newRow("view with picture") << "--view 1,2,1 --size 10x10 --picture 20x20 a.bmp"
                                       << "--picture";
    QTest::newRow("size without view") << "--size 10x10 a.bmp" << "--size";
    QTest::newRow("size zero") << "--view 1,2,1 --size 0x10 a.bmp" << "--size";
    QTest::newRow("size too large") << "--view 1,2,1 --size 65537x1 a.png" << "--size";
    QTest::newRow("sweep's frames too large")
        << "--view 1,2,1 --size 16385x1 --sweep mass-one=1:2:1 a%d.png" << "--size";
    QTest::newRow("bitmap beyond 4 GiB") << "--view 1,2,1 --size 37838x37838 a.bmp"
                                         << "4294967295 bytes";
    QTest::newRow("tile of a shaded picture") << "--view 1,2,1 --size 9x9 --shade --tile 1/2 a.png"
                                              << "--tile";
    QTest::newRow("position past a view's range") << "--view 1,2,1 --size 9x9 --one 16385,0 a.bmp"
                                                  << "--one";
    // A line break after a value is no part of a number.
    QTest::newRow("number and a line break") << "--mass-one 5\n a.bmp" << "--mass-one";
    QTest::newRow("steps and a line break") << "--step-limit 5e6\n a.bmp" << "--step-limit";
    QTest::newRow("colour and a line break") << "--color-one #ff0000\n a.bmp" << "--color-one";
}

void BadInputTest::parameters_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("named");
    QTest::newRow("mass zero") << "--mass-one 0 a.bmp" << "--mass-one";
    QTest::newRow("mass too large") << "--mass-two 32768 a.bmp" << "--mass-two";
    QTest::newRow("mass fraction") << "--mass-moving 2.5 a.bmp" << "--mass-moving";
    QTest::newRow("radius zero") << "--radius-one 0 a.bmp" << "--radius-one";
    QTest::newRow("radius too large") << "--radius-two 301 a.bmp" << "--radius-two";
    QTest::newRow("radius text") << "--radius-two five a.bmp" << "--radius-two";

    QTest::newRow("colour without #") << "--color-one ff0000 a.bmp" << "--color-one";
    QTest::newRow("colour short") << "--color-two #fff a.bmp" << "--color-two";
    QTest::newRow("colour not hex") << "--background #gg0000 a.bmp" << "--background";

    QTest::newRow("step limit zero") << "--step-limit 0 a.bmp" << "--step-limit";
    QTest::newRow("step limit past 1e14") << "--step-limit 1e15 a.bmp" << "--step-limit";
    QTest::newRow("step limit negative") << "--step-limit -3 a.bmp" << "--step-limit";
    QTest::newRow("threads zero") << "--threads 0 a.bmp" << "--threads";
    QTest::newRow("threads too many") << "--threads 1025 a.bmp" << "--threads";
}

void BadInputTest::repeated_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("named");

    // Every value of a repeated option counts, not only the last.
    QTest::newRow("bad client before a good one") << "--client abc --client 400x300 a.bmp"
                                                  << "--client: expected WIDTHxHEIGHT, each 2 to "
                                                     "16384, got 'abc'";
    QTest::newRow("bad picture before a good one") << "--picture 0x0 --picture 20x20 a.bmp"
                                                   << "'0x0'";
    QTest::newRow("bad position before a good one") << "--one 1,1 --one x --one 2,2 a.bmp" << "'x'";
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
    QTest::newRow("statistics as text") << "--stats a.txt a.bmp" << "--stats";
    QTest::newRow("statistics without extension") << "--stats json a.bmp" << "--stats";
    QTest::newRow("entropy box too small") << "--entropy-box 1 --stats a.json a.bmp"
                                           << "--entropy-box";
    QTest::newRow("entropy box too large") << "--entropy-box 101 --stats a.json a.bmp"
                                           << "--entropy-box";
    QTest::newRow("entropy box malformed") << "--entropy-box 5x5 --stats a.json a.bmp"
                                           << "--entropy-box";
    QTest::newRow("entropy box negative") << "--entropy-box -5 a.bmp" << "--entropy-box";

    const QString view = QStringLiteral("--view 0,0,1 --size 9x9");
    QTest::newRow("seventeen masses") << view + QString(" --mass 1,1,1,1").repeated(17) + " a.bmp"
                                      << "--mass: expected at most 16 masses, got 17";
    QTest::newRow("mass without radius") << view + " --mass 1,1,1 a.bmp" << "got '1,1,1'";
    QTest::newRow("mass radius too large") << view + " --mass 1,1,1,1 --mass 1,1,1,301 a.bmp"
                                           << "got '1,1,1,301'";
    QTest::newRow("mass weight zero") << view + " --mass 1,1,0,1 a.bmp" << "--mass";
    QTest::newRow("mass colour without #") << view + " --mass 1,1,1,1,ff0000 a.bmp" << "--mass";
    QTest::newRow("mass and --one") << view + " --mass 1,1,1,1 --one 5,5 a.bmp"
                                    << "--one: expected no --mass beside it";
    QTest::newRow("mass and --color-two") << view + " --mass 1,1,1,1 --color-two #000000 a.bmp"
                                          << "--color-two";
    QTest::newRow("mass without a view") << "--mass 1,1,1,1 a.bmp"
                                         << "--mass: expected --view or --view-file";
    QTest::newRow("sweep of a mass not given")
        << view + " --mass 1,1,1,1 --sweep two-x=1:5:1 f%d.bmp"
        << "--sweep";
    QTest::newRow("wada without statistics") << "--wada a.bmp" << "--wada";

    QTest::newRow("kernel unknown") << "--kernel avx512 a.bmp" << "--kernel";
    if (!kernelAvailable(Kernel::avx2)) {
        QTest::newRow("kernel the processor lacks") << "--kernel avx2 a.bmp" << "--kernel";
    }
}

void BadInputTest::series_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("named");
    QTest::newRow("sweep of an unknown option") << "--sweep mass=1:2:1 f%d.bmp" << "--sweep";
    QTest::newRow("sweep without step") << "--sweep mass-one=1:2 f%d.bmp" << "--sweep";
    QTest::newRow("sweep without name") << "--sweep 1:2:1 f%d.bmp" << "--sweep";
    QTest::newRow("sweep from below the range") << "--sweep mass-moving=0:10:1 f%d.bmp"
                                                << "--sweep";
    QTest::newRow("sweep to past the range") << "--sweep radius-one=1:301:1 f%d.bmp" << "--sweep";
    QTest::newRow("sweep past the surface") << "--client 300x200 --sweep one-y=0:201:1 f%d.bmp"
                                            << "--sweep";
    QTest::newRow("sweep from negative") << "--sweep two-x=-1:5:1 f%d.bmp" << "--sweep";
    QTest::newRow("sweep from a fraction") << "--sweep mass-two=1.5:5:1 f%d.bmp" << "--sweep";
    QTest::newRow("sweep step zero") << "--sweep mass-one=1:10:0 f%d.bmp" << "--sweep";
    QTest::newRow("sweep step negative") << "--sweep mass-one=10:1:-1 f%d.bmp" << "--sweep";
    QTest::newRow("sweep of 10001 frames") << "--sweep mass-moving=10001:1:1 f%d.bmp" << "--sweep";
    QTest::newRow("sweep without frame number") << "--sweep mass-one=1:2:1 f.bmp" << "OUTPUT";
    QTest::newRow("sweep with two frame numbers") << "--sweep mass-one=1:2:1 f%d_%02d.bmp"
                                                  << "OUTPUT";
    QTest::newRow("sweep with ten digits") << "--sweep mass-one=1:2:1 f%010d.bmp" << "OUTPUT";
    QTest::newRow("sweep with a width not zero-padded") << "--sweep mass-one=1:2:1 f%5d.bmp"
                                                        << "OUTPUT";
    QTest::newRow("plot without sweep")
        << "--plot p.png a.bmp"
        << "--plot: draws the frames of a sweep, so it needs --sweep";
    QTest::newRow("plot not png") << "--sweep mass-one=1:2:1 --plot p.bmp f%d.bmp" << "--plot";
    QTest::newRow("bad sweep before a good one")
        << "--sweep mass-one=0:2:1 --sweep mass-one=1:2:1 f%d.bmp"
        << "'mass-one=0:2:1'";
    QTest::newRow("bad plot before a good one")
        << "--sweep mass-one=1:2:1 --plot p.bmp --plot p.png f%d.bmp"
        << "'p.bmp'";
    QTest::newRow("uncertainty zero") << "--uncertainty 0 --stats a.json a.bmp" << "--uncertainty";
    QTest::newRow("sample past the most") << "--sample 100000001 -" << "--sample";
    QTest::newRow("seed a fraction") << "--seed 1.5 --sample 10 -" << "--seed";
    QTest::newRow("uncertainty without statistics") << "--uncertainty 10 a.bmp" << "--uncertainty";
    QTest::newRow("no picture without sample") << "--uncertainty 10 --stats a.json -" << "OUTPUT";
    QTest::newRow("plot measure without plot") << "--plot-measure entropy a.bmp"
                                               << "--plot-measure";
    QTest::newRow("dimension without uncertainty")
        << "--sweep mass-one=1:2:1 --plot p.png --plot-measure dimension f%d.bmp"
        << "--plot-measure";
    QTest::newRow("shard without sweep") << "--shard 1/2 a.bmp" << "--shard";
    QTest::newRow("shard past its count") << "--sweep mass-one=1:9:1 --shard 3/2 f%d.bmp"
                                          << "'3/2'";
    QTest::newRow("shard zero") << "--sweep mass-one=1:9:1 --shard 0/2 f%d.bmp" << "'0/2'";
    QTest::newRow("shard malformed") << "--sweep mass-one=1:9:1 --shard 1-2 f%d.bmp" << "'1-2'";
    QTest::newRow("shard with a plot") << "--sweep mass-one=1:9:1 --plot p.png --shard 1/2 f%d.bmp"
                                       << "--shard";
    QTest::newRow("merge with another option") << "--merge-stats --threads 2 a.csv b.csv"
                                               << "--threads";
    QTest::newRow("merge without parts") << "--merge-stats a.csv" << "--merge-stats";
    QTest::newRow("merge into a picture") << "--merge-stats a.png b.csv" << "--merge-stats";
    QTest::newRow("merge of a pipe")
        << "--merge-stats a.csv " + pipes_.filePath(QStringLiteral("pipe.json")) << "it is a pipe";
    QTest::newRow("merge of a device") << "--merge-stats a.csv /dev/null"
                                       << "'/dev/null': it is a device";
}

void BadInputTest::rejects()
{
    QFETCH(QString, line);
    QFETCH(QString, named);

    const PipeWatch watch(QFile::encodeName(pipes_.filePath(QStringLiteral("pipe.json"))));
    RenderCommandLine commandLine;
    const RenderCommandLine::Result result = commandLine.parse(::commandLine(line));
    const bool merge = result == RenderCommandLine::Result::merge;
    if (!merge) {
        QCOMPARE(result, RenderCommandLine::Result::error);
        QVERIFY2(commandLine.errorText().contains(named), qPrintable(commandLine.errorText()));
        QVERIFY(!commandLine.errorText().contains(QLatin1Char('\n')));
    }

    // The program: that one line on standard error, exit status 2, no file.
    const QTemporaryDir folder;
    const auto outcome = runToolIn(folder.path(), line);
    QVERIFY2(!watch.opened(), "the pipe was opened");
    QCOMPARE(outcome.exitCode, 2);
    if (merge)
        QVERIFY2(outcome.err.count('\n') == 1 && outcome.err.contains(named.toUtf8()),
                 outcome.err.constData());
    else
        QCOMPARE(outcome.err, "velmora-render: " + commandLine.errorText().toUtf8() + '\n');
    QCOMPARE(outcome.out, QByteArray());
    QVERIFY(QDir(folder.path()).isEmpty());
}

void BadInputTest::picture()
{
    rejects();
}

void BadInputTest::views()
{
    rejects();
}

void BadInputTest::parameters()
{
    rejects();
}

void BadInputTest::repeated()
{
    rejects();
}

void BadInputTest::series()
{
    rejects();
}

QTEST_GUILESS_MAIN(BadInputTest)
#include "tst_badinput.moc"
