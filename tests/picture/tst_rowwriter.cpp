#include "picture/rowwriter.h"
#include "picture/surface.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// Pictures written a row at a time against Qt's writer of the whole image, and read back so.
class RowWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void writesWhatQtWrites_data();
    void writesWhatQtWrites();
    void readsTheRowsAndTextsBack();
    void readingRefusesWhatIsNoPartOfAPng();

private:
    QByteArray bytes(const QString &name) const
    {
        QFile file(dir_.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool writeRows(const QImage &image, const QString &name, const char *format,
                   const PngTexts &texts = {})
    {
        return writeRowsSafely(
            dir_.filePath(name), format, image.size(), texts, [&](RowWriter &writer) {
                for (int j = 0; j < image.height(); ++j)
                    if (!writer.writeRow(reinterpret_cast<const QRgb *>(image.scanLine(j))))
                        return false;
                return true;
            });
    }

    QTemporaryDir dir_;
};

namespace {

/// A picture of few colours in runs, as basins are, or of noise, which compresses worst.
QImage picture(QSize size, bool noise)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int j = 0; j < size.height(); ++j)
        for (int i = 0; i < size.width(); ++i)
            image.setPixel(i, j,
                           noise ? random.generate() | 0xFF000000u
                                 : toRgb((i * i + j) % 7 < 3 ? 0xFF : 0xFF0000));
    return image;
}

} // namespace

void RowWriterTest::writesWhatQtWrites_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("noise");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png, one pixel") << QSize(1, 1) << false << QByteArray("PNG");
    QTest::newRow("png, runs") << QSize(301, 67) << false << QByteArray("PNG");
    QTest::newRow("png, noise") << QSize(700, 300) << true << QByteArray("PNG");
    QTest::newRow("bitmap, rows padded") << QSize(37, 5) << true << QByteArray("BMP");
    QTest::newRow("bitmap, one column") << QSize(1, 3) << false << QByteArray("BMP");
}

void RowWriterTest::writesWhatQtWrites()
{
    QFETCH(QSize, size);
    QFETCH(bool, noise);
    QFETCH(QByteArray, format);
    const QImage image = picture(size, noise);
    QVERIFY(writeImageFile(image, dir_.filePath("qt"), format.constData()));
    QVERIFY(writeRows(image, "rows", format.constData()));
    QCOMPARE(bytes("rows"), bytes("qt"));
}

void RowWriterTest::readsTheRowsAndTextsBack()
{
    const QImage image = picture(QSize(45, 9), true);
    QVERIFY(writeRows(image, "texts.png", "PNG", {{"first", "one"}, {"second", "two 2"}}));
    PngRowReader reader(dir_.filePath("texts.png"));
    QVERIFY2(reader.ok(), qPrintable(reader.error()));
    QCOMPARE(reader.size(), image.size());
    QCOMPARE(reader.text("second"), QByteArray("two 2"));
    QCOMPARE(reader.text("third"), QByteArray());
    std::vector<QRgb> row(45);
    for (int j = 0; j < image.height(); ++j) {
        QVERIFY(reader.readRow(row.data()));
        QVERIFY(std::equal(row.begin(), row.end(),
                           reinterpret_cast<const QRgb *>(image.constScanLine(j))));
    }
}

void RowWriterTest::readingRefusesWhatIsNoPartOfAPng()
{
    QVERIFY(writeRows(picture(QSize(300, 200), true), "whole.png", "PNG"));
    QFile cut(dir_.filePath("cut.png"));
    QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write(bytes("whole.png").left(4000)) == 4000);
    cut.close();
    PngRowReader truncated(cut.fileName());
    QVERIFY(truncated.ok());
    std::vector<QRgb> row(300);
    bool read = true;
    for (int j = 0; j < 200 && read; ++j)
        read = truncated.readRow(row.data());
    QVERIFY(!read && !truncated.error().isEmpty());
    QVERIFY(!PngRowReader(dir_.filePath("missing.png")).ok());
    QVERIFY(writeImageFile(picture(QSize(3, 3), false), dir_.filePath("a.bmp"), "BMP"));
    QVERIFY(!PngRowReader(dir_.filePath("a.bmp")).ok());
}

QTEST_GUILESS_MAIN(RowWriterTest)
#include "tst_rowwriter.moc"
