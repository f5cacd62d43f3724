#include "ui/dialogs/icon.h"

#include <QTest>

namespace {

QImage installedIcon(int size)
{
    return QImage(QStringLiteral(VELMORA_ICON_DIR "/%1x%1/apps/" VELMORA_APP_ID ".png").arg(size))
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestIcons : public QObject
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

        // Sharp edges in the three colours only, and almost every pixel the colour of the
        // window icon's pixel at the same place; the rest lie on an edge.
        const QImage window = installedIcon(32);
        const QList<QRgb> colours{qRgba(0, 0, 0, 0), qRgb(0, 0, 200), qRgb(150, 0, 200),
                                  qRgb(0, 170, 0)};
        int same = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = icon.pixel(x, y);
                QVERIFY2(colours.contains(pixel), qPrintable(QString::number(pixel, 16)));
                same += pixel == window.pixel(x * 32 / size, y * 32 / size) ? 1 : 0;
            }
        }
        QVERIFY2(same >= size * size * 4 / 5, qPrintable(QString::number(same)));
        // Drawn at its size, not the window icon blown up.
        if (size > 32)
            QVERIFY(icon != window.scaled(size, size));
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
