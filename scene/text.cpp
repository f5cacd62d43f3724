#include "text.h"

#include <QStringList>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

/// The digits at the start of text, up to maxDigits of them: how many there are (0 when text
/// does not start with one, or has more) and their value.
int leadingDigits(QStringView text, int maxDigits, std::uint64_t &value)
{
    int n = 0;
    value = 0;
    while (n < text.size() && isDigit(text[n])) {
        if (++n > maxDigits)
            return 0;
        value = value * 10 + std::uint64_t(text[n - 1].unicode() - '0');
    }
    return n;
}

} // namespace

bool readWhole(QStringView text, qint64 min, qint64 max, qint64 &value)
{
    std::uint64_t read = 0;
    if (text.isEmpty() || leadingDigits(text, 18, read) != text.size())
        return false;
    if (qint64(read) < min || qint64(read) > max)
        return false;
    value = qint64(read);
    return true;
}

bool readWholePair(QStringView text, QChar separator, qint64 maxFirst, qint64 maxSecond,
                   qint64 min, qint64 &first, qint64 &second)
{
    const qsizetype at = text.indexOf(separator);
    if (at < 0 || text.indexOf(separator, at + 1) >= 0)
        return false;
    qint64 a = 0;
    qint64 b = 0;
    if (!readWhole(text.left(at), min, maxFirst, a) ||
        !readWhole(text.mid(at + 1), min, maxSecond, b)) {
        return false;
    }
    first = a;
    second = b;
    return true;
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

bool readSize(QStringView text, int min, QSize max, QSize &size)
{
    qint64 w = 0;
    qint64 h = 0;
    if (!readWholePair(text, QLatin1Char('x'), max.width(), max.height(), min, w, h))
        return false;
    size = QSize(int(w), int(h));
    return true;
}

QString colourText(std::int32_t colour)
{
    return QStringLiteral("#%1%2%3")
        .arg(colour & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

bool readColour(QStringView text, std::int32_t &colour)
{
    if (text.size() != 7 || text[0] != QLatin1Char('#'))
        return false;
    std::int32_t rgb = 0;
    for (qsizetype i = 1; i < 7; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0)
            return false;
        rgb = rgb * 16 + digit;
    }
    colour = ((rgb >> 16) & 0xFF) + 256 * ((rgb >> 8) & 0xFF) + 65536 * (rgb & 0xFF);
    return true;
}

QString stepsText(std::uint64_t steps)
{
    int exponent = 0;
    std::uint64_t mantissa = steps;
    while (mantissa >= 10 && mantissa % 10 == 0) {
        mantissa /= 10;
        ++exponent;
    }
    return exponent >= 6 ? QStringLiteral("%1e%2").arg(mantissa).arg(exponent)
                         : QString::number(steps);
}

bool readSteps(QStringView text, std::uint64_t max, std::uint64_t &steps)
{
    std::uint64_t value = 0;
    const int digits = leadingDigits(text, 15, value);
    if (digits == 0)
        return false;
    QStringView rest = text.mid(digits);
    if (!rest.isEmpty()) {
        std::uint64_t exponent = 0;
        if (rest[0] != QLatin1Char('e') && rest[0] != QLatin1Char('E'))
            return false;
        rest = rest.mid(1);
        if (rest.isEmpty() || leadingDigits(rest, 2, exponent) != rest.size())
            return false;
        for (std::uint64_t i = 0; i < exponent && value <= max; ++i)
            value *= 10;
    }
    if (value < 1 || value > max)
        return false;
    steps = value;
    return true;
}

QString viewText(const View &view)
{
    return QString::fromStdString(shortestText(view.x) + ',' + shortestText(view.y) + ',' +
                                  shortestText(view.spacing));
}

bool readView(QStringView text, QSize size, View &view, QString &accepts)
{
    const QList<QStringView> parts = text.split(QLatin1Char(','));
    View v;
    v.width = size.width();
    v.height = size.height();
    if (parts.size() != 3 || !readReal(parts[0].toString().toStdString(), v.x) ||
        !readReal(parts[1].toString().toStdString(), v.y) ||
        !readReal(parts[2].toString().toStdString(), v.spacing) || !(v.spacing > 0)) {
        accepts = QStringLiteral("X,Y,S: three real numbers, S above 0");
        return false;
    }
    if (!acceptView(v, accepts))
        return false;
    view = v;
    return true;
}

bool acceptView(const View &v, QString &accepts)
{
    switch (checkView(v)) {
    case ViewFault::none:
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
