#include "explorer/picturesaver.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

/// What Save Picture finds out before it computes.
class SavingTest : public QObject
{
    Q_OBJECT

private slots:
    void unwritableFoundFirst();
};

void SavingTest::unwritableFoundFirst()
{
    QTemporaryDir dir;
    Place place;
    place.view = Viewport{480, 330, 0.25, QSize(200, 150)};
    PictureSaver saver;
    QSignalSpy finished(&saver, &PictureSaver::finished);
    QVERIFY(saver.start(place, dir.filePath(QStringLiteral("missing/a.png"))));
    QVERIFY2(finished.wait(60000), "the save never ended");
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    const QString reason = finished.at(0).at(1).toString();
    QVERIFY2(reason.contains(QStringLiteral("No such file")), qPrintable(reason));
    // Refused before the work: not a start point computed.
    QCOMPARE(saver.pointsDone(), std::int64_t(0));
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(SavingTest)
#include "tst_saving.moc"
