#include "look.h"

#include "sim/run.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

QImage makeIcon()
{
    const QColor blue(0, 0, 200);
    const QColor violet(150, 0, 200);
    const QColor green(0, 170, 0);

    // One quarter is drawn and mirrored into the other three, so the pattern is exactly
    // symmetric about both middle lines.
    QImage quarter(16, 16, QImage::Format_ARGB32);
    quarter.fill(Qt::transparent);
    {
        QPainter painter(&quarter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(blue);
        painter.drawEllipse(QPointF(16, 16), 16, 16);
        painter.setBrush(violet);
        painter.drawPolygon(QPolygonF({{16, 3}, {3, 16}, {16, 16}}));
        painter.setBrush(green);
        painter.drawEllipse(QPointF(16, 16), 5, 5);
        painter.drawEllipse(QPointF(6, 6), 3.5, 3.5);
    }

    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage(0, 0, quarter);
    painter.drawImage(16, 0, quarter.mirrored(true, false));
    painter.drawImage(0, 16, quarter.mirrored(false, true));
    painter.drawImage(16, 16, quarter.mirrored(true, true));
    return icon;
}

} // namespace

QIcon velmoraIcon()
{
    static const QImage image = makeIcon();
    return QIcon(QPixmap::fromImage(image));
}

QString programTitle()
{
    return QString::fromUtf8(sim::programTitle.data(), qsizetype(sim::programTitle.size()));
}

QString windowCaption()
{
    return QStringLiteral("  ") + programTitle();
}

void dressWindow(QWidget *window)
{
    window->setWindowTitle(windowCaption());
    window->setWindowIcon(velmoraIcon());
}

QFont arial(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
