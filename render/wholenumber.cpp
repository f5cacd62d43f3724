#include "wholenumber.h"

#include <QRegularExpression>
#include <QStringList>

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

bool readWholePair(const QString &text, QChar separator, qint64 maxFirst, qint64 maxSecond,
                   qint64 min, qint64 &first, qint64 &second)
{
    const QStringList parts = text.split(separator);
    return parts.size() == 2 && readWhole(parts[0], min, maxFirst, first) &&
           readWhole(parts[1], min, maxSecond, second);
}
