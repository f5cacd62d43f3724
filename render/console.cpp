#include "console.h"

#include <cstdio>

void printError(const QString &text)
{
    std::fprintf(stderr, "velmora-render: %s\n", qUtf8Printable(text));
}

bool printOut(const QByteArray &text)
{
    return std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout) ==
               std::size_t(text.size()) &&
           std::fflush(stdout) == 0;
}
