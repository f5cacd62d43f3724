#include "commandline.h"

#include "statisticsfile.h"
#include "wholenumber.h"

#include <QRegularExpression>
#include <QThread>

namespace {

QCommandLineOption option(const char *name, const char *valueName, const QString &description)
{
    return QCommandLineOption(QString::fromLatin1(name), description,
                              QString::fromLatin1(valueName));
}

/// --one or --two: the position of a fixed mass, by default on the given side of the centre.
QCommandLineOption positionOption(const char *mass, const char *side)
{
    return option(mass, "X,Y",
                  QStringLiteral("Position of mass %1, 0 to the surface size (default: %2 "
                                 "pixels %3 of the surface's centre).")
                      .arg(QLatin1String(mass))
                      .arg(sim::defaultMassOffset)
                      .arg(QLatin1String(side)));
}

/// An option of the parameter table, as its help describes it for the default client area.
QCommandLineOption parameterOption(const char *name, const char *valueName)
{
    return option(name, valueName, parameterHelp(*findParameter(name), defaultClient));
}

/// #RRGGBB packed as red + 256 x green + 65536 x blue.
bool readColour(const QString &text, std::int32_t &colour)
{
    static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}\\z"));
    if (!hex.match(text).hasMatch())
        return false;
    const int rgb = text.mid(1).toInt(nullptr, 16);
    colour = ((rgb >> 16) & 0xFF) + 256 * ((rgb >> 8) & 0xFF) + 65536 * (rgb & 0xFF);
    return true;
}

/// A packed colour as #rrggbb.
QString colourText(std::int32_t colour)
{
    return QStringLiteral("#%1%2%3")
        .arg(colour & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

/// What a size reads like on the command line: WIDTHxHEIGHT.
QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

/// A whole number of steps, in digits or as MeE (1e14).
bool readStepLimit(const QString &text, std::uint64_t &limit)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,15})(?:[eE]([0-9]{1,2}))?\\z"));
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
                                    "2 to %1 (default: %2).")
                         .arg(maxClientSize)
                         .arg(sizeText(RenderParameters().client)))),
      picture_(option("picture", "WxH",
                      QStringLiteral("Picture rectangle, centred in the surface; each side 2 to "
                                     "the surface's (default: %1).")
                          .arg(sizeText(RenderParameters().picture)))),
      view_(option("view", "X,Y,S",
                   QStringLiteral("Computes a view of the plane instead: --size start points "
                                  "from (X, Y), S apart across and down, pixel (i, j) the start "
                                  "point (X + i S, Y + j S), no capture circles; positions then "
                                  "0 to %1 (default: %2,%3 and %4,%5). Not with --client or "
                                  "--picture.")
                       .arg(maxClientSize)
                       .arg(RenderParameters::defaults(defaultClient).xrot)
                       .arg(RenderParameters::defaults(defaultClient).yrot)
                       .arg(RenderParameters::defaults(defaultClient).xblau)
                       .arg(RenderParameters::defaults(defaultClient).yblau))),
      size_(option("size", "WxH",
                   QStringLiteral("With --view: the picture's start points across and down, "
                                  "each 1 to %1.")
                       .arg(maxClientSize))),
      one_(positionOption("one", "left")), two_(positionOption("two", "right")),
      massOne_(parameterOption("mass-one", "V")), massTwo_(parameterOption("mass-two", "V")),
      massMoving_(parameterOption("mass-moving", "V")),
      radiusOne_(parameterOption("radius-one", "R")),
      radiusTwo_(parameterOption("radius-two", "R")),
      colorOne_(option("color-one", "#RRGGBB",
                       QStringLiteral("Colour of mass one (default: %1).")
                           .arg(colourText(sim::defaultColourOne)))),
      colorTwo_(option("color-two", "#RRGGBB",
                       QStringLiteral("Colour of mass two (default: %1).")
                           .arg(colourText(sim::defaultColourTwo)))),
      background_(option("background", "#RRGGBB",
                         QStringLiteral("Background colour (default: %1).")
                             .arg(colourText(sim::defaultBackground)))),
      stepLimit_(parameterOption("step-limit", "N")),
      threads_(option("threads", "N",
                      QStringLiteral("Worker threads, 1 to %1 (default: all cores, %2 here).")
                          .arg(maxThreads)
                          .arg(std::max(1, QThread::idealThreadCount())))),
      shadeOption_(QStringLiteral("shade"),
                   QStringLiteral("Paint each captured start point darker the later it is "
                                  "captured.")),
      statisticsOption_(option("stats", "FILE",
                               QStringLiteral("Also write the picture's statistics to FILE: JSON "
                                              "if it ends in .json, CSV if .csv, JSON on standard "
                                              "output if it is -."))),
      entropyBoxOption_(option("entropy-box", "N",
                               QStringLiteral("Side of the boxes the basin entropy is taken over, "
                                              "%1 to %2 start points (default: %3).")
                                   .arg(minEntropyBox)
                                   .arg(maxEntropyBox)
                                   .arg(defaultEntropyBox))),
      sweepOption_(option("sweep", "NAME=FROM:TO:STEP",
                          QStringLiteral("Writes one frame for each value of NAME (%1): FROM, "
                                         "FROM +/- STEP, ... up or down to TO, each within the "
                                         "option's range, STEP 1 or more, at most %2 frames.")
                                  .arg(SweepRange::names())
                                  .arg(SweepRange::maxFrames) +
                              QStringLiteral(" OUTPUT holds the frame number, counted from 0, "
                                             "as %d or %0Nd (N digits, 1 to 9): f%04d.png."))),
      plotOption_(option("plot", "FILE.png",
                         QStringLiteral("With --sweep: a chart of the basin fractions and the "
                                        "basin entropy against the swept value."))),
      kernel_(option("kernel", "NAME", kernelHelp())),
      uncertaintyOption_(option("uncertainty", "N",
                                QStringLiteral("Also measures the uncertainty exponent of the "
                                               "basin boundary from N random start points, 1 to "
                                               "%1.")
                                    .arg(maxRandomPoints))),
      sampleOption_(option("sample", "N",
                           QStringLiteral("Also measures the basin fractions, with their standard "
                                          "errors, from N random start points, 1 to %1; OUTPUT "
                                          "may then be - for no picture.")
                               .arg(maxRandomPoints))),
      seedOption_(option("seed", "K",
                         QStringLiteral("Seed of the random start points, a whole number from 0 "
                                        "to %1; the same seed gives the same points everywhere "
                                        "(default: 1).")
                             .arg(maxSeed))),
      plotMeasureOption_(option("plot-measure", "NAME",
                                QStringLiteral("With --plot: the second axis shows entropy (the "
                                               "basin entropy, default) or dimension (the "
                                               "uncertainty dimension; needs --uncertainty)."))),
      shardOption_(option("shard", "I/N",
                          QStringLiteral("With --sweep: only the I-th of N near-equal blocks of "
                                         "the frames, numbered and named as in the whole sweep, "
                                         "with statistics that --merge-stats joins."))),
      mergeOption_(QStringLiteral("merge-stats"),
                   QStringLiteral("velmora-render --merge-stats OUTPUT PART...: joins the "
                                  "shards' statistics files into the whole sweep's.")),
      help_(QStringList{QStringLiteral("h"), QStringLiteral("help")},
            QStringLiteral("Show this help and exit.")),
      version_(QStringLiteral("version"), QStringLiteral("Show the version and exit."))
{
    parser_.setApplicationDescription(
        QStringLiteral("Computes the basin picture of a complete run and writes the whole "
                       "drawing surface to OUTPUT."));
    parser_.addOptions(
        {client_,           picture_,          view_,        size_,       one_,       two_,
         massOne_,          massTwo_,          massMoving_,  radiusOne_,  radiusTwo_, colorOne_,
         colorTwo_,         background_,       stepLimit_,   threads_,    kernel_,    shadeOption_,
         statisticsOption_, entropyBoxOption_, sweepOption_, plotOption_, uncertaintyOption_,
         sampleOption_,     seedOption_,       plotMeasureOption_,        shardOption_,
         mergeOption_,      help_,             version_});
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
    if (parser_.isSet(mergeOption_))
        return readMerge() ? Result::merge : Result::error;
    return read() ? Result::render : Result::error;
}

