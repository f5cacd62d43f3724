#include "engine/engine.h"
#include "engine/statistics.h"
#include "picture/surface.h"
#include "scene/painter.h"
#include "scene/statisticsfile.h"
#include "tests/common/rendertool.h"

#include <QTest>

// Pictures computed in bands of rows, and in tiles merged afterwards, against the whole picture.
class PostersTest : public ToolFolderTest
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(makeFolder()); }
    void bandsGiveTheWholePicture_data();
    void bandsGiveTheWholePicture();
    void tilesMergeIntoTheSingleRun_data();
    void tilesMergeIntoTheSingleRun();
    void mergeRefusesPartsThatDoNotMakeThePicture_data();
    void mergeRefusesPartsThatDoNotMakeThePicture();
    void bandsFitWhereTheWholePictureDoesNot();
    void shadingWithoutItsScratchFileWritesNothing();
};

namespace {

const QString view = QStringLiteral("--view 509.3,347.1,0.25 --size 41x23");

} // namespace

void PostersTest::bandsGiveTheWholePicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("shade");
    QTest::addColumn<QString>("statistics");
    QTest::newRow("png") << "p.png" << false << "";
    QTest::newRow("shaded png, statistics") << "s.png" << true << "s.json";
    QTest::newRow("shaded bitmap, statistics") << "s.bmp" << true << "s.csv";
}

void PostersTest::bandsGiveTheWholePicture()
{
    QFETCH(QString, name);
    QFETCH(bool, shade);
    QFETCH(QString, statistics);
    QString line = view + " --band-rows 4 --threads 2 @/" + name;
    if (shade)
        line += " --shade";
    if (!statistics.isEmpty())
        line += " --stats @/" + statistics;
    QCOMPARE(runTool(arguments(line)).exitCode, 0);

    // The whole picture at once, through Qt's image writer.
    View v;
    v.x = 509.3;
    v.y = 347.1;
    v.spacing = 0.25;
    v.width = 41;
    v.height = 23;
    Engine engine(TrajectoryParameters::defaults({1024, 700}));
    PointMaps maps;
    QVERIFY(engine.computeView(v, maps));
    Scene scene;
    scene.shade = shade;
    const QString whole = dir_->filePath("whole." + name.section('.', 1));
    QVERIFY(writeImageFile(paintView(maps, scene), whole, name.endsWith(".bmp") ? "BMP" : "PNG"));
    QCOMPARE(fileBytes(dir_->filePath(name)), fileBytes(whole));
    if (statistics.isEmpty())
        return;
    const Statistics s =
        basinStatistics(41, 23, maps.outcomes.data(), maps.steps.data(), defaultEntropyBox, 2);
    const StatisticsFormat format = *statisticsFormat(statistics);
    QCOMPARE(fileBytes(dir_->filePath(statistics)),
             statisticsText({{{}, s}}, format, false, 2, false));
}

void PostersTest::tilesMergeIntoTheSingleRun_data()
{
    QTest::addColumn<QString>("output");
    QTest::newRow("png") << "merged.png";
    QTest::newRow("bitmap") << "merged.bmp";
}

void PostersTest::tilesMergeIntoTheSingleRun()
{
    QFETCH(QString, output);
    const QString single = "single." + output.section('.', 1);
    QCOMPARE(runTool(arguments(view + " --wada --stats @/single.json @/" + single)).exitCode, 0);
    for (const char *tile : {"1/3", "2/3", "3/3"}) {
        const QString part = QStringLiteral(" @/stats%1.json @/part%1.png").arg(tile[0]);
        QCOMPARE(
            runTool(arguments(view + " --wada --band-rows 2 --tile " + tile + " --stats" + part))
                .exitCode,
            0);
    }
    const Outcome merged =
        runTool(arguments("--merge-picture @/" + output + " @/part3.png @/part1.png @/part2.png"));
    QCOMPARE(merged.exitCode, 0);
    QCOMPARE(fileBytes(dir_->filePath(output)), fileBytes(dir_->filePath(single)));
    QCOMPARE(runTool(arguments("--merge-stats @/merged.json @/stats2.json @/stats1.json "
                               "@/stats3.json"))
                 .exitCode,
             0);
    QCOMPARE(fileBytes(dir_->filePath("merged.json")), fileBytes(dir_->filePath("single.json")));
}

