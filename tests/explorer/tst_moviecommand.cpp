#include "explorer/explorerwindow.h"
#include "explorer/moviecommand.h"
#include "explorer/viewwidget.h"
#include "tests/common/explorertest.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// File > Record Zoom Movie against velmora-render --zoom of the same two places.

class MovieCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void framesEqualRenderer_data();
    void framesEqualRenderer();
};

namespace {

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeView(const QString &path, const Place &place)
{
    QFile file(path);
    const QByteArray text = viewfile::write(place);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

void MovieCommandTest::framesEqualRenderer_data()
{
    QTest::addColumn<bool>("zoomIn");
    QTest::addColumn<bool>("shade");
    QTest::newRow("in") << true << false;
    QTest::newRow("out, shaded") << false << true;
}

void MovieCommandTest::framesEqualRenderer()
{
    QFETCH(bool, zoomIn);
    QFETCH(bool, shade);
    QTemporaryDir dir;
    ExplorerWindow window;
    QVERIFY(explorertest::show(window, QSize(360, 260)));
    Place place = window.home();
    place.scene.shade = shade;
    place.scene.trajectory.movingMass = 70;
    for (int i = 0; i < 7; ++i)
        place.view = place.view.zoomed(QPointF(40.5, 30.25), 1 / ViewWidget::zoomStep);
    QVERIFY(window.go(place));

    MovieRequest request;
    request.zoomIn = zoomIn;
    request.frames = 5;
    request.size = window.place().view.size;
    request.output = dir.filePath(QStringLiteral("mine%d.png"));
    Recording recording;
    QString problem;
    QVERIFY2(window.movie().recording(request, recording, &problem), qPrintable(problem));
    MovieRecorder &recorder = window.movie().recorder();
    bool done = false;
    QString reason = QStringLiteral("not finished");
    connect(&recorder, &MovieRecorder::finished, this, [&](bool ok, const QString &why) {
        done = ok;
        reason = why;
    });
    QVERIFY(recorder.start(recording));
    QTRY_VERIFY2_WITH_TIMEOUT(done, qPrintable(reason), 60000);

    const QString here = dir.filePath(QStringLiteral("here.json"));
    const QString home = dir.filePath(QStringLiteral("home.json"));
    QVERIFY(writeView(here, window.place()));
    QVERIFY(writeView(home, {window.home().view, window.place().scene}));
    QProcess render;
    render.start(QStringLiteral(VELMORA_RENDER_PATH),
                 {QStringLiteral("--zoom"), zoomIn ? home : here, zoomIn ? here : home,
                  QStringLiteral("--frames"), QStringLiteral("5"),
                  dir.filePath(QStringLiteral("theirs%d.png"))});
    QVERIFY(render.waitForFinished(120000));
    QCOMPARE(render.exitCode(), 0);
    for (int k = 0; k < 5; ++k) {
        const QByteArray theirs = fileContents(dir.filePath(QStringLiteral("theirs%1.png").arg(k)));
        QVERIFY(!theirs.isEmpty());
        QVERIFY2(fileContents(dir.filePath(QStringLiteral("mine%1.png").arg(k))) == theirs,
                 qPrintable(QStringLiteral("frame %1").arg(k)));
    }
}

QTEST_MAIN(MovieCommandTest)
#include "tst_moviecommand.moc"
