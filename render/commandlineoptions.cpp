// The options of velmora-render and their help, in the help's order.
#include "commandline.h"

#include "scene/parametertext.h"
#include "scene/sceneparameters.h"
#include "scene/text.h"

#include <QThread>

namespace {

QCommandLineOption makeOption(const char *name, const char *valueName, const QString &description)
{
    return QCommandLineOption(QString::fromLatin1(name), description,
                              QString::fromLatin1(valueName));
}

/// --one or --two: the position of a fixed mass, by default on the given side of the centre.
QCommandLineOption positionOption(const char *mass, const char *side)
{
    return makeOption(mass, "X,Y",
                  QStringLiteral("Position of mass %1, 0 to the surface size (default: %2 "
                                 "pixels %3 of the surface's centre).")
                      .arg(QLatin1String(mass))
                      .arg(sim::defaultMassOffset)
                      .arg(QLatin1String(side)));
}

/// --mass: a mass of a view, repeated in mass order.
QCommandLineOption massOption()
{
    const ParameterInfo &weight = *massParameter(0, ParameterKind::fixedMass);
    const ParameterInfo &radius = *massParameter(0, ParameterKind::radius);
    return makeOption(
        "mass", "X,Y,WEIGHT,RADIUS[,#RRGGBB]",
        QStringLiteral("A fixed mass of a view, the option repeated in mass order for 1 to %1 "
                       "masses: its position, X and Y 0 to %2; its weight, %3 to %4, kilograms "
                       "= WEIGHT x %5; its capture radius, %6 to %7; its colour (default: red, "
                       "blue, then a colour of its own, none the background's). Only with "
                       "--view or --view-file, and not with --one, --two, --mass-one, "
                       "--mass-two, --radius-one, --radius-two, --color-one or --color-two.")
            .arg(sim::maxFixedMasses)
            .arg(maxClientSide)
            .arg(weight.min)
            .arg(weight.max)
            .arg(kilogramsPerValue(weight), 0, 'f', 0)
            .arg(radius.min)
            .arg(radius.max));
}

/// A parameter of the scene, as its help describes it for the default client area.
QCommandLineOption sceneOption(const SceneParameter &p)
{
    if (p.kind == SceneParameter::Kind::colour) {
        const Scene defaults;
        return makeOption(p.name, "#RRGGBB",
                      QStringLiteral("%1 (default: %2).")
                          .arg(QLatin1String(p.description),
                               colourText(std::int32_t(p.get(defaults)))));
    }
    const char *valueName = p.kind == SceneParameter::Kind::steps             ? "N"
                            : p.trajectory->kind == ParameterKind::radius ? "R"
                                                                           : "V";
    return makeOption(p.name, valueName, parameterHelp(*p.trajectory, defaultClient));
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

/// The options that give the picture: --client, --picture, --view and --size.
QList<QCommandLineOption> framingOptions()
{
    const RenderParameters defaults = RenderParameters::defaults(defaultClient);
    const std::vector<FixedMass> &masses = defaults.scene.trajectory.masses;
    return {
        makeOption("client", "WxH",
               QStringLiteral("Drawing surface size in pixels, each side 2 to %1 (default: %2).")
                   .arg(maxClientSide)
                   .arg(sizeText(defaults.framing.client))),
        makeOption("picture", "WxH",
               QStringLiteral("Picture rectangle, centred in the surface; each side 2 to the "
                              "surface's (default: %1).")
                   .arg(sizeText(defaults.framing.picture))),
        makeOption("view", "X,Y,S",
               QStringLiteral("Computes a view of the plane instead: --size start points from "
                              "(X, Y), S apart across and down, pixel (i, j) the start point (X "
                              "+ i S, Y + j S), no capture circles; positions then 0 to %1 "
                              "(default: %2,%3 and %4,%5). Not with --client or --picture.")
                   .arg(maxClientSide)
                   .arg(masses[0].x)
                   .arg(masses[0].y)
                   .arg(masses[1].x)
                   .arg(masses[1].y)),
        makeOption("size", "WxH",
               QStringLiteral("With --view: the picture's start points across and down, each 1 "
                              "to %1.")
                   .arg(maxClientSide)),
    };
}

/// The options of the outputs and the measures, from --shade to --shard.
QList<QCommandLineOption> outputOptions()
{
    return {
        QCommandLineOption(QStringLiteral("shade"),
                           QStringLiteral("Paint each captured start point darker the later it "
                                          "is captured.")),
        makeOption("stats", "FILE",
               QStringLiteral("Also write the picture's statistics to FILE: JSON if it ends in "
                              ".json, CSV if .csv, JSON on standard output if it is -.")),
        makeOption("entropy-box", "N",
               QStringLiteral("Side of the boxes the basin entropy is taken over, %1 to %2 start "
                              "points (default: %3).")
                   .arg(minEntropyBox)
                   .arg(maxEntropyBox)
                   .arg(defaultEntropyBox)),
        QCommandLineOption(QStringLiteral("wada"),
                           QStringLiteral("With --stats: also how the basins meet along their "
                                          "boundary: the shares of boundary points whose 3 x 3 "
                                          "block holds 1, 2, ... basins (meet), and of those "
                                          "missing some basin within 1, 2, 4, 8 and 16 start "
                                          "points (not_wada).")),
        makeOption("sweep", "NAME=FROM:TO:STEP",
               QStringLiteral("Writes one frame for each value of NAME (%1): FROM, FROM +/- STEP, "
                              "... up or down to TO, each within the option's range, STEP 1 or "
                              "more, at most %2 frames.")
                       .arg(SweepRange::names())
                       .arg(SweepRange::maxFrames) +
                   QStringLiteral(" OUTPUT holds the frame number, counted from 0, as %d or %0Nd "
                                  "(N digits, 1 to 9): f%04d.png.")),
        makeOption("plot", "FILE.png",
               QStringLiteral("With --sweep: a chart of the basin fractions and the basin entropy "
                              "against the swept value.")),
        makeOption("uncertainty", "N",
               QStringLiteral("Also measures the uncertainty exponent of the basin boundary from "
                              "N random start points, 1 to %1.")
                   .arg(maxRandomPoints)),
        makeOption("sample", "N",
               QStringLiteral("Also measures the basin fractions, with their standard errors, "
                              "from N random start points, 1 to %1; OUTPUT may then be - for no "
                              "picture.")
                   .arg(maxRandomPoints)),
        makeOption("seed", "K",
               QStringLiteral("Seed of the random start points, a whole number from 0 to %1; the "
                              "same seed gives the same points everywhere (default: 1).")
                   .arg(RenderCommandLine::maxSeed)),
        makeOption("plot-measure", "NAME",
               QStringLiteral("With --plot: the second axis shows entropy (the basin entropy, "
                              "default) or dimension (the uncertainty dimension; needs "
                              "--uncertainty).")),
        makeOption("shard", "I/N",
               QStringLiteral("With --sweep: only the I-th of N near-equal blocks of the frames, "
                              "numbered and named as in the whole sweep, with statistics that "
                              "--merge-stats joins.")),
        makeOption("tile", "I/N",
               QStringLiteral("With --view and a PNG OUTPUT, without --shade: only the I-th of "
                              "N near-equal bands of the picture's rows, as a part that "
                              "--merge-picture joins, with --stats FILE.json a statistics part "
                              "that --merge-stats joins.")),
        makeOption("band-rows", "N",
               QStringLiteral("With --view: computes and writes the picture in bands of N rows, "
                              "1 to %1 (default: as many as 24 MiB holds); the picture is the "
                              "same with every N.")
                   .arg(RenderCommandLine::maxViewSide)),
    };
}

} // namespace

void RenderCommandLine::addOptions()
{
    options_ = framingOptions();
    options_ << massOption() << positionOption("one", "left") << positionOption("two", "right");
    for (const SceneParameter &p : sceneParameters()) {
        const bool position = p.trajectory && (p.trajectory->kind == ParameterKind::x ||
                                               p.trajectory->kind == ParameterKind::y);
        if (!position && p.kind != SceneParameter::Kind::steps)
            options_ << sceneOption(p);
    }
    options_ << sceneOption(*findSceneParameter("step-limit"))
             << makeOption("threads", "N",
                       QStringLiteral("Worker threads, 1 to %1 (default: all cores, %2 here).")
                           .arg(Workers::maxThreads)
                           .arg(Workers().count()))
             << makeOption("kernel", "NAME", kernelHelp());
    options_ << outputOptions();
    options_ << QCommandLineOption(QStringLiteral("merge-stats"),
                                   QStringLiteral("velmora-render --merge-stats OUTPUT PART...: "
                                                  "joins the shards' statistics files into the "
                                                  "whole sweep's, or the tiles' statistics parts "
                                                  "into the whole picture's."))
             << QCommandLineOption(QStringLiteral("merge-picture"),
                                   QStringLiteral("velmora-render --merge-picture OUTPUT PART...: "
                                                  "joins the parts --tile wrote into the whole "
                                                  "picture."))
             << makeOption("view-file", "FILE",
                       QStringLiteral("The view, size and every parameter of a view file saved "
                                      "by Velmora Explorer; the options given beside it "
                                      "override what it says."))
             << makeOption("zoom", "FROM.json",
                       QStringLiteral("velmora-render --zoom FROM.json TO.json --frames N "
                                      "OUTPUT%05d.png: the frames of a smooth zoom from one view "
                                      "file into another with the same parameters, the first "
                                      "exactly FROM's picture and the last TO's; --size WxH "
                                      "for both; --shard as with --sweep. OUTPUT.mp4 instead: "
                                      "the same frames as a movie, encoded by ffmpeg."))
             << makeOption("frames", "N",
                       QStringLiteral("With --zoom: the frames, 2 to %1 (default: 60).")
                           .arg(ZoomPath::maxFrames))
             << makeOption("fps", "F",
                       QStringLiteral("With --zoom to an .mp4: frames a second, 1 to %1 "
                                      "(default: %2).")
                           .arg(MovieFormat::maxFps)
                           .arg(MovieFormat::defaultFps))
             << QCommandLineOption(QStringLiteral("lossless"),
                                   QStringLiteral("With --zoom to an .mp4: lossless RGB H.264, "
                                                  "which decodes to the frames' very pixels "
                                                  "but fewer players show."));
    parser_.setApplicationDescription(
        QStringLiteral("Computes the basin picture of a complete run and writes the whole "
                       "drawing surface to OUTPUT."));
    parser_.addOptions(options_);
    parser_.addOptions({help_, version_});
    parser_.addPositionalArgument(
        QStringLiteral("OUTPUT"),
        QStringLiteral("The picture file: a 24-bit bitmap if it ends in .bmp, PNG if .png; with "
                       "--zoom a frame pattern, or an MP4 movie if it ends in .mp4."));
}

const QCommandLineOption &RenderCommandLine::option(const char *name) const
{
    for (const QCommandLineOption &o : options_) {
        if (o.names().constLast() == QLatin1String(name))
            return o;
    }
    qFatal("velmora-render has no option --%s", name);
}
