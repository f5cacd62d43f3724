#include "commandline.h"

#include <QRegularExpression>
#include <QThread>

namespace {

QCommandLineOption option(const char *name, const char *valueName, const QString &description)
{
    return QCommandLineOption(QString::fromLatin1(name), description,
                              QString::fromLatin1(valueName));
}

/// A whole decimal number within [min, max], without sign or blanks.
bool readWhole(const QString &text, qint64 min, qint64 max, qint64 &value)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,18}$"));
    if (!digits.match(text).hasMatch())
        return false;
    value = text.toLongLong();
    return value >= min && value <= max;
}

bool readPair(const QString &text, QChar separator, qint64 maxFirst, qint64 maxSecond, qint64 min,
              qint64 &first, qint64 &second)
{
    const QStringList parts = text.split(separator);
    return parts.size() == 2 && readWhole(parts[0], min, maxFirst, first) &&
           readWhole(parts[1], min, maxSecond, second);
}

/// #RRGGBB packed as red + 256 x green + 65536 x blue.
bool readColour(const QString &text, std::int32_t &colour)
{
    static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!hex.match(text).hasMatch())
        return false;
    const int rgb = text.mid(1).toInt(nullptr, 16);
    colour = ((rgb >> 16) & 0xFF) + 256 * ((rgb >> 8) & 0xFF) + 65536 * (rgb & 0xFF);
    return true;
}

/// A whole number of steps, in digits or as MeE (1e14).
bool readStepLimit(const QString &text, std::uint64_t &limit)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,15})(?:[eE]([0-9]{1,2}))?$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return false;
    std::uint64_t value = m.captured(1).toULongLong();
    const int exponent = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    for (int i = 0; i < exponent && value <= sim::stepLimit; ++i)
        value *= 10;
    if (value < 1 || value > sim::stepLimit)
        return false;
    limit = value;
    return true;
}

/// What --help says of --kernel: the kernel auto picks on this processor.
QString kernelHelp()
{
    Kernel picked = Kernel::automatic;
    automaticKernel(picked);
    return QStringLiteral("Step kernel: auto, scalar or avx2; every one gives the same picture "
                          "(default: auto, the fastest this processor has, or the one %1 names: "
                          "%2 here).")
        .arg(QLatin1String(kernelVariable), QLatin1String(kernelName(picked)));
}

} // namespace

RenderCommandLine::RenderCommandLine()
    : client_(option("client", "WxH",
                     QStringLiteral("Drawing surface size in pixels, each side "
                                    "2 to %1 (default: 1024x700).")
                         .arg(maxClientSize))),
      picture_(option("picture", "WxH",
                      QStringLiteral("Picture rectangle, centred in the surface; each side 2 to "
                                     "the surface's (default: 100x80)."))),
      one_(option("one", "X,Y",
                  QStringLiteral("Position of mass one, 0 to the surface size (default: 10 "
                                 "pixels left of the surface's centre)."))),
      two_(option("two", "X,Y",
                  QStringLiteral("Position of mass two, 0 to the surface size (default: 10 "
                                 "pixels right of the surface's centre)."))),
      massOne_(option("mass-one", "V",
                      QStringLiteral("Mass one, 1 to 32767; kilograms = V x 10000 (default: "
                                     "10)."))),
      massTwo_(option("mass-two", "V",
                      QStringLiteral("Mass two, 1 to 32767; kilograms = V x 10000 (default: "
                                     "10)."))),
      massMoving_(option("mass-moving", "V",
                         QStringLiteral("Moving mass, 1 to 32767; kilograms = V x 10000000 "
                                        "(default: 50)."))),
      radiusOne_(option("radius-one", "R",
                        QStringLiteral("Capture radius of mass one, 1 to 300 pixels (default: "
                                       "5)."))),
      radiusTwo_(option("radius-two", "R",
                        QStringLiteral("Capture radius of mass two, 1 to 300 pixels (default: "
                                       "5)."))),
      colorOne_(
          option("color-one", "#RRGGBB", QStringLiteral("Colour of mass one (default: #ff0000)."))),
      colorTwo_(
          option("color-two", "#RRGGBB", QStringLiteral("Colour of mass two (default: #0000ff)."))),
      background_(
          option("background", "#RRGGBB", QStringLiteral("Background colour (default: #ffffff)."))),
      stepLimit_(option("step-limit", "N",
                        QStringLiteral("Steps per start point before it stays unpainted, 1 to "
                                       "1e14, as digits or like 5e6 (default: 1e14)."))),
      threads_(option("threads", "N",
                      QStringLiteral("Worker threads, 1 to %1 (default: all cores, %2 here).")
                          .arg(maxThreads)
                          .arg(std::max(1, QThread::idealThreadCount())))),
      kernel_(option("kernel", "NAME", kernelHelp())),
      help_(QStringList{QStringLiteral("h"), QStringLiteral("help")},
            QStringLiteral("Show this help and exit.")),
      version_(QStringLiteral("version"), QStringLiteral("Show the version and exit."))
{
    parser_.setApplicationDescription(
        QStringLiteral("Computes the basin picture of a complete run and writes the whole "
                       "drawing surface to OUTPUT."));
    parser_.addOptions({client_, picture_, one_, two_, massOne_, massTwo_, massMoving_, radiusOne_,
                        radiusTwo_, colorOne_, colorTwo_, background_, stepLimit_, threads_,
                        kernel_, help_, version_});
    parser_.addPositionalArgument(
        QStringLiteral("OUTPUT"),
        QStringLiteral("The picture file: a 24-bit bitmap if it ends in .bmp, PNG if .png."));
}

