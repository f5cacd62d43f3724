#include "statisticsmerge.h"

#include "console.h"

#include "sweeprange.h"
#include "tilestatisticsmerge.h"

#include "engine/statisticspart.h"

#include "files/readfile.h"
#include "files/safefile.h"
#include "sim/field.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <map>

namespace {

/// One part, read: its mark and its frames' records (CSV rows or JSON objects, without
/// separators).
struct Part
{
    ShardMark mark;
    QByteArray header; ///< a CSV part's table header, newline included
    QList<QByteArray> records;
};

/// The largest part read, in bytes: far more than the most frames take (a JSON frame with every
/// measure took 1.7 kB, 17 MB for 10000 frames).
constexpr qint64 maxPartSize = qint64(1) << 28;

/// Whether line is the table header of some field of fixed masses, with or without wada_*.
bool knownHeader(const QByteArray &line)
{
    for (int masses = 1; masses <= sim::maxFixedMasses; ++masses) {
        if (line == statisticsCsvHeader(masses, false) || line == statisticsCsvHeader(masses, true))
            return true;
    }
    return false;
}

bool fail(QString &why, const QString &name, const QString &what)
{
    why = QStringLiteral("'%1' %2").arg(name, what);
    return false;
}

/// The frame number a record starts with.
std::optional<int> recordFrame(const QByteArray &record, StatisticsFormat format)
{
    bool ok = false;
    int number = -1;
    if (format == StatisticsFormat::csv) {
        number = record.left(record.indexOf(',')).toInt(&ok);
    } else {
        const QJsonObject object = QJsonDocument::fromJson(record).object();
        const QJsonValue frame = object.value(QStringLiteral("frame"));
        ok = frame.isDouble();
        number = frame.toInt(-1);
    }
    return ok ? std::optional<int>(number) : std::nullopt;
}

bool readPart(const QByteArray &text, const QString &name, StatisticsFormat format, Part &part,
              QString &why)
{
    const QString notOne = format == StatisticsFormat::csv
                               ? QStringLiteral("is not a shard's CSV statistics file")
                               : QStringLiteral("is not a shard's JSON statistics file");
    static const QRegularExpression csvMark(
        QStringLiteral("^# shard ([0-9]+)/([0-9]+) of ([0-9]+) frames: ([^\\n]*)\\n"));
    static const QRegularExpression jsonMark(
        QStringLiteral("^\\{\"sweep\": \"([^\"\\n]*)\", \"shard\": \"([0-9]+)/([0-9]+)\", "
                       "\"frame_count\": ([0-9]+), \"statistics\": \\["));
    const bool csv = format == StatisticsFormat::csv;
    const QRegularExpressionMatch m = (csv ? csvMark : jsonMark).match(QString::fromUtf8(text));
    if (!m.hasMatch())
        return fail(why, name, notOne);
    const int first = csv ? 1 : 2;
    int numbers[3] = {};
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        numbers[k] = m.captured(first + k).toInt(&ok);
        if (!ok || numbers[k] < 1 || numbers[k] > SweepRange::maxFrames)
            return fail(why, name, notOne);
    }
    part.mark = {m.captured(csv ? 4 : 1), numbers[0], numbers[1], numbers[2]};
    // The mark is ASCII in a file of ours; its length in bytes is counted all the same.
    const QByteArray body = text.mid(m.captured(0).toUtf8().size());
    if (csv) {
        part.header = body.left(body.indexOf('\n') + 1);
        if (!knownHeader(part.header))
            return fail(why, name, QStringLiteral("has another table header"));
        part.records = body.mid(part.header.size()).split('\n');
        if (part.records.takeLast() != QByteArray())
            return fail(why, name, notOne);
    } else {
        if (QJsonDocument::fromJson(text).isNull() || !body.startsWith('\n') ||
            !body.endsWith("\n]}\n")) {
            return fail(why, name, notOne);
        }
        if (body.size() > 4) {
            // The objects span several lines; "},\n{" is where one ends and the next starts.
            QByteArray inside = body.mid(1, body.size() - 5);
            inside.replace("},\n{", "}\x01{");
            part.records = inside.split('\x01');
        }
    }
    const int begin = int(std::int64_t(part.mark.index - 1) * part.mark.frames / part.mark.count);
    const int end = int(std::int64_t(part.mark.index) * part.mark.frames / part.mark.count);
    if (part.mark.index < 1 || part.mark.index > part.mark.count)
        return fail(why, name, notOne);
    if (part.records.size() != end - begin)
        return fail(why, name,
                    QStringLiteral("holds %1 frames, not the %2 of shard %3/%4")
                        .arg(part.records.size())
                        .arg(end - begin)
                        .arg(part.mark.index)
                        .arg(part.mark.count));
    for (int i = 0; i < part.records.size(); ++i) {
        if (recordFrame(part.records[i], format) != begin + i)
            return fail(why, name, QStringLiteral("lacks frame %1").arg(begin + i));
    }
    return true;
}

} // namespace

