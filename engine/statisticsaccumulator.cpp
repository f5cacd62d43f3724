#include "statisticsaccumulator.h"

#include "boundary.h"

#include <QtGlobal>

#include <algorithm>
#include <cstring>

RowRange tileRows(int index, int count, int height)
{
    return {int(std::int64_t(index - 1) * height / count), int(std::int64_t(index) * height / count)};
}

int haloRows(bool wada)
{
    return wada ? wadaRadii.back() : 1;
}

StatisticsAccumulator::StatisticsAccumulator(const StatisticsShape &shape)
    : StatisticsAccumulator(shape, {0, shape.height}, false)
{
}

StatisticsAccumulator::StatisticsAccumulator(const StatisticsShape &shape, RowRange rows)
    : StatisticsAccumulator(shape, rows, true)
{
}

StatisticsAccumulator::StatisticsAccumulator(const StatisticsShape &shape, RowRange rows,
                                             bool part)
    : shape_(shape), rows_(rows), halo_(haloRows(shape.wada))
{
    fed_ = {std::max(0, rows.first - halo_), std::min(shape.height, rows.end + halo_)};
    next_ = fed_.first;
    measured_ = rows.first;
    const auto masses = std::size_t(shape.masses);
    totals_.captured.assign(masses, 0);
    if (shape.steps)
        totals_.steps.resize(masses);
    totals_.meet.assign(masses + 1, 0);
    // A part keeps its boxes' entropies for the merge; the whole picture only their sum.
    entropy_ = EntropyBand(shape, rows.first, part);
    const BoxGrid grid = boxGrid(shape.width, shape.height);
    if (grid.sizes >= minBoxSizes) {
        boxAcross_ = grid.across;
        boxDown_ = grid.down;
        for (int size = 1; size <= grid.sizes; ++size)
            boxes_.emplace_back(1 << size, grid.down, grid.across >> size, rows.first);
        totals_.boxCounts.assign(std::size_t(grid.sizes), 0);
    }
    windowRows_ = 2 * halo_ + 2;
    window_.resize(std::size_t(windowRows_) * std::size_t(shape.width));
    if (shape.wada)
        wadaColumns_.resize(wadaRadii.size() * masses * std::size_t(shape.width));
}

void StatisticsAccumulator::addRows(int firstRow, int rowCount, const std::uint8_t *outcomes,
                                    const std::uint64_t *steps)
{
    const auto width = std::size_t(shape_.width);
    for (int i = 0; i < rowCount; ++i) {
        const int y = firstRow + i;
        if (y < fed_.first || y >= fed_.end)
            continue;
        Q_ASSERT(y == next_);
        const std::uint8_t *rowOutcomes = outcomes + std::size_t(i) * width;
        keepRow(y, rowOutcomes);
        if (y >= rows_.first && y < rows_.end)
            countRow(y, rowOutcomes, steps ? steps + std::size_t(i) * width : nullptr);
        next_ = y + 1;
        measureReadyRows();
    }
}

void StatisticsAccumulator::keepRow(int y, const std::uint8_t *outcomes)
{
    std::memcpy(window_.data() + std::size_t(y % windowRows_) * std::size_t(shape_.width),
                outcomes, std::size_t(shape_.width));
}

const std::uint8_t *StatisticsAccumulator::row(int y) const
{
    return window_.data() + std::size_t(y % windowRows_) * std::size_t(shape_.width);
}

void StatisticsAccumulator::countRow(int y, const std::uint8_t *outcomes,
                                     const std::uint64_t *steps)
{
    const int width = shape_.width;
    for (int x = 0; x < width; ++x) {
        const std::uint8_t o = outcomes[x];
        if (o == 0) {
            ++totals_.never;
        } else {
            ++totals_.captured[o - 1];
            if (steps && !totals_.steps.empty())
                totals_.steps[o - 1].add(steps[x]);
        }
    }
    if (std::int32_t *cells = entropy_.cells.open(y)) {
        const int box = shape_.entropyBox;
        const int outcomesEach = shape_.masses + 1;
        const int counted = (width / box) * box;
        for (int x = 0; x < counted; ++x)
            ++cells[(x / box) * outcomesEach + outcomes[x]];
        if (const auto counts = entropy_.cells.closed(y))
            entropy_.addBoxRow(*counts);
    }
}

void StatisticsAccumulator::measureReadyRows()
{
    while (measured_ < rows_.end && std::min(shape_.height, measured_ + halo_ + 1) <= next_)
        measureRow(measured_++);
}

void StatisticsAccumulator::measureRow(int y)
{
    const int width = shape_.width;
    const std::uint8_t *here = row(y);
    const std::uint8_t *above = y > 0 ? row(y - 1) : nullptr;
    const std::uint8_t *below = y + 1 < shape_.height ? row(y + 1) : nullptr;
    std::vector<char> boundary(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        boundary[std::size_t(x)] = onBoundary(above, here, below, x, width);
        totals_.boundary += boundary[std::size_t(x)];
    }
    if (!boxes_.empty() && y < boxDown_) {
        // A pair of neighbours of different outcomes marks its left or upper point.
        std::vector<char> marks(static_cast<std::size_t>(boxAcross_));
        for (int x = 0; x < boxAcross_; ++x) {
            const std::uint8_t o = here[x];
            marks[std::size_t(x)] = (x + 1 < width && here[x + 1] != o) || (below && below[x] != o);
        }
        addBoxMarks(y, marks);
    }
    if (shape_.wada)
        addWada(y, boundary);
}

