#pragma once

// The statistics of a picture computed from its rows, band by band, in memory bounded by a few
// rows and one row of boxes: the whole picture's Statistics exactly, every double to the bit.
//
// On one machine: construct for the picture, feed all rows top to bottom (any band sizes), call
// finish(). Across machines: each machine constructs for its tile's rows [first, end), feeds
// the rows fedRows() names (its own and haloRows() more above and below, clipped at the
// picture's edges) and writes part(); a StatisticsPartMerger fed every tile's part in row
// order finishes to the single run's Statistics.

#include "statisticspart.h"

#include <cstdint>
#include <vector>

/// The first row and one past the last of tile index (1 to count) of count tiles of a picture
/// height rows tall: rows (index - 1) * height / count to index * height / count.
struct RowRange
{
    int first = 0;
    int end = 0;
};
RowRange tileRows(int index, int count, int height);

/// The rows above and below a band whose outcomes the band's statistics need: a point's
/// boundary mark looks at its neighbours, the wada measures at blocks of the largest radius.
int haloRows(bool wada);

class StatisticsAccumulator
{
public:
    /// For the whole picture.
    explicit StatisticsAccumulator(const StatisticsShape &shape);
    /// For the rows [rows.first, rows.end) of the picture: a tile, whose part() is merged.
    StatisticsAccumulator(const StatisticsShape &shape, RowRange rows);

    /// The rows to feed, in order: the counted rows with haloRows() more on each side, clipped.
    RowRange fedRows() const { return fed_; }
    /// Feeds rowCount rows from firstRow on, which must be the row after the last fed (the first
    /// of fedRows() at the start): width x rowCount outcomes (0 never captured, k captured by
    /// mass k, as PointOutcome and sim::Capture hold them) and as many step counts, or null
    /// when the shape keeps no steps. Rows outside fedRows() are ignored.
    void addRows(int firstRow, int rowCount, const std::uint8_t *outcomes,
                 const std::uint64_t *steps);
    /// Whether every row of fedRows() was fed.
    bool complete() const { return next_ >= fed_.end; }

    /// The statistics of the whole picture, once complete(): what basinStatistics, with
    /// wadaMeasures when the shape asks for them, gives on the whole picture.
    Statistics finish();
    /// The tile's partial state, once complete(), marked with the picture's identity and the
    /// tile's place.
    StatisticsPart part(const QString &picture, int tileIndex, int tileCount);

private:
    StatisticsAccumulator(const StatisticsShape &shape, RowRange rows, bool part);
    void countRow(int y, const std::uint8_t *outcomes, const std::uint64_t *steps);
    void keepRow(int y, const std::uint8_t *outcomes);
    void measureReadyRows();
    void measureRow(int y);
    void addBoxMarks(int y, const std::vector<char> &marks);
    void addWada(int y, const std::vector<char> &boundary);
    void moveWadaColumns(int y);
    const std::uint8_t *row(int y) const;

    StatisticsShape shape_;
    RowRange rows_;
    RowRange fed_;
    int halo_ = 1;
    int next_ = 0;     ///< the next row to feed
    int measured_ = 0; ///< the next counted row whose neighbours' measures are to be taken
    PartTotals totals_;
    EntropyBand entropy_;
    std::vector<CellBand> boxes_; ///< one for each box-counting size, 2 x 2 first
    int boxAcross_ = 0;
    int boxDown_ = 0;
    /// The last 2 halo + 2 rows fed, row y at (y mod that) * width.
    std::vector<std::uint8_t> window_;
    int windowRows_ = 0;
    /// For each wada radius r and mass k, each column's points of mass k in the rows y - r to
    /// y + r of the row y measured last: [(r index * masses + k - 1) * width + x].
    std::vector<std::uint16_t> wadaColumns_;
    int wadaRow_ = -1;
    /// Their sums along the row for one radius, left of x: [(k - 1) * (width + 1) + x].
    std::vector<std::int32_t> wadaSums_;
};
