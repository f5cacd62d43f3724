#include "console.h"

#include <cstdio>

void printError(const QString &text)
{
    // A value or file name given with a line break still makes one line.
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
    std::fprintf(stderr, "velmora-render: %s\n", qUtf8Printable(line));
}

bool printOut(const QByteArray &text)
{
    return std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout) ==
               std::size_t(text.size()) &&
           std::fflush(stdout) == 0;
}

void printNote(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
}
