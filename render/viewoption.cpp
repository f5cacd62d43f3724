#include "viewoption.h"

#include <QStringList>

bool readViewOption(const QString &text, QSize size, View &view, QString &accepts)
{
    const QStringList parts = text.split(QLatin1Char(','));
    View v;
    v.width = size.width();
    v.height = size.height();
    if (parts.size() != 3 || !readReal(parts[0].toStdString(), v.x) ||
        !readReal(parts[1].toStdString(), v.y) || !readReal(parts[2].toStdString(), v.spacing) ||
        !(v.spacing > 0)) {
        accepts = QStringLiteral("X,Y,S: three real numbers, S above 0");
        return false;
    }
    switch (checkView(v)) {
    case ViewFault::none:
        view = v;
        return true;
    case ViewFault::tooFine:
        accepts = QStringLiteral("a spacing S of at least %1, the finest at X = %2 for %3 "
                                 "columns")
                      .arg(QString::fromStdString(shortestText(finestSpacing(v.x, v.width))),
                           QString::fromStdString(shortestText(v.x)))
                      .arg(v.width);
        return false;
    default:
        accepts = QStringLiteral("X,Y,S with every start point within -%1 to %1")
                      .arg(QString::fromStdString(shortestText(maxViewCoordinate)));
        return false;
    }
}

QString viewText(const View &view)
{
    return QString::fromStdString(shortestText(view.x) + ',' + shortestText(view.y) + ',' +
                                  shortestText(view.spacing));
}
