#include "tilestatisticsmerge.h"

#include "console.h"

#include "engine/statisticspart.h"
#include "files/readfile.h"
#include "files/safefile.h"
#include "scene/statisticsfile.h"

#include <algorithm>

namespace {

/// The largest part read, in bytes: a tile of 65536 x 65536 points with every box on the
/// boundary keeps 172 million entropy codes, 230 MB as text.
constexpr qint64 maxPartSize = qint64(1) << 28;

int badInput(const QString &why)
{
    printError(QStringLiteral("--merge-stats: %1; nothing written.").arg(why));
    return 2;
}

/// Reads and checks one part; the message when it cannot.
QString readPart(const QString &name, StatisticsPart &part)
{
    QByteArray text;
    QString why;
    if (!readRegularFile(name, maxPartSize, text, &why))
        return QStringLiteral("cannot read '%1': %2").arg(name, why);
    if (!readStatisticsPart(text, part, why))
        return QStringLiteral("'%1' %2").arg(name, why);
    return {};
}

struct Placed
{
    int firstRow = 0;
    QString name;
};

} // namespace

bool writeStatisticsPartFile(const QString &path, const StatisticsPart &part, QString &why)
{
    const QByteArray text = statisticsPartJson(part);
    return writeBytesSafely(path, text, &why);
}

int mergeTileStatisticsFiles(const QString &output, const QStringList &parts)
{
    std::vector<Placed> placed;
    for (const QString &name : parts) {
        if (isSameFile(name, output)) {
            return badInput(QStringLiteral("OUTPUT '%1' is the same file as the part '%2'")
                                .arg(output, name));
        }
        StatisticsPart part;
        if (const QString why = readPart(name, part); !why.isEmpty())
            return badInput(why);
        placed.push_back({part.firstRow, name});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed &a, const Placed &b) { return a.firstRow < b.firstRow; });
    StatisticsPartMerger merger;
    StatisticsShape shape;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        StatisticsPart part;
        if (const QString why = readPart(placed[i].name, part); !why.isEmpty())
            return badInput(why);
        QString why;
        if (!merger.add(part, why)) {
            return badInput(QStringLiteral("'%1' %2").arg(placed[i].name, why));
        }
        shape = part.shape;
    }
    QString why;
    const std::optional<Statistics> statistics = merger.finish(why);
    if (!statistics)
        return badInput(why);
    const QByteArray text = statisticsText({{{}, *statistics}}, *statisticsFormat(output), false,
                                           shape.masses, shape.wada);
    if (!writeBytesSafely(output, text, &why)) {
        printError(QStringLiteral("cannot write '%1': %2; nothing written.").arg(output, why));
        return 1;
    }
    return 0;
}
