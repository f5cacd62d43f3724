#pragma once

// A tile's statistics part is the JSON of a StatisticsPart (engine/statisticspart.h): the
// exact counts of the tile's rows of one picture, the entropies of its whole entropy boxes in
// scan order and the boxes its edges cut, marked with the picture's identity (the renderer's
// job identity) and the tile's place I/N.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct StatisticsPart;

/// Writes a tile's part to path, safely replaced; false with why.
bool writeStatisticsPartFile(const QString &path, const StatisticsPart &part, QString &why);

/// velmora-render --merge-stats OUTPUT PART... when the parts are tiles' statistics parts:
/// joins them, in any order on the command line, into exactly the statistics file (JSON or
/// CSV, as OUTPUT names) a single run of the whole picture writes. Reads the parts twice, one at
/// a time, so that memory stays that of one part. Returns the exit status: 0 written; 2 bad
/// input (a part that cannot be read or is no tile's part, a part of another picture, rows
/// missing or given twice, OUTPUT the same file as a part), nothing written; 1 OUTPUT could not
/// be written. One line on standard error says why.
int mergeTileStatisticsFiles(const QString &output, const QStringList &parts);
