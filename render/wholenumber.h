#pragma once

#include <QString>

/// Reads a whole decimal number without sign or blanks into value; false, leaving value as it
/// was, when text is anything else or the number lies outside [min, max].
bool readWhole(const QString &text, qint64 min, qint64 max, qint64 &value);

/// Reads two whole numbers split by separator, as readWhole reads each: the first from min to
/// maxFirst, the second from min to maxSecond.
bool readWholePair(const QString &text, QChar separator, qint64 maxFirst, qint64 maxSecond,
                   qint64 min, qint64 &first, qint64 &second);
