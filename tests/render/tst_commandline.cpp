#include "render/commandline.h"

#include <QTest>

Q_DECLARE_METATYPE(RenderParameters)
Q_DECLARE_METATYPE(Kernel)

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
    void helpListsEveryOption();
    void environmentChoosesAuto_data();
    void environmentChoosesAuto();
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

    p = RenderParameters::defaults({1024, 700});
    p.stepLimit = sim::stepLimit;
    QTest::newRow("step limit in digits")
        << "--step-limit 100000000000000 out.bmp" << p << QByteArray("BMP");

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
    QCOMPARE(p.kernel, expected.kernel);
    QCOMPARE(QByteArray(commandLine.format()), format);
}

void CommandLineTest::helpListsEveryOption()
{
    RenderCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments(QStringLiteral("--help"))),
             RenderCommandLine::Result::help);
    const QString help = commandLine.helpText();
    for (const char *name : {"client", "picture", "one", "two", "mass-one", "mass-two",
                             "mass-moving", "radius-one", "radius-two", "color-one", "color-two",
                             "background", "step-limit", "threads", "kernel"}) {
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
