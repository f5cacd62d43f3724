// The picture's options of the command line: the replica's surface and rectangle, a view, or a
// view file.
#include "commandline.h"

#include "scene/text.h"
#include "scene/sceneparameters.h"
#include "scene/viewfile.h"

bool RenderCommandLine::readFraming(QSize &area)
{
    if (parser_.isSet(option("zoom")))
        return readZoom(area);
    if (parser_.isSet(option("view-file")))
        return readViewFile(area);
    return parser_.isSet(option("view")) ? readView(area) : readPicture(area);
}

bool RenderCommandLine::readPicture(QSize &area)
{
    if (parser_.isSet(option("size")))
        return fail(option("size"), QStringLiteral("WIDTHxHEIGHT with --view"),
                    parser_.value(option("size")));
    QSize client = defaultClient;
    if (!readEach(option("client"), QStringLiteral("WIDTHxHEIGHT, each 2 to %1").arg(maxClientSide),
                  [&](const QString &value) {
                      return ::readSize(value, 2, QSize(maxClientSide, maxClientSide), client);
                  })) {
        return false;
    }
    job_.parameters = RenderParameters::defaults(client);
    area = client;
    Framing &framing = job_.parameters.framing;
    if (!readEach(option("picture"),
                  QStringLiteral("WIDTHxHEIGHT, width 2 to %1 and height 2 to %2")
                      .arg(client.width())
                      .arg(client.height()),
                  [&](const QString &value) {
                      return ::readSize(value, 2, client, framing.picture);
                  })) {
        return false;
    }
    if (!parser_.isSet(option("picture")) && (framing.picture.width() > client.width() ||
                                              framing.picture.height() > client.height())) {
        return fail(option("client"),
                    QStringLiteral("a surface that holds the default %1 picture, or a "
                                   "--picture that fits")
                        .arg(sizeText(RenderParameters().framing.picture)),
                    parser_.value(option("client")));
    }
    return true;
}

bool RenderCommandLine::readSize(QSize &size)
{
    // A sweep's or a zoom's frames keep to maxClientSide, which readPoster() checks.
    return readEach(option("size"), QStringLiteral("WIDTHxHEIGHT, each 1 to %1").arg(maxViewSide),
                    [&](const QString &value) {
                        return ::readSize(value, 1, QSize(maxViewSide, maxViewSide), size);
                    });
}

bool RenderCommandLine::readView(QSize &area)
{
    const QCommandLineOption &view = option("view");
    if (parser_.isSet(option("client")) || parser_.isSet(option("picture")))
        return fail(view, QStringLiteral("no --client or --picture beside it"),
                    parser_.value(view));
    if (!parser_.isSet(option("size")))
        return fail(view, QStringLiteral("--size WIDTHxHEIGHT beside it"), parser_.value(view));
    QSize size;
    if (!readSize(size))
        return false;
    View read;
    QString accepts;
    for (const QString &value : parser_.values(view)) {
        if (!::readView(value, size, read, accepts))
            return fail(view, accepts, value);
    }
    // Start-up's masses; the picture is the view's.
    job_.parameters = RenderParameters::defaults(defaultClient);
    job_.parameters.framing.view = read;
    area = viewArea();
    return true;
}

