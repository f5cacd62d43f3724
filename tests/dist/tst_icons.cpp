#include "ui/dialogs/icon.h"

#include <QTest>

namespace {

QImage installedIcon(int size)
{
    return QImage(QStringLiteral(VELMORA_ICON_DIR "/%1x%1/apps/" VELMORA_APP_ID ".png").arg(size))
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class IconsTest : public QObject
{
    Q_OBJECT

private slots:
    void smallestIsTheWindowIcon()
    {
        const QImage window =
            velmoraIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(window.size(), QSize(32, 32));
        QCOMPARE(installedIcon(32), window);
    }

    void everySizeIsTheSamePattern_data()
    {
        QTest::addColumn<int>("size");
        for (const QString &size : QStringLiteral(VELMORA_ICON_SIZES).split(QLatin1Char(',')))
            QTest::addRow("%s", qPrintable(size)) << size.toInt();
    }

    void everySizeIsTheSamePattern()
    {
        QFETCH(int, size);
        const QImage icon = installedIcon(size);
        QCOMPARE(icon.size(), QSize(size, size));
        QCOMPARE(icon, icon.mirrored(true, false));
        QCOMPARE(icon, icon.mirrored(false, true));

        // The window icon has sharp edges in the three colours only; a larger icon has smooth
        // edges of blended pixels. Almost every pixel is the colour of the window icon's pixel
        // at the same place; the rest lie on an edge.
        const QImage window = installedIcon(32);
        const QList<QRgb> colours{qRgba(0, 0, 0, 0), qRgb(0, 0, 200), qRgb(150, 0, 200),
                                  qRgb(0, 170, 0)};
        int same = 0;
        int blended = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = icon.pixel(x, y);
                blended += colours.contains(pixel) ? 0 : 1;
                same += pixel == window.pixel(x * 32 / size, y * 32 / size) ? 1 : 0;
            }
        }
        QVERIFY2(same >= size * size * 4 / 5, qPrintable(QString::number(same)));
        if (size == 32)
            QCOMPARE(blended, 0);
        else
            QVERIFY2(blended >= size, qPrintable(QString::number(blended)));
        // Drawn at its size, not the window icon blown up.
        if (size > 32)
            QVERIFY(icon != window.scaled(size, size));
    }
};

QTEST_MAIN(IconsTest)
#include "tst_icons.moc"