void StatisticsAccumulator::addBoxMarks(int y, const std::vector<char> &marks)
{
    std::vector<char> level = marks;
    for (std::size_t s = 0; s < boxes_.size(); ++s) {
        // The marks of this row gathered into the boxes of the next size across.
        const std::size_t across = level.size() / 2;
        for (std::size_t i = 0; i < across; ++i)
            level[i] = level[2 * i] || level[2 * i + 1];
        level.resize(across);
        std::int32_t *cells = boxes_[s].open(y);
        for (std::size_t i = 0; i < across; ++i)
            cells[i] |= level[i];
        if (const auto closed = boxes_[s].closed(y))
            totals_.boxCounts[s] += std::count_if(closed->begin(), closed->end(),
                                                  [](std::int32_t v) { return v > 0; });
    }
}

void StatisticsAccumulator::moveWadaColumns(int y)
{
    const int width = shape_.width;
    const int masses = shape_.masses;
    const auto addRow = [&](std::size_t radius, int j, int by) {
        const std::uint8_t *outcomes = row(j);
        std::uint16_t *columns = wadaColumns_.data() + radius * std::size_t(masses) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            if (outcomes[x] != 0)
                columns[std::size_t(outcomes[x] - 1) * std::size_t(width) + std::size_t(x)] +=
                    std::uint16_t(by);
        }
    };
    for (std::size_t i = 0; i < wadaRadii.size(); ++i) {
        const int r = wadaRadii[i];
        if (wadaRow_ < 0) {
            for (int j = std::max(0, y - r); j <= std::min(shape_.height - 1, y + r); ++j)
                addRow(i, j, 1);
        } else {
            if (y - 1 - r >= 0)
                addRow(i, y - 1 - r, -1);
            if (y + r < shape_.height)
                addRow(i, y + r, 1);
        }
    }
    wadaRow_ = y;
}

void StatisticsAccumulator::addWada(int y, const std::vector<char> &boundary)
{
    moveWadaColumns(y);
    if (std::find(boundary.begin(), boundary.end(), 1) == boundary.end())
        return;
    const int width = shape_.width;
    const int height = shape_.height;
    const auto masses = std::size_t(shape_.masses);
    for (int x = 0; x < width; ++x) {
        if (!boundary[std::size_t(x)])
            continue;
        std::uint32_t seen = 0;
        for (int j = std::max(0, y - 1); j <= std::min(height - 1, y + 1); ++j) {
            const std::uint8_t *outcomes = row(j);
            for (int i = std::max(0, x - 1); i <= std::min(width - 1, x + 1); ++i)
                seen |= outcomes[i] != 0 ? std::uint32_t(1) << (outcomes[i] - 1) : 0;
        }
        const int distinct = __builtin_popcount(seen);
        ++totals_.meet[std::size_t(std::min(shape_.masses, distinct))];
    }
    for (std::size_t i = 0; i < wadaRadii.size(); ++i) {
        // sums[(k - 1) * (width + 1) + x]: mass k's points in the block's columns left of x.
        std::vector<std::int32_t> &sums = wadaSums_;
        sums.resize(masses * std::size_t(width + 1));
        for (std::size_t k = 0; k < masses; ++k) {
            const std::uint16_t *columns =
                wadaColumns_.data() + (i * masses + k) * std::size_t(width);
            std::int32_t *sum = sums.data() + k * std::size_t(width + 1);
            for (int x = 0; x < width; ++x)
                sum[x + 1] = sum[x] + columns[x];
        }
        const int r = wadaRadii[i];
        const int rows = std::min(height, y + r + 1) - std::max(0, y - r);
        for (int x = 0; x < width; ++x) {
            if (!boundary[std::size_t(x)])
                continue;
            const int left = std::max(0, x - r);
            const int right = std::min(width, x + r + 1);
            const std::int32_t all = (right - left) * rows;
            bool missing = false;
            for (std::size_t k = 0; k < masses && !missing; ++k) {
                const std::int32_t *sum = sums.data() + k * std::size_t(width + 1);
                const std::int32_t captured = sum[right] - sum[left];
                missing = captured == 0 || captured == all;
            }
            totals_.missing[i] += missing;
        }
    }
}

Statistics StatisticsAccumulator::finish()
{
    Q_ASSERT(complete() && rows_.first == 0 && rows_.end == shape_.height);
    return statisticsFrom(shape_, totals_, entropy_);
}

StatisticsPart StatisticsAccumulator::part(const QString &picture, int tileIndex, int tileCount)
{
    Q_ASSERT(complete());
    entropy_.cells.end();
    for (CellBand &band : boxes_)
        band.end();
    StatisticsPart p;
    p.picture = picture;
    p.tileIndex = tileIndex;
    p.tileCount = tileCount;
    p.shape = shape_;
    p.firstRow = rows_.first;
    p.endRow = rows_.end;
    p.totals = totals_;
    p.entropy = entropy_;
    p.boxes = boxes_;
    return p;
}