bool RenderCommandLine::readZoom(QSize &area)
{
    const QCommandLineOption &zoom = option("zoom");
    for (const char *other : {"view-file", "view", "sweep"}) {
        if (parser_.isSet(option(other)))
            return fail(zoom, QStringLiteral("no --%1 beside it").arg(QLatin1String(other)),
                        parser_.value(zoom));
    }
    const QStringList positional = parser_.positionalArguments();
    if (positional.size() != 2) {
        error_ = QStringLiteral("--zoom: expected FROM.json TO.json OUTPUT, got '%1'.")
                     .arg(positional.join(QLatin1Char(' ')));
        return false;
    }
    const QString toPath = positional.constFirst();
    Place to;
    QString problem;
    if (!viewfile::readViewFile(toPath, to, &problem)) {
        error_ = QStringLiteral("--zoom: cannot use '%1': %2.").arg(toPath, problem);
        return false;
    }
    if (!readViewFile(area, zoom))
        return false;
    const View &from = *job_.parameters.framing.view;
    if (to.scene != job_.parameters.scene) {
        error_ = QStringLiteral("--zoom: '%1' has other parameters than '%2'; a zoom keeps them.")
                     .arg(toPath, parser_.value(zoom));
        return false;
    }
    if (!parser_.isSet(option("size")) && to.view.size != QSize(from.width, from.height)) {
        error_ = QStringLiteral("--zoom: '%1' and '%2' differ in size; give --size WxH.")
                     .arg(parser_.value(zoom), toPath);
        return false;
    }
    ZoomPath path;
    path.from = from;
    path.to = from;
    path.to.x = to.view.x;
    path.to.y = to.view.y;
    path.to.spacing = to.view.spacing;
    qint64 frames = 60;
    const QString given = parser_.value(option("frames"));
    if (!given.isEmpty() && !readWhole(given, 2, ZoomPath::maxFrames, frames)) {
        return fail(option("frames"),
                    QStringLiteral("a whole number from 2 to %1").arg(ZoomPath::maxFrames), given);
    }
    path.frames = int(frames);
    for (int k = 0; k < path.frames; ++k) {
        QString accepts;
        if (!acceptView(path.view(k), accepts)) {
            error_ = QStringLiteral("--zoom: frame %1 cannot be computed: expected %2.")
                         .arg(k)
                         .arg(accepts);
            return false;
        }
    }
    job_.zoom = path;
    return true;
}

bool RenderCommandLine::readViewFile(QSize &area)
{
    return readViewFile(area, option("view-file"));
}

bool RenderCommandLine::readViewFile(QSize &area, const QCommandLineOption &file)
{
    if (parser_.isSet(option("client")) || parser_.isSet(option("picture")))
        return fail(file, QStringLiteral("no --client or --picture beside it"),
                    parser_.value(file));
    Place place;
    for (const QString &path : parser_.values(file)) {
        QString problem;
        if (!viewfile::readViewFile(path, place, &problem)) {
            error_ = QStringLiteral("--view-file: cannot use '%1': %2.").arg(path, problem);
            return false;
        }
    }
    QSize size = place.view.size;
    if (!readSize(size))
        return false;
    View view;
    view.x = place.view.x;
    view.y = place.view.y;
    view.spacing = place.view.spacing;
    view.width = size.width();
    view.height = size.height();
    QString accepts;
    // Another view, or the file's at another size.
    for (const QString &value : parser_.values(option("view"))) {
        if (!::readView(value, size, view, accepts))
            return fail(option("view"), accepts, value);
    }
    if (!acceptView(view, accepts))
        return fail(option("size"), accepts, sizeText(size));
    job_.parameters = RenderParameters();
    job_.parameters.scene = place.scene;
    job_.parameters.framing.view = view;
    area = viewArea();
    return true;
}

bool RenderCommandLine::readMovie()
{
    for (const char *name : {"fps", "lossless"}) {
        if (!job_.movie && parser_.isSet(option(name))) {
            error_ = QStringLiteral("--%1: sets how a movie is encoded, so it needs --zoom to an "
                                    "OUTPUT ending in .mp4.")
                         .arg(QLatin1String(name));
            return false;
        }
    }
    if (!job_.movie)
        return true;
    if (job_.shard) {
        error_ = QStringLiteral("--shard: splits frames over machines, so it needs OUTPUT%05d.png "
                                "rather than one movie.");
        return false;
    }
    job_.movie->size = job_.parameters.framing.imageSize();
    job_.movie->lossless = parser_.isSet(option("lossless"));
    return readEach(option("fps"),
                    QStringLiteral("a whole number from 1 to %1").arg(MovieFormat::maxFps),
                    [&](const QString &value) {
                        qint64 fps = 0;
                        if (!readWhole(value, 1, MovieFormat::maxFps, fps))
                            return false;
                        job_.movie->fps = int(fps);
                        return true;
                    });
}
