#pragma once

// The exact state of a picture's statistics over a band of its rows, and the merge of the
// bands of one picture in row order into its Statistics. Everything is a whole-number count
// but the basin entropy's sum, which adds the boxes' entropies one by one in scan order; a
// band keeps its boxes' entropies in that order so that the merge adds them as the whole
// picture does.

#include "statistics.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

/// What a picture's statistics are computed for.
struct StatisticsShape
{
    int width = 0;
    int height = 0;
    int entropyBox = defaultEntropyBox;
    int masses = 2;
    bool steps = false; ///< whether step counts are fed and step ranges given
    bool wada = false;  ///< whether the wada measures are taken
    bool operator==(const StatisticsShape &o) const;
};

/// How often each step count occurs among one mass's captures.
class StepCounts
{
public:
    void add(std::uint64_t steps, std::int64_t times = 1);
    void add(const StepCounts &other);
    /// (steps, times) in increasing steps.
    std::vector<std::pair<std::uint64_t, std::int64_t>> entries() const;
    /// min, median and max as basinStatistics gives them; none without captures.
    std::optional<StepRange> range() const;

private:
    /// Adds the pending large step counts to sparse_.
    void flush() const;

    /// Counts of the small step counts by index; the rest by value in increasing steps, and
    /// those not sorted in yet (a map would take a search for every capture).
    std::vector<std::int64_t> dense_;
    mutable std::vector<std::pair<std::uint64_t, std::int64_t>> sparse_;
    mutable std::vector<std::pair<std::uint64_t, std::int64_t>> pending_;
};

/// The counts that are added up band by band.
struct PartTotals
{
    std::int64_t never = 0;
    std::vector<std::int64_t> captured;
    std::vector<StepCounts> steps; ///< one a mass when steps are kept
    std::int64_t boundary = 0;     ///< start points with a neighbour of another outcome
    /// Boxes holding a boundary mark, for each box-counting size, 2 x 2 first.
    std::vector<std::int64_t> boxCounts;
    std::vector<std::int64_t> meet;                    ///< by distinct masses, 0 to masses
    std::array<std::int64_t, wadaRadii.size()> missing{}; ///< by wada radius

    void add(const PartTotals &other);
};

/// One row of boxes of a grid, cut by a band's edge: the box row's number and a value for each
/// box (or each box and outcome) over the band's rows.
struct PartialCells
{
    int cell = 0;
    std::vector<std::int32_t> values;
};

/// A grid of boxes cellHeight rows tall over the rows [0, limit) of a picture, filled by the
/// rows of a band that starts at row first: the box row open, and those the band's edges cut.
class CellBand
{
public:
    CellBand() = default;
    CellBand(int cellHeight, int limit, int values, int first);
    /// The open box row's values, opened zeroed at the first row of a box row; null for rows at
    /// or past the limit.
    std::int32_t *open(int y);
    /// After row y: the values of the box row it completes when the band holds all of its rows
    /// (a box row begun before the band becomes head instead).
    std::optional<std::vector<std::int32_t>> closed(int y);
    /// At the band's end: an unfinished box row becomes head (when begun before the band) or
    /// tail.
    void end();
    /// Merging bands in order: adds a band's cut box row; the values once the rows before
    /// through complete it. Sets ok false when another box row is open.
    std::optional<std::vector<std::int32_t>> merge(const PartialCells &cells, int through,
                                                   bool &ok);
    /// Whether a box row is open, begun and not complete.
    bool pending() const { return open_.has_value(); }
    int cellHeight() const { return cellHeight_; }
    int values() const { return values_; }
    /// The box rows the band's first and last rows cut (one box row cut at both ends is head).
    std::optional<PartialCells> head;
    std::optional<PartialCells> tail;

private:
    int cellHeight_ = 1;
    int limit_ = 0;
    int values_ = 0;
    int first_ = 0;
    std::optional<PartialCells> open_;
};

/// The basin entropy's boxes: each complete box row's entropies are added to the sum in scan
/// order, and when recording also kept in that order (a band's part).
class EntropyBand
{
public:
    EntropyBand() = default;
    EntropyBand(const StatisticsShape &shape, int first, bool record);
    CellBand cells;
    double sum = 0;
    /// The boxes whose entropy is above 0: they alone change the sum.
    std::int64_t nonzero = 0;
    /// When recording: the distinct entropies above 0, and each such box's index into them in
    /// scan order, as base-128 digits (7 bits a byte, lowest first, the top bit set on all but
    /// the last).
    std::vector<double> values;
    QByteArray codes;

    void addBoxRow(const std::vector<std::int32_t> &counts);
    /// Adds a later band's recorded entropies, in order.
    bool replay(const std::vector<double> &values, const QByteArray &codes);

private:
    void add(double entropy);
    int boxes_ = 0;
    int outcomes_ = 0;
    double boxPoints_ = 0;
    bool record_ = false;
    std::unordered_map<std::uint64_t, std::uint32_t> codeOf_;
};

/// A band's state: a tile's rows of one picture, for the merge.
struct StatisticsPart
{
    /// What the picture's statistics depend on (its view and parameters), and the tile's place.
    QString picture;
    int tileIndex = 1;
    int tileCount = 1;
    StatisticsShape shape;
    int firstRow = 0;
    int endRow = 0;
    PartTotals totals;
    EntropyBand entropy;
    std::vector<CellBand> boxes;
};

/// The part as a JSON document of one object, newline ended.
QByteArray statisticsPartJson(const StatisticsPart &part);
/// Reads a part written by statisticsPartJson; false with why when text is none.
bool readStatisticsPart(const QByteArray &text, StatisticsPart &part, QString &why);
/// Whether text starts as a part's JSON does.
bool looksLikeStatisticsPart(const QByteArray &text);

/// The statistics from the whole picture's totals and entropy sum.
Statistics statisticsFrom(const StatisticsShape &shape, const PartTotals &totals,
                          const EntropyBand &entropy);

/// Joins the parts of one picture, fed in row order, one at a time.
class StatisticsPartMerger
{
public:
    /// Adds the next part; false with why when it is of another picture or shape than the first,
    /// or does not start at the row the parts so far end at.
    bool add(const StatisticsPart &part, QString &why);
    /// The whole picture's statistics; none with why when the parts end before its last row.
    std::optional<Statistics> finish(QString &why);

private:
    bool started_ = false;
    QString picture_;
    StatisticsShape shape_;
    int end_ = 0;
    PartTotals totals_;
    EntropyBand entropy_;
    std::vector<CellBand> boxes_;
};
