#include "commandline.h"

#include "scene/parametertext.h"
#include "scene/sceneparameters.h"
#include "scene/statisticsfile.h"
#include "scene/text.h"

RenderCommandLine::RenderCommandLine()
    : help_(QStringList{QStringLiteral("h"), QStringLiteral("help")},
            QStringLiteral("Show this help and exit.")),
      version_(QStringLiteral("version"), QStringLiteral("Show the version and exit."))
{
    addOptions();
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
    if (parser_.isSet(QStringLiteral("merge-stats")))
        return readMerge() ? Result::merge : Result::error;
    if (parser_.isSet(QStringLiteral("merge-picture")))
        return readMergePicture() ? Result::mergePicture : Result::error;
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

bool RenderCommandLine::read()
{
    job_ = RenderJob();
    // The area the masses' positions lie in.
    QSize area;
    return readFraming(area) && readMasses(area) && readColours() && readWorkers() &&
           readOutputs() && readKernel() && readRandomPoints() && readOutputName() &&
           readSweep(area) && readMovie() && readPoster();
}

bool RenderCommandLine::readMasses(QSize area)
{
    if (!readMassList(area))
        return false;
    std::vector<FixedMass> &masses = job_.parameters.scene.trajectory.masses;
    const auto readPosition = [&](const char *name, FixedMass &mass) {
        return readEach(option(name),
                        QStringLiteral("X,Y with X 0 to %1 and Y 0 to %2")
                            .arg(area.width())
                            .arg(area.height()),
                        [&](const QString &value) {
                            qint64 x = 0;
                            qint64 y = 0;
                            if (!readWholePair(value, QLatin1Char(','), area.width(),
                                               area.height(), 0, x, y))
                                return false;
                            mass.x = std::int16_t(x);
                            mass.y = std::int16_t(y);
                            return true;
                        });
    };
    if (masses.size() == 2 && (!readPosition("one", masses[0]) || !readPosition("two", masses[1])))
        return false;
    // The table's parameters that are single whole Values.
    for (const ParameterInfo &p : parameterTable()) {
        if (p.kind == ParameterKind::x || p.kind == ParameterKind::y ||
            !appliesTo(p, job_.parameters.scene.trajectory))
            continue;
        const bool steps = p.kind == ParameterKind::steps;
        if (!readEach(option(p.name), parameterAccepts(p, area), [&](const QString &value) {
                qint64 v = 0;
                std::uint64_t limit = 0;
                if (steps ? !readSteps(value, std::uint64_t(p.max), limit)
                          : !readWhole(value, p.min, maxValue(p, area), v))
                    return false;
                p.set(job_.parameters.scene.trajectory, steps ? std::int64_t(limit) : v);
                return true;
            })) {
            return false;
        }
    }
    return true;
}

bool RenderCommandLine::readColours()
{
    for (const SceneParameter &p : sceneParameters()) {
        if (p.kind != SceneParameter::Kind::colour)
            continue;
        if (!readEach(option(p.name), QStringLiteral("a colour #RRGGBB"),
                      [&](const QString &value) {
                          std::int32_t colour = 0;
                          if (!readColour(value, colour))
                              return false;
                          p.set(job_.parameters.scene, colour);
                          return true;
                      })) {
            return false;
        }
    }
    fillMassColours();
    return true;
}

bool RenderCommandLine::readWorkers()
{
    return readEach(option("threads"),
                    QStringLiteral("a whole number from 1 to %1").arg(Workers::maxThreads),
                    [&](const QString &value) {
                        qint64 threads = 0;
                        if (!readWhole(value, 1, Workers::maxThreads, threads))
                            return false;
                        job_.parameters.workers.threads = int(threads);
                        return true;
                    });
}

bool RenderCommandLine::readOutputs()
{
    Scene &scene = job_.parameters.scene;
    scene.shade = scene.shade || parser_.isSet(QStringLiteral("shade"));
    job_.statistics = parser_.value(option("stats"));
    job_.entropyBox = defaultEntropyBox;
    if (!readEach(option("stats"),
                  QStringLiteral("a file name ending in .json or .csv, or - for standard output"),
                  [](const QString &value) {
                      return value == QStringLiteral("-") || statisticsFormat(value);
                  }) ||
        !readEach(
            option("entropy-box"),
            QStringLiteral("a whole number from %1 to %2").arg(minEntropyBox).arg(maxEntropyBox),
            [&](const QString &value) {
                qint64 box = 0;
                if (!readWhole(value, minEntropyBox, maxEntropyBox, box))
                    return false;
                job_.entropyBox = int(box);
                return true;
            })) {
        return false;
    }
    job_.parameters.keepPointSteps = scene.shade || !job_.statistics.isEmpty();
    job_.wada = parser_.isSet(QStringLiteral("wada"));
    if (job_.wada && job_.statistics.isEmpty()) {
        error_ = QStringLiteral("--wada: adds to the statistics, so it needs --stats.");
        return false;
    }
    return true;
}

bool RenderCommandLine::readKernel()
{
    Kernel &kernel = job_.parameters.workers.kernel;
    if (!readEach(option("kernel"), QStringLiteral("auto, scalar or avx2"),
                  [&](const QString &value) {
                      return kernelFromName(value.toStdString(), kernel);
                  })) {
        return false;
    }
    if (!kernelAvailable(kernel)) {
        return fail(option("kernel"),
                    QStringLiteral("auto or scalar, as this processor lacks AVX2"),
                    parser_.value(option("kernel")));
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

bool RenderCommandLine::readOutputName()
{
    QStringList positional = parser_.positionalArguments();
    if (parser_.isSet(option("zoom")) && !positional.isEmpty())
        positional.removeFirst(); // TO.json, read with the framing
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
    if (job_.noPicture() && job_.randomPoints.sample > 0) {
        job_.format = nullptr;
        if (job_.statistics.isEmpty())
            job_.statistics = job_.output;
    } else if (job_.output.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
        job_.format = "BMP";
    } else if (job_.output.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        job_.format = "PNG";
    } else if (parser_.isSet(option("zoom")) && isMovieName(job_.output)) {
        job_.movie = MovieFormat();
    } else {
        error_ = QStringLiteral("OUTPUT: expected a file name ending in .bmp or .png, .mp4 with "
                                "--zoom, or - with --sample, got '%1'.")
                     .arg(job_.output);
        return false;
    }
    const RandomPointOptions &r = job_.randomPoints;
    if ((r.uncertainty > 0 || r.sample > 0) && job_.statistics.isEmpty()) {
        const QCommandLineOption &given = option(r.uncertainty > 0 ? "uncertainty" : "sample");
        return fail(given, QStringLiteral("a --stats file beside it for its figures"),
                    parser_.value(given));
    }
    return true;
}

bool RenderCommandLine::readSweep(QSize area)
{
    const QCommandLineOption &sweep = option("sweep");
    if (parser_.isSet(sweep))
        job_.sweep = SweepRange();
    for (const QString &value : parser_.values(sweep)) {
        QString accepts;
        if (!job_.sweep->read(value, area,
                              int(job_.parameters.scene.trajectory.masses.size()), accepts))
            return fail(sweep, accepts, value);
    }
    job_.plot = parser_.value(option("plot"));
    if (!job_.sweep && !job_.plot.isEmpty()) {
        error_ = QStringLiteral("--plot: draws the frames of a sweep, so it needs --sweep.");
        return false;
    }
    if (job_.masses() != 2 && !job_.plot.isEmpty()) {
        error_ = QStringLiteral("--plot: draws the basins of two masses, so it needs a scene of "
                                "two.");
        return false;
    }
    if (!readEach(option("plot"), QStringLiteral("a file name ending in .png"),
                  [&](const QString &value) {
                      return value.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
                  })) {
        return false;
    }
    if (!readPlotMeasure())
        return false;
    // The plot shows statistics.
    job_.parameters.keepPointSteps = job_.parameters.keepPointSteps || !job_.plot.isEmpty();
    if (job_.series() && !job_.movie && !job_.frames.read(job_.output)) {
        error_ = QStringLiteral("OUTPUT: expected one frame number, %d or %0Nd with N 1 to 9, "
                                "with --sweep or --zoom, got '") +
                 job_.output + QStringLiteral("'.");
        return false;
    }
    return readShard();
}