QByteArray shardStatisticsText(const std::vector<FrameStatistics> &frames,
                               StatisticsFormat format, const ShardMark &mark, int masses,
                               bool wada)
{
    QByteArray whole = statisticsText(frames, format, true, masses, wada);
    if (format == StatisticsFormat::csv) {
        return QStringLiteral("# shard %1/%2 of %3 frames: %4\n")
                   .arg(mark.index)
                   .arg(mark.count)
                   .arg(mark.frames)
                   .arg(mark.sweep)
                   .toUtf8() +
               whole;
    }
    whole.chop(1); // the array's final newline
    return QStringLiteral("{\"sweep\": \"%1\", \"shard\": \"%2/%3\", \"frame_count\": %4, "
                          "\"statistics\": ")
               .arg(mark.sweep)
               .arg(mark.index)
               .arg(mark.count)
               .arg(mark.frames)
               .toUtf8() +
           whole + "}\n";
}

bool mergeStatistics(const QList<QByteArray> &parts, const QStringList &names,
                     StatisticsFormat format, QByteArray &merged, QString &why)
{
    std::map<int, Part> shards;
    ShardMark sweep;
    for (int i = 0; i < parts.size(); ++i) {
        Part part;
        if (!readPart(parts[i], names[i], format, part, why))
            return false;
        if (i == 0)
            sweep = part.mark;
        if (part.mark.sweep != sweep.sweep || part.mark.count != sweep.count ||
            part.mark.frames != sweep.frames) {
            return fail(why, names[i],
                        QStringLiteral("is of another sweep than '%1'").arg(names[0]));
        }
        if (shards.count(part.mark.index) != 0) {
            return fail(why, names[i],
                        QStringLiteral("repeats shard %1/%2").arg(part.mark.index).arg(
                            part.mark.count));
        }
        shards.emplace(part.mark.index, part);
    }
    for (int index = 1; index <= sweep.count; ++index) {
        if (shards.count(index) == 0) {
            why = QStringLiteral("shard %1/%2 (frames from %3) is missing")
                      .arg(index)
                      .arg(sweep.count)
                      .arg(std::int64_t(index - 1) * sweep.frames / sweep.count);
            return false;
        }
    }
    const bool csv = format == StatisticsFormat::csv;
    // One sweep's parts have the same masses and measures, so the same header.
    merged = csv ? shards.begin()->second.header : QByteArray("[");
    int written = 0;
    for (const auto &[index, part] : shards) {
        for (const QByteArray &record : part.records) {
            if (csv)
                merged += record + '\n';
            else
                merged += (written == 0 ? "\n" : ",\n") + record;
            ++written;
        }
    }
    if (!csv)
        merged += "\n]\n";
    return true;
}

int mergeStatisticsFiles(const QString &output, const QStringList &parts)
{
    QByteArray first;
    if (!parts.isEmpty() && readRegularFile(parts.first(), maxPartSize, first) &&
        looksLikeStatisticsPart(first)) {
        return mergeTileStatisticsFiles(output, parts);
    }
    QList<QByteArray> texts;
    for (const QString &part : parts) {
        if (isSameFile(part, output)) {
            printError(QStringLiteral("--merge-stats: OUTPUT '%1' is the same file as the part "
                                      "'%2'; nothing written.")
                           .arg(output, part));
            return 2;
        }
        QByteArray text;
        QString why;
        if (!readRegularFile(part, maxPartSize, text, &why)) {
            printError(QStringLiteral("--merge-stats: cannot read '%1': %2; nothing written.")
                           .arg(part, why));
            return 2;
        }
        texts << text;
    }
    QByteArray merged;
    QString why;
    if (!mergeStatistics(texts, parts, *statisticsFormat(output), merged, why)) {
        printError(QStringLiteral("--merge-stats: %1; nothing written.").arg(why));
        return 2;
    }
    if (!writeBytesSafely(output, merged, &why)) {
        printError(QStringLiteral("cannot write '%1': %2; nothing written.").arg(output, why));
        return 1;
    }
    return 0;
}
