#pragma once

#include <QString>

/// Reads a whole decimal number without sign or blanks into value; false, leaving value as it
/// was, when text is anything else or the number lies outside [min, max].
bool readWhole(const QString &text, qint64 min, qint64 max, qint64 &value);
