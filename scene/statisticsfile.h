#pragma once

#include "engine/statistics.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

/// A picture's place in a series: its number counted from 0 and the value of the option that
/// varies, none for a single picture.
struct StatisticsFrame
{
    std::int64_t number = 0;
    std::optional<std::int64_t> value;
};

/// The statistics as text. Numbers are written in the C locale whatever the user's, in the
/// shortest form that reads back to the same value; a number that is not whole by nature keeps
/// a decimal point even when its value is ("26.0").

/// The header line of a statistics table of a field of this many fixed masses, newline
/// included: the columns of each outcome in the order one, two, ... never; with wada, the
/// wada_* columns last.
QByteArray statisticsCsvHeader(int masses = 2, bool wada = false);
/// One line of the table, newline included; absent values are empty fields.
QByteArray statisticsCsvRow(const Statistics &statistics, const StatisticsFrame &frame = {});
/// One JSON object without a final newline; absent entropies are null and a mass that captured
/// nothing has no step entry. With a frame, its "frame" and "value" come first.
QByteArray statisticsJson(const Statistics &statistics,
                          const std::optional<StatisticsFrame> &frame = std::nullopt);

enum class StatisticsFormat { json, csv };

/// One frame's statistics and its place.
struct FrameStatistics
{
    StatisticsFrame place;
    Statistics statistics;
};

/// The contents of a statistics file: for a single picture (series false, one frame) the JSON
/// object or the table's header and row; for a series the table with a row for each frame, or a
/// JSON array of the frames' objects.
/// A table's header is that of a field of this many fixed masses, with wada_* columns when
/// wada.
QByteArray statisticsText(const std::vector<FrameStatistics> &frames, StatisticsFormat format,
                          bool series, int masses = 2, bool wada = false);

/// The format a statistics file name asks for: .json or .csv, in any case; none otherwise.
std::optional<StatisticsFormat> statisticsFormat(const QString &path);