bool RenderCommandLine::fail(const QCommandLineOption &option, const QString &accepts,
                             const QString &value)
{
    // One line, whatever the value holds.
    error_ = QStringLiteral("--%1: expected %2, got '%3'.")
                 .arg(option.names().constLast(), accepts,
                      QString(value).replace(QLatin1Char('\n'), QLatin1String("\\n")));
    return false;
}

bool RenderCommandLine::readEach(const QCommandLineOption &option, const QString &accepts,
                                 const std::function<bool(const QString &)> &read)
{
    for (const QString &value : parser_.values(option))
        if (!read(value))
            return fail(option, accepts, value);
    return true;
}

bool RenderCommandLine::readKernel()
{
    Kernel &kernel = job_.parameters.kernel;
    if (!readEach(kernel_, QStringLiteral("auto, scalar or avx2"), [&](const QString &value) {
            return kernelFromName(value.toStdString(), kernel);
        })) {
        return false;
    }
    if (!kernelAvailable(kernel)) {
        return fail(kernel_, QStringLiteral("auto or scalar, as this processor lacks AVX2"),
                    parser_.value(kernel_));
    }
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

    // The area the masses' positions lie in.
    QSize area;
    if (!(parser_.isSet(view_) ? readView(area) : readPicture(area)))
        return false;
    const int w = area.width();
    const int h = area.height();

    const auto readPosition = [&](const QCommandLineOption &option, std::int16_t &x,
                                  std::int16_t &y) {
        return readEach(option, QStringLiteral("X,Y with X 0 to %1 and Y 0 to %2").arg(w).arg(h),
                        [&](const QString &value) {
                            if (!readWholePair(value, QLatin1Char(','), w, h, 0, a, b))
                                return false;
                            x = std::int16_t(a);
                            y = std::int16_t(b);
                            return true;
                        });
    };
    if (!readPosition(one_, job_.parameters.xrot, job_.parameters.yrot) ||
        !readPosition(two_, job_.parameters.xblau, job_.parameters.yblau)) {
        return false;
    }

    // The options of the parameter table that are single Values.
    for (const QCommandLineOption *option :
         {&massOne_, &massTwo_, &massMoving_, &radiusOne_, &radiusTwo_}) {
        const ParameterInfo &p = *findParameter(option->names().constFirst().toStdString());
        if (!readEach(*option, parameterAccepts(p, area), [&](const QString &value) {
                if (!readWhole(value, p.min, maxValue(p, area), a))
                    return false;
                p.set(job_.parameters, a);
                return true;
            })) {
            return false;
        }
    }

    const auto readColourOption = [&](const QCommandLineOption &option, std::int32_t &colour) {
        return readEach(option, QStringLiteral("a colour #RRGGBB"),
                        [&](const QString &value) { return readColour(value, colour); });
    };
    if (!readColourOption(colorOne_, job_.parameters.colorOne) ||
        !readColourOption(colorTwo_, job_.parameters.colorTwo) ||
        !readColourOption(background_, job_.parameters.background)) {
        return false;
    }

    if (!readEach(
            stepLimit_, parameterAccepts(*findParameter("step-limit"), area),
            [&](const QString &value) { return readStepLimit(value, job_.parameters.stepLimit); }) ||
        !readEach(threads_, QStringLiteral("a whole number from 1 to %1").arg(maxThreads),
                  [&](const QString &value) {
                      if (!readWhole(value, 1, maxThreads, a))
                          return false;
                      job_.parameters.threads = int(a);
                      return true;
                  })) {
        return false;
    }
    job_.shade = parser_.isSet(shadeOption_);
    job_.statistics = parser_.value(statisticsOption_);
    job_.entropyBox = defaultEntropyBox;
    if (!readEach(statisticsOption_,
                  QStringLiteral("a file name ending in .json or .csv, or - for standard output"),
                  [](const QString &value) {
                      return value == QStringLiteral("-") || statisticsFormat(value);
                  }) ||
        !readEach(
            entropyBoxOption_,
            QStringLiteral("a whole number from %1 to %2").arg(minEntropyBox).arg(maxEntropyBox),
            [&](const QString &value) {
                if (!readWhole(value, minEntropyBox, maxEntropyBox, a))
                    return false;
                job_.entropyBox = int(a);
                return true;
            })) {
        return false;
    }
    job_.parameters.keepPointSteps = job_.shade || !job_.statistics.isEmpty();
    if (!readKernel() || !readRandomPoints())
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
    job_.output = positional.constFirst();
    if (noPicture() && job_.randomPoints.sample > 0) {
        job_.format = nullptr;
        if (job_.statistics.isEmpty())
            job_.statistics = job_.output;
    } else if (job_.output.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
        job_.format = "BMP";
    } else if (job_.output.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        job_.format = "PNG";
    } else {
        error_ = QStringLiteral("OUTPUT: expected a file name ending in .bmp or .png, or - with "
                                "--sample, got '%1'.")
                     .arg(job_.output);
        return false;
    }
    const RandomPointOptions &r = job_.randomPoints;
    if ((r.uncertainty > 0 || r.sample > 0) && job_.statistics.isEmpty()) {
        const QCommandLineOption &given = r.uncertainty > 0 ? uncertaintyOption_ : sampleOption_;
        return fail(given, QStringLiteral("a --stats file beside it for its figures"),
                    parser_.value(given));
    }
    return readSweep(area);
}

bool RenderCommandLine::readSweep(QSize area)
{
    sweeping_ = parser_.isSet(sweepOption_);
    for (const QString &value : parser_.values(sweepOption_)) {
        QString accepts;
        if (!sweep_.read(value, area, accepts))
            return fail(sweepOption_, accepts, value);
    }
    job_.plot = parser_.value(plotOption_);
    if (!sweeping_ && !job_.plot.isEmpty()) {
        error_ = QStringLiteral("--plot: draws the frames of a sweep, so it needs --sweep.");
        return false;
    }
    if (!readEach(plotOption_, QStringLiteral("a file name ending in .png"),
                  [&](const QString &value) {
                      return value.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
                  })) {
        return false;
    }
    if (!readPlotMeasure())
        return false;
    // The plot shows statistics.
    job_.parameters.keepPointSteps = job_.parameters.keepPointSteps || !job_.plot.isEmpty();
    if (sweeping_ && !job_.frames.read(job_.output)) {
        error_ = QStringLiteral("OUTPUT: expected one frame number, %d or %0Nd with N 1 to 9, "
                                "with --sweep, got '") +
                 job_.output + QStringLiteral("'.");
        return false;
    }
    return readShard();
}
