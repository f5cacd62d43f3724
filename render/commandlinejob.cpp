// The command line's shards and the merging of their statistics.
#include "commandline.h"

#include "scene/statisticsfile.h"
#include "scene/text.h"

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

bool RenderCommandLine::readMerge()
{
    const QStringList positional = parser_.positionalArguments();
    for (const QString &name : parser_.optionNames()) {
        if (name != QStringLiteral("merge-stats")) {
            error_ = QStringLiteral("--merge-stats: expected no other option, got '--%1'.")
                         .arg(name);
            return false;
        }
    }
    if (positional.size() < 2 || !statisticsFormat(positional[0])) {
        error_ = QStringLiteral("--merge-stats: expected OUTPUT ending in .json or .csv and one "
                                "PART or more, got '%1'.")
                     .arg(positional.join(QLatin1Char(' ')));
        return false;
    }
    job_.output = positional[0];
    mergeParts_ = positional.mid(1);
    return true;
}
