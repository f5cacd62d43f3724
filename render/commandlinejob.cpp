// The command line's shards, tiles and bands, and the merging of their statistics and pictures.
#include "commandline.h"

#include "scene/statisticsfile.h"
#include "scene/text.h"

#include "picture/rowwriter.h"

bool RenderCommandLine::readShard()
{
    job_.shard.reset();
    return readEach(option("shard"),
                    QStringLiteral("I/N, whole numbers with 1 <= I <= N <= %1, with --sweep or --zoom and "
                                   "without --plot")
                        .arg(SweepRange::maxFrames),
                    [&](const QString &value) {
                        qint64 index = 0;
                        qint64 count = 0;
                        if (!job_.series() || !job_.plot.isEmpty() ||
                            !readWholePair(value, QLatin1Char('/'), SweepRange::maxFrames,
                                           SweepRange::maxFrames, 1, index, count) ||
                            index > count) {
                            return false;
                        }
                        job_.shard = Shard{int(index), int(count)};
                        return true;
                    });
}

bool RenderCommandLine::readMergeArguments(const QString &option, bool (*accepted)(const QString &),
                                           const char *endings)
{
    const QStringList positional = parser_.positionalArguments();
    for (const QString &name : parser_.optionNames()) {
        if (name != option) {
            error_ = QStringLiteral("--%1: expected no other option, got '--%2'.").arg(option, name);
            return false;
        }
    }
    if (positional.size() < 2 || !accepted(positional[0])) {
        error_ = QStringLiteral("--%1: expected OUTPUT ending in %2 and one PART or more, got '%3'.")
                     .arg(option, QLatin1String(endings), positional.join(QLatin1Char(' ')));
        return false;
    }
    job_.output = positional[0];
    mergeParts_ = positional.mid(1);
    return true;
}

bool RenderCommandLine::readMerge()
{
    return readMergeArguments(
        QStringLiteral("merge-stats"),
        [](const QString &output) { return bool(statisticsFormat(output)); }, ".json or .csv");
}

bool RenderCommandLine::readMergePicture()
{
    return readMergeArguments(
        QStringLiteral("merge-picture"),
        [](const QString &output) {
            return output.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ||
                   output.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
        },
        ".png or .bmp");
}

bool RenderCommandLine::readPoster()
{
    const std::optional<View> &view = job_.parameters.framing.view;
    const QSize size = job_.parameters.framing.imageSize();
    if (job_.series() && (size.width() > maxClientSide || size.height() > maxClientSide))
        return fail(option("size"),
                    QStringLiteral("WIDTHxHEIGHT, each 1 to %1 for the frames of --sweep or --zoom")
                        .arg(maxClientSide),
                    sizeText(size));
    if (job_.format && qstrcmp(job_.format, "BMP") == 0 && bitmapBytes(size) > maxBitmapBytes) {
        error_ = QStringLiteral("OUTPUT: a %1 bitmap would be over the %2 bytes (4 GiB) its header "
                                "can state; write a PNG instead.")
                     .arg(sizeText(size))
                     .arg(maxBitmapBytes);
        return false;
    }
    const bool single = view && !job_.series() && !job_.noPicture();
    if (!readEach(option("band-rows"), QStringLiteral("N, a whole number 1 to %1, with --view")
                                           .arg(maxViewSide),
                  [&](const QString &value) {
                      bool ok = false;
                      const int rows = value.toInt(&ok);
                      if (!ok || !single || rows < 1 || rows > maxViewSide)
                          return false;
                      job_.bandRows = rows;
                      return true;
                  })) {
        return false;
    }
    return readEach(option("tile"),
                    QStringLiteral("I/N, whole numbers with 1 <= I <= N <= the view's rows, with "
                                   "--view, a PNG OUTPUT, --stats only to a .json file, and "
                                   "without --shade, --uncertainty or --sample"),
                    [&](const QString &value) {
                        qint64 index = 0;
                        qint64 count = 0;
                        if (!single || qstrcmp(job_.format, "PNG") != 0 ||
                            job_.parameters.scene.shade ||
                            (!job_.statistics.isEmpty() &&
                             (!job_.statisticsToFile() ||
                              statisticsFormat(job_.statistics) != StatisticsFormat::json)) ||
                            job_.randomPoints.sample > 0 || job_.randomPoints.uncertainty > 0 ||
                            !readWholePair(value, QLatin1Char('/'), size.height(), size.height(),
                                           1, index, count) ||
                            index > count) {
                            return false;
                        }
                        job_.tile = Shard{int(index), int(count)};
                        return true;
                    });
}
