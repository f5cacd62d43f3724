#include "look.h"

#include "icon.h"

#include "sim/run.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

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

bool isOpen(const QWidget *window)
{
    return window && window->isVisible();
}

void centreOver(QWidget *window, const QWidget *over)
{
    QRect placed(QPoint(), window->size());
    placed.moveCenter(over->frameGeometry().center());
    const QRect screen = over->screen()->availableGeometry();
    placed.moveLeft(
        std::max(screen.left(), std::min(placed.left(), screen.right() - placed.width() + 1)));
    placed.moveTop(
        std::max(screen.top(), std::min(placed.top(), screen.bottom() - placed.height() + 1)));
    window->move(placed.topLeft());
}

void bringUp(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
