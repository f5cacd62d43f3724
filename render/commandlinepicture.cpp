// The picture's options of the command line: the replica's surface and rectangle, or a view.

#include "commandline.h"

#include "viewoption.h"
#include "wholenumber.h"

namespace {

/// What a size reads like on the command line: WIDTHxHEIGHT.
QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

} // namespace

bool RenderCommandLine::readPicture(QSize &area)
{
    qint64 a = 0;
    qint64 b = 0;
    if (parser_.isSet(size_)) {
        return fail(size_, QStringLiteral("WIDTHxHEIGHT with --view"), parser_.value(size_));
    }
    QSize client = RenderParameters().client;
    if (!readEach(client_, QStringLiteral("WIDTHxHEIGHT, each 2 to %1").arg(maxClientSize),
                  [&](const QString &value) {
                      if (!readWholePair(value, QLatin1Char('x'), maxClientSize, maxClientSize, 2,
                                         a, b))
                          return false;
                      client = QSize(int(a), int(b));
                      return true;
                  })) {
        return false;
    }
    job_.parameters = RenderParameters::defaults(client);
    area = client;
    const int w = client.width();
    const int h = client.height();

    if (!readEach(picture_,
                  QStringLiteral("WIDTHxHEIGHT, width 2 to %1 and height 2 to %2").arg(w).arg(h),
                  [&](const QString &value) {
                      if (!readWholePair(value, QLatin1Char('x'), w, h, 2, a, b))
                          return false;
                      job_.parameters.picture = QSize(int(a), int(b));
                      return true;
                  })) {
        return false;
    }
    if (!parser_.isSet(picture_) &&
        (job_.parameters.picture.width() > w || job_.parameters.picture.height() > h)) {
        return fail(client_,
                    QStringLiteral("a surface that holds the default %1 picture, or a "
                                   "--picture that fits")
                        .arg(sizeText(RenderParameters().picture)),
                    parser_.value(client_));
    }
    return true;
}

bool RenderCommandLine::readView(QSize &area)
{
    if (parser_.isSet(client_) || parser_.isSet(picture_)) {
        return fail(view_, QStringLiteral("no --client or --picture beside it"),
                    parser_.value(view_));
    }
    if (!parser_.isSet(size_)) {
        return fail(view_, QStringLiteral("--size WIDTHxHEIGHT beside it"), parser_.value(view_));
    }
    qint64 a = 0;
    qint64 b = 0;
    QSize size;
    if (!readEach(size_, QStringLiteral("WIDTHxHEIGHT, each 1 to %1").arg(maxClientSize),
                  [&](const QString &value) {
                      if (!readWholePair(value, QLatin1Char('x'), maxClientSize, maxClientSize, 1,
                                         a, b))
                          return false;
                      size = QSize(int(a), int(b));
                      return true;
                  })) {
        return false;
    }
    View view;
    QString accepts;
    for (const QString &value : parser_.values(view_)) {
        if (!readViewOption(value, size, view, accepts))
            return fail(view_, accepts, value);
    }
    // Start-up's masses; the picture is the view's.
    job_.parameters = RenderParameters::defaults(defaultClient);
    job_.parameters.client = size;
    job_.parameters.picture = size;
    job_.parameters.view = view;
    area = QSize(maxClientSize, maxClientSize);
    return true;
}