RenderCommandLine::Result RenderCommandLine::parse(const QStringList &arguments)
{
    error_.clear();
    if (!parser_.parse(arguments)) {
        error_ = parser_.errorText() + QStringLiteral(" See --help for the options.");
        return Result::error;
    }
    if (parser_.isSet(help_))
        return Result::help;
    if (parser_.isSet(version_))
        return Result::version;
    return read() ? Result::render : Result::error;
}

bool RenderCommandLine::fail(const QCommandLineOption &option, const QString &accepts)
{
    error_ = QStringLiteral("--%1: expected %2, got '%3'.")
                 .arg(option.names().constLast(), accepts, parser_.value(option));
    return false;
}

bool RenderCommandLine::readKernel()
{
    Kernel &kernel = parameters_.kernel;
    if (parser_.isSet(kernel_) && !kernelFromName(parser_.value(kernel_).toStdString(), kernel))
        return fail(kernel_, QStringLiteral("auto, scalar or avx2"));
    if (!kernelAvailable(kernel))
        return fail(kernel_, QStringLiteral("auto or scalar, as this processor lacks AVX2"));
    Kernel picked = Kernel::automatic;
    if (kernel == Kernel::automatic && !automaticKernel(picked)) {
        error_ = QStringLiteral("%1: expected auto, scalar or avx2 where the processor has it, got "
                                "'%2'.")
                     .arg(QLatin1String(kernelVariable), qEnvironmentVariable(kernelVariable));
        return false;
    }
    return true;
}

bool RenderCommandLine::read()
{
    qint64 a = 0;
    qint64 b = 0;

    QSize client = RenderParameters().client;
    if (parser_.isSet(client_)) {
        if (!readPair(parser_.value(client_), QLatin1Char('x'), maxClientSize, maxClientSize, 2, a,
                      b)) {
            return fail(client_, QStringLiteral("WIDTHxHEIGHT, each 2 to %1").arg(maxClientSize));
        }
        client = QSize(int(a), int(b));
    }
    parameters_ = RenderParameters::defaults(client);
    const int w = client.width();
    const int h = client.height();

    if (parser_.isSet(picture_)) {
        if (!readPair(parser_.value(picture_), QLatin1Char('x'), w, h, 2, a, b)) {
            return fail(
                picture_,
                QStringLiteral("WIDTHxHEIGHT, width 2 to %1 and height 2 to %2").arg(w).arg(h));
        }
        parameters_.picture = QSize(int(a), int(b));
    } else if (parameters_.picture.width() > w || parameters_.picture.height() > h) {
        return fail(client_, QStringLiteral("a surface that holds the default 100x80 picture, or "
                                            "a --picture that fits"));
    }

    const auto readPosition = [&](const QCommandLineOption &option, std::int16_t &x,
                                  std::int16_t &y) {
        if (!parser_.isSet(option))
            return true;
        if (!readPair(parser_.value(option), QLatin1Char(','), w, h, 0, a, b)) {
            return fail(option, QStringLiteral("X,Y with X 0 to %1 and Y 0 to %2").arg(w).arg(h));
        }
        x = std::int16_t(a);
        y = std::int16_t(b);
        return true;
    };
    if (!readPosition(one_, parameters_.xrot, parameters_.yrot) ||
        !readPosition(two_, parameters_.xblau, parameters_.yblau)) {
        return false;
    }

    const auto readValue = [&](const QCommandLineOption &option, qint64 max, std::int16_t &v) {
        if (!parser_.isSet(option))
            return true;
        if (!readWhole(parser_.value(option), 1, max, a))
            return fail(option, QStringLiteral("a whole number from 1 to %1").arg(max));
        v = std::int16_t(a);
        return true;
    };
    if (!readValue(massOne_, 32767, parameters_.massOne) ||
        !readValue(massTwo_, 32767, parameters_.massTwo) ||
        !readValue(massMoving_, 32767, parameters_.massMoving) ||
        !readValue(radiusOne_, 300, parameters_.radiusOne) ||
        !readValue(radiusTwo_, 300, parameters_.radiusTwo)) {
        return false;
    }

    const auto readColourOption = [&](const QCommandLineOption &option, std::int32_t &colour) {
        if (!parser_.isSet(option) || readColour(parser_.value(option), colour))
            return true;
        return fail(option, QStringLiteral("a colour #RRGGBB"));
    };
    if (!readColourOption(colorOne_, parameters_.colorOne) ||
        !readColourOption(colorTwo_, parameters_.colorTwo) ||
        !readColourOption(background_, parameters_.background)) {
        return false;
    }

    if (parser_.isSet(stepLimit_) &&
        !readStepLimit(parser_.value(stepLimit_), parameters_.stepLimit)) {
        return fail(stepLimit_, QStringLiteral("a whole number of steps from 1 to 1e14"));
    }
    if (parser_.isSet(threads_)) {
        if (!readWhole(parser_.value(threads_), 1, maxThreads, a))
            return fail(threads_, QStringLiteral("a whole number from 1 to %1").arg(maxThreads));
        parameters_.threads = int(a);
    }
    if (!readKernel())
        return false;

    const QStringList positional = parser_.positionalArguments();
    if (positional.size() != 1) {
        error_ = positional.isEmpty()
                     ? QStringLiteral("OUTPUT: expected the name of the file to write, ending "
                                      "in .bmp or .png; none given.")
                     : QStringLiteral("OUTPUT: expected one file name, got %1: '%2'.")
                           .arg(positional.size())
                           .arg(positional.join(QStringLiteral("' '")));
        return false;
    }
    output_ = positional.constFirst();
    if (output_.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
        format_ = "BMP";
    } else if (output_.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        format_ = "PNG";
    } else {
        error_ = QStringLiteral("OUTPUT: expected a file name ending in .bmp or .png, got '%1'.")
                     .arg(output_);
        return false;
    }
    return true;
}
