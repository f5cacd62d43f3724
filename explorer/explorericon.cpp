#include "explorericon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QImage explorerIconImage(int size)
{
    const double k = size / 32.0;
    const QColor red(230, 20, 20);
    const QColor blue(20, 40, 230);
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(k, k);

    QPainterPath tile;
    tile.addRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    painter.setClipPath(tile);
    painter.fillRect(QRectF(0, 0, 32, 32), blue);
    // Rings of alternating basins, the red ones around mass one at the left.
    painter.setPen(Qt::NoPen);
    for (int ring = 6; ring >= 1; --ring) {
        painter.setBrush(ring % 2 ? red : blue);
        painter.drawEllipse(QPointF(11 - ring * 0.6, 13), ring * 3.4, ring * 3.0);
    }
    painter.setBrush(red);
    painter.drawEllipse(QPointF(11, 13), 2.6, 2.6);
    painter.setBrush(blue);
    painter.drawEllipse(QPointF(19, 13), 2.6, 2.6);
    painter.setClipping(false);

    // The magnifying glass.
    painter.setBrush(QColor(255, 255, 255, 70));
    painter.setPen(QPen(Qt::white, 2.6));
    painter.drawEllipse(QPointF(19, 19), 6.5, 6.5);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(24, 24), QPointF(29, 29));
    return icon;
}

QIcon explorerIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 64, 128})
        icon.addPixmap(QPixmap::fromImage(explorerIconImage(size)));
    return icon;
}
