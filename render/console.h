#pragma once

#include <QByteArray>
#include <QString>

/// What velmora-render says: its messages on standard error, its results on standard output.

/// Prints "velmora-render: " and text as one line on standard error, line breaks written as \n.
void printError(const QString &text);

/// Writes text, a line or more, to standard error as it is.
void printNote(const QByteArray &text);

/// Writes text to standard output; false, with errno set, when it did not all get there.
bool printOut(const QByteArray &text);
