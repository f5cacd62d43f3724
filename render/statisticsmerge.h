#pragma once

#include "scene/statisticsfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// A shard's statistics file is the whole sweep's file cut to the shard's frames, marked with
/// the sweep it belongs to: a CSV table under one first line "# shard I/N of F frames: SWEEP", or
/// the JSON object {"sweep": SWEEP, "shard": "I/N", "frame_count": F, "statistics": [...]} whose
/// array is the frames' part of the whole sweep's. SWEEP names everything the statistics depend
/// on.
struct ShardMark
{
    QString sweep;
    int index = 1;
    int count = 1;
    int frames = 0;
};

/// The contents of a shard's statistics file.
/// The contents of a shard's statistics file, for a field of this many fixed masses, with the
/// wada_* columns when wada.
QByteArray shardStatisticsText(const std::vector<FrameStatistics> &frames,
                               StatisticsFormat format, const ShardMark &mark, int masses = 2,
                               bool wada = false);

/// Joins the contents of all the shards' files of one sweep, in any order, into the contents of
/// the whole sweep's file. Returns false and sets why (naming the part by its name in names)
/// when a part is not such a file in this format, belongs to another sweep, or when shards are
/// missing or given twice.
bool mergeStatistics(const QList<QByteArray> &parts, const QStringList &names,
                     StatisticsFormat format, QByteArray &merged, QString &why);

/// velmora-render --merge-stats OUTPUT PART...: reads the parts, joins them and writes OUTPUT.
/// Returns the exit status: 0 written; 2 bad input (a part that cannot be read or is none of
/// this sweep's shards, a gap, an overlap, OUTPUT the same file as a part), nothing written; 1
/// OUTPUT could not be written. One line on standard error says why.
int mergeStatisticsFiles(const QString &output, const QStringList &parts);
