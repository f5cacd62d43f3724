#pragma once

#include "engine/statistics.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

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

/// The header line of a statistics table, newline included.
QByteArray statisticsCsvHeader();
/// One line of the table, newline included; absent values are empty fields.
QByteArray statisticsCsvRow(const Statistics &statistics, const StatisticsFrame &frame = {});
/// One JSON object without a final newline; absent entropies are null and a mass that captured
/// nothing has no step entry. With a frame, its "frame" and "value" come first.
QByteArray statisticsJson(const Statistics &statistics,
                          const std::optional<StatisticsFrame> &frame = std::nullopt);

enum class StatisticsFormat { json, csv };

/// The format a statistics file name asks for: .json or .csv, in any case; none otherwise.
std::optional<StatisticsFormat> statisticsFormat(const QString &path);

/// Writes the statistics of a single picture to path (its format from the extension: the JSON
/// object, or the table's header and one row) through the safe file writing: nothing partial,
/// an old file intact on failure. Returns false and sets *reason (if given) on failure.
bool writeStatisticsFile(const QString &path, const Statistics &statistics,
                         QString *reason = nullptr);
