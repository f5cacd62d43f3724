#include "wholenumber.h"

#include <QRegularExpression>

bool readWhole(const QString &text, qint64 min, qint64 max, qint64 &value)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,18}\\z"));
    if (!digits.match(text).hasMatch())
        return false;
    const qint64 read = text.toLongLong();
    if (read < min || read > max)
        return false;
    value = read;
    return true;
}
