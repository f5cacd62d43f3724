#include "icon.h"

#include <QPainter>
#include <QPixmap>

QImage velmoraIconImage(int size)
{
    Q_ASSERT(size >= 2 && size % 2 == 0);
    const QColor blue(0, 0, 200);
    const QColor violet(150, 0, 200);
    const QColor green(0, 170, 0);
    // The drawing is laid out on a 32-pixel grid; other sizes scale its coordinates, not its
    // pixels. The 32-pixel window icon has hard edges in its three colours; the larger sizes a
    // desktop's launcher shows have smooth ones.
    const double k = size / 32.0;
    const int half = size / 2;

    // One quarter is drawn and mirrored into the other three, so the pattern is exactly
    // symmetric about both middle lines.
    QImage quarter(half, half, QImage::Format_ARGB32);
    quarter.fill(Qt::transparent);
    {
        QPainter painter(&quarter);
        painter.setRenderHint(QPainter::Antialiasing, size > 32);
        painter.setPen(Qt::NoPen);
        painter.setBrush(blue);
        painter.drawEllipse(QPointF(16 * k, 16 * k), 16 * k, 16 * k);
        painter.setBrush(violet);
        painter.drawPolygon(QPolygonF({{16 * k, 3 * k}, {3 * k, 16 * k}, {16 * k, 16 * k}}));
        painter.setBrush(green);
        painter.drawEllipse(QPointF(16 * k, 16 * k), 5 * k, 5 * k);
        painter.drawEllipse(QPointF(6 * k, 6 * k), 3.5 * k, 3.5 * k);
    }

    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage(0, 0, quarter);
    painter.drawImage(half, 0, quarter.mirrored(true, false));
    painter.drawImage(0, half, quarter.mirrored(false, true));
    painter.drawImage(half, half, quarter.mirrored(true, true));
    return icon;
}

QIcon velmoraIcon()
{
    static const QImage image = velmoraIconImage(32);
    return QIcon(QPixmap::fromImage(image));
}