void PostersTest::mergeRefusesPartsThatDoNotMakeThePicture_data()
{
    QTest::addColumn<QString>("parts");
    QTest::addColumn<QByteArray>("why");
    QTest::newRow("gap") << "@/a1.png @/a3.png" << QByteArray("rows 7 to 14 are in no part");
    QTest::newRow("overlap") << "@/a1.png @/a2.png @/a2.png @/a3.png"
                             << QByteArray("both hold row 7");
    QTest::newRow("another picture's part")
        << "@/a1.png @/b2.png @/a3.png" << QByteArray("is a part of another picture");
    QTest::newRow("not a part") << "@/a1.png @/plain.png @/a3.png"
                                << QByteArray("is not a part written with --tile");
    QTest::newRow("a part cut short")
        << "@/a1.png @/cut.png @/a3.png" << QByteArray("cannot read '");
}

void PostersTest::mergeRefusesPartsThatDoNotMakeThePicture()
{
    QFETCH(QString, parts);
    QFETCH(QByteArray, why);
    for (const char *tile : {"1", "2", "3"})
        QCOMPARE(
            runTool(arguments(view + QStringLiteral(" --tile %1/3 @/a%1.png").arg(tile))).exitCode,
            0);
    QCOMPARE(runTool(arguments("--view 509.3,347.1,0.5 --size 41x23 --tile 2/3 @/b2.png")).exitCode,
             0);
    QCOMPARE(runTool(arguments(view + " @/plain.png")).exitCode, 0);
    QFile cut(dir_->filePath("cut.png"));
    const QByteArray part = fileBytes(dir_->filePath("a2.png"));
    QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write(part.left(part.size() - 40)) > 0);
    cut.close();
    const Outcome refused = runTool(arguments("--merge-picture @/out.png " + parts));
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.contains(why) && refused.err.endsWith("; nothing written.\n"),
             refused.err.constData());
    QVERIFY(!QFile::exists(dir_->filePath("out.png")));
}

void PostersTest::bandsFitWhereTheWholePictureDoesNot()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer needs more address space than any limit here leaves");
#endif
    // A shaded 4096 x 4096 picture needs about 210 MB whole: 8 bytes of steps a start point
    // beside the image; in bands, a tenth of that. 128 MiB more than the renderer needs to start.
    const QString picture = "--view 100000,100000,1 --size 4096x4096 --step-limit 1 --shade "
                            "--threads 2 ";
    const qint64 smallest = smallestAddressSpace();
    QVERIFY(smallest > 0);
    const QString limit = QStringLiteral("ulimit -v %1").arg(smallest + 131072);
    const Outcome whole =
        runTool(arguments(picture + "--sweep mass-one=10:10:1 @/whole%d.png"), limit);
    QCOMPARE(whole.exitCode, 1);
    QVERIFY2(whole.err.contains("not enough memory"), whole.err.constData());
    const Outcome banded = runTool(arguments(picture + "@/banded.png"), limit);
    QCOMPARE(banded.exitCode, 0);
    QVERIFY(QFile::exists(dir_->filePath("banded.png")));
}

void PostersTest::shadingWithoutItsScratchFileWritesNothing()
{
    // A temporary folder that is a file.
    const QString notFolder = dir_->filePath("file");
    QVERIFY(QFile(notFolder).open(QIODevice::WriteOnly));
    const Outcome outcome =
        runTool(arguments(view + " --shade @/shaded.png"), "export TMPDIR=" + notFolder);
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY2(outcome.err.contains("cannot keep the steps in a scratch file"),
             outcome.err.constData());
    QCOMPARE(entries(dir_->path()), QStringList{"file"});
}

QTEST_GUILESS_MAIN(PostersTest)
#include "tst_posters.moc"
