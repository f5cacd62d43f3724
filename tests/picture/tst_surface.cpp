#include "picture/surface.h"
#include "sim/pixels.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

class SurfaceTest : public QObject
{
    Q_OBJECT
private slots:
    void colourPacking_data();
    void colourPacking();
    void pixelRuleAndClipping();
    void circleOutline_data();
    void circleOutline();
    void clearAndBackground();
    void resizeKeepsTheDrawing();
    void bitmapRoundTrip();
    void failedWriteLeavesTheOldFile_data();
    void failedWriteLeavesTheOldFile();
};

void SurfaceTest::colourPacking_data()
{
    QTest::addColumn<int>("packed");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red") << 255 << QColor(255, 0, 0);
    QTest::newRow("blue") << 16711680 << QColor(0, 0, 255);
    QTest::newRow("mixed") << (1 + 256 * 2 + 65536 * 3) << QColor(1, 2, 3);
}

void SurfaceTest::colourPacking()
{
    QFETCH(int, packed);
    QFETCH(QColor, colour);
    QCOMPARE(QColor(toRgb(packed)), colour);
    QCOMPARE(fromRgb(colour.rgb()), packed);
}

void SurfaceTest::pixelRuleAndClipping()
{
    Surface surface(QSize(20, 10));
    surface.setPixel(3.5f, 4.0f, 255);
    surface.setPixel(-0.5f, 2, 255); // left of the surface: pixel -1, clipped
    surface.setPixel(19.99f, 9.99f, 16711680);
    surface.setPixel(20, 5, 255);
    QCOMPARE(surface.pixel(3, 4), 255);
    QCOMPARE(surface.pixel(4, 4), 0xFFFFFF);
    QCOMPARE(surface.pixel(0, 2), 0xFFFFFF);
    QCOMPARE(surface.pixel(19, 9), 16711680);
}

void SurfaceTest::circleOutline_data()
{
    QTest::addColumn<int>("radius");
    QTest::newRow("radius 1") << 1;
    QTest::newRow("radius 5") << 5;
    QTest::newRow("radius 300") << 300;
}

void SurfaceTest::circleOutline()
{
    QFETCH(int, radius);
    const std::vector<sim::Pixel> outline = sim::circleOutline(400, 400, float(radius));
    QSet<QPair<int, int>> pixels;
    for (const sim::Pixel &p : outline) {
        pixels.insert({p.x - 400, p.y - 400});
        const double distance = std::hypot(p.x - 400, p.y - 400);
        QVERIFY2(std::fabs(distance - radius) < 1.0, qPrintable(QString::number(distance)));
    }
    QCOMPARE(pixels.size(), qsizetype(outline.size())); // no pixel twice
    for (const auto &[x, y] : pixels) {                 // symmetric in both axes and the diagonal
        QVERIFY(pixels.contains({-x, y}));
        QVERIFY(pixels.contains({x, -y}));
        QVERIFY(pixels.contains({y, x}));
    }
    QVERIFY(pixels.contains({radius, 0}));
    QVERIFY(pixels.contains({0, -radius}));

    Surface surface(QSize(30, 30));
    surface.drawCircle(0, 0, 5, 255); // three quarters clipped away
    QCOMPARE(surface.pixel(5, 0), 255);
    QCOMPARE(surface.pixel(0, 5), 255);
    QCOMPARE(surface.pixel(0, 0), 0xFFFFFF);
}

void SurfaceTest::clearAndBackground()
{
    Surface surface(QSize(8, 8));
    surface.drawCircle(4, 4, 2, 255);
    surface.setBackground(0x00FF00);
    QCOMPARE(surface.pixel(6, 4), 0x00FF00);
    surface.setPixel(1, 1, 255);
    surface.clear();
    QCOMPARE(surface.pixel(1, 1), 0x00FF00);
}

void SurfaceTest::resizeKeepsTheDrawing()
{
    Surface surface(QSize(8, 8));
    surface.setPixel(7, 7, 255);
    surface.resize(QSize(16, 12));
    QCOMPARE(surface.size(), QSize(16, 12));
    QCOMPARE(surface.pixel(7, 7), 255);
    QCOMPARE(surface.pixel(15, 11), 0xFFFFFF);
}

void SurfaceTest::bitmapRoundTrip()
{
    QTemporaryDir dir;
    Surface surface(QSize(33, 17));
    surface.drawCircle(10, 8, 5, 255);
    surface.setPixel(30, 2, 16711680);
    const QString path = dir.filePath("picture.bmp");
    QVERIFY(writeImageFile(surface.image(), path, "BMP"));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(int(quint8(bytes[28])), 24); // bits per pixel
    // 96 dpi whatever the screen, so the same picture gives the same file on every machine.
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 38), 3780);
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 42), 3780);
    const QImage back(path, "BMP");
    QCOMPARE(back.size(), surface.size());
    QCOMPARE(back.convertToFormat(QImage::Format_RGB32), surface.image());
}

void SurfaceTest::failedWriteLeavesTheOldFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("readOnlyFile");
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("read-only file") << "old.bmp" << true << false;
    QTest::newRow("read-only folder and file") << "old.bmp" << true << true;
    QTest::newRow("missing folder") << "missing/new.bmp" << false << false;
    QTest::newRow("folder that is a file") << "old.bmp/new.bmp" << false << false;
}

void SurfaceTest::failedWriteLeavesTheOldFile()
{
    QFETCH(QString, target);
    QFETCH(bool, readOnlyFile);
    QFETCH(bool, readOnlyFolder);
    QTemporaryDir dir;
    const QString oldPath = dir.filePath("old.bmp");
    {
        QFile old(oldPath);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    const QFile::Permissions writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    if (readOnlyFile)
        QFile::setPermissions(oldPath, QFile::ReadOwner);
    if (readOnlyFolder)
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool written = writeImageFile(Surface(QSize(4, 4)).image(), dir.filePath(target), "BMP");
    QFile::setPermissions(dir.path(), writable);
    QVERIFY(!written);

    QFile old(oldPath);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old contents"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"old.bmp"});
}

QTEST_MAIN(SurfaceTest)
#include "tst_surface.moc"
