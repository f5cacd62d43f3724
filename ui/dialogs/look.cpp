#include "look.h"

#include "icon.h"

#include "sim/run.h"

#include <QWidget>

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
