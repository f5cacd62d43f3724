#include "statisticspart.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

/// Step counts below this are counted by index: 8 bytes each for every mass.
constexpr std::uint64_t denseSteps = std::uint64_t(1) << 16;

template <typename T>
void addAll(std::vector<T> &to, const std::vector<T> &from)
{
    for (std::size_t i = 0; i < to.size() && i < from.size(); ++i)
        to[i] += from[i];
}

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

bool StatisticsShape::operator==(const StatisticsShape &o) const
{
    return width == o.width && height == o.height && entropyBox == o.entropyBox &&
           masses == o.masses && steps == o.steps && wada == o.wada;
}

void StepCounts::add(std::uint64_t steps, std::int64_t times)
{
    if (steps < denseSteps) {
        if (steps >= dense_.size())
            dense_.resize(std::size_t(steps) + 1);
        dense_[std::size_t(steps)] += times;
    } else {
        pending_.emplace_back(steps, times);
        // Sorted in when as many as sorted, so that every capture costs a few steps at most.
        if (pending_.size() >= std::max<std::size_t>(denseSteps, sparse_.size()))
            flush();
    }
}

void StepCounts::flush() const
{
    if (pending_.empty())
        return;
    std::sort(pending_.begin(), pending_.end());
    std::vector<std::pair<std::uint64_t, std::int64_t>> merged;
    merged.reserve(sparse_.size() + pending_.size());
    std::merge(sparse_.begin(), sparse_.end(), pending_.begin(), pending_.end(),
               std::back_inserter(merged));
    sparse_.clear();
    for (const auto &entry : merged) {
        if (!sparse_.empty() && sparse_.back().first == entry.first)
            sparse_.back().second += entry.second;
        else
            sparse_.push_back(entry);
    }
    pending_.clear();
}

void StepCounts::add(const StepCounts &other)
{
    for (const auto &[steps, times] : other.entries())
        add(steps, times);
}

std::vector<std::pair<std::uint64_t, std::int64_t>> StepCounts::entries() const
{
    std::vector<std::pair<std::uint64_t, std::int64_t>> all;
    for (std::size_t i = 0; i < dense_.size(); ++i) {
        if (dense_[i] != 0)
            all.emplace_back(i, dense_[i]);
    }
    flush();
    all.insert(all.end(), sparse_.begin(), sparse_.end());
    return all;
}

std::optional<StepRange> StepCounts::range() const
{
    const auto all = entries();
    std::int64_t n = 0;
    for (const auto &entry : all)
        n += entry.second;
    if (n == 0)
        return std::nullopt;
    // The sorted captures' values at indices n / 2 - 1 and n / 2.
    const auto valueAt = [&](std::int64_t index) {
        std::int64_t before = 0;
        for (const auto &[steps, times] : all) {
            before += times;
            if (index < before)
                return steps;
        }
        return all.back().first;
    };
    StepRange range;
    range.min = all.front().first;
    range.max = all.back().first;
    const std::uint64_t middle = valueAt(n / 2);
    range.median = n % 2 == 1 ? double(middle) : (double(valueAt(n / 2 - 1)) + double(middle)) / 2;
    return range;
}

void PartTotals::add(const PartTotals &other)
{
    never += other.never;
    addAll(captured, other.captured);
    for (std::size_t k = 0; k < steps.size() && k < other.steps.size(); ++k)
        steps[k].add(other.steps[k]);
    boundary += other.boundary;
    addAll(boxCounts, other.boxCounts);
    addAll(meet, other.meet);
    for (std::size_t i = 0; i < missing.size(); ++i)
        missing[i] += other.missing[i];
}

CellBand::CellBand(int cellHeight, int limit, int values, int first)
    : cellHeight_(cellHeight), limit_(limit), values_(values), first_(first)
{
}

std::int32_t *CellBand::open(int y)
{
    if (y >= limit_)
        return nullptr;
    const int cell = y / cellHeight_;
    if (!open_ || open_->cell != cell)
        open_ = PartialCells{cell, std::vector<std::int32_t>(std::size_t(values_))};
    return open_->values.data();
}

std::optional<std::vector<std::int32_t>> CellBand::closed(int y)
{
    if (!open_ || y + 1 != (open_->cell + 1) * cellHeight_)
        return std::nullopt;
    PartialCells cells = std::move(*open_);
    open_.reset();
    if (cells.cell * cellHeight_ < first_) {
        head = std::move(cells);
        return std::nullopt;
    }
    return std::move(cells.values);
}

void CellBand::end()
{
    if (!open_)
        return;
    if (open_->cell * cellHeight_ < first_)
        head = std::move(*open_);
    else
        tail = std::move(*open_);
    open_.reset();
}

std::optional<std::vector<std::int32_t>> CellBand::merge(const PartialCells &cells, int through,
                                                         bool &ok)
{
    if (!open_) {
        open_ = cells;
    } else if (open_->cell == cells.cell && open_->values.size() == cells.values.size()) {
        addAll(open_->values, cells.values);
    } else {
        ok = false;
        return std::nullopt;
    }
    if ((open_->cell + 1) * cellHeight_ > through)
        return std::nullopt;
    std::vector<std::int32_t> values = std::move(open_->values);
    open_.reset();
    return values;
}

EntropyBand::EntropyBand(const StatisticsShape &shape, int first, bool record)
    : boxes_(shape.entropyBox > 0 ? shape.width / shape.entropyBox : 0),
      outcomes_(shape.masses + 1),
      boxPoints_(double(shape.entropyBox) * double(shape.entropyBox)), record_(record)
{
    const int down = shape.entropyBox > 0 ? shape.height / shape.entropyBox : 0;
    cells = CellBand(std::max(1, shape.entropyBox), boxes_ > 0 ? down * shape.entropyBox : 0,
                     boxes_ * outcomes_, first);
}

void EntropyBand::addBoxRow(const std::vector<std::int32_t> &counts)
{
    for (int box = 0; box < boxes_; ++box) {
        const double entropy =
            boxEntropy(counts.data() + std::size_t(box) * std::size_t(outcomes_), outcomes_,
                       boxPoints_);
        // Every entropy is +0 or above, and adding +0 leaves a sum begun at +0 as it is: the
        // sum over the boxes above 0 is the sum over all boxes, bit for bit.
        if (entropy > 0)
            add(entropy);
    }
}

void EntropyBand::add(double entropy)
{
    sum += entropy;
    ++nonzero;
    if (!record_)
        return;
    const auto found = codeOf_.try_emplace(bitsOf(entropy), std::uint32_t(values.size()));
    if (found.second)
        values.push_back(entropy);
    std::uint32_t code = found.first->second;
    while (code >= 0x80) {
        codes.append(char(0x80 | (code & 0x7F)));
        code >>= 7;
    }
    codes.append(char(code));
}

bool EntropyBand::replay(const std::vector<double> &entropies, const QByteArray &digits)
{
    std::uint64_t code = 0;
    int shift = 0;
    for (const char c : digits) {
        const auto byte = std::uint8_t(c);
        if (shift > 28)
            return false;
        code |= std::uint64_t(byte & 0x7F) << shift;
        shift += 7;
        if (byte & 0x80)
            continue;
        if (code >= entropies.size())
            return false;
        add(entropies[std::size_t(code)]);
        code = 0;
        shift = 0;
    }
    return shift == 0;
}

Statistics statisticsFrom(const StatisticsShape &shape, const PartTotals &totals,
                          const EntropyBand &entropy)
{
    Statistics s;
    s.points = std::int64_t(shape.width) * shape.height;
    s.captured = totals.captured;
    s.never = totals.never;
    for (const StepCounts &steps : totals.steps)
        s.steps.push_back(steps.range());
    s.entropyBox = shape.entropyBox;
    const int across = shape.width / shape.entropyBox;
    const int down = shape.height / shape.entropyBox;
    if (across > 0 && down > 0) {
        s.basinEntropy = entropy.sum / (double(across) * double(down));
        s.boundaryBasinEntropy = entropy.nonzero > 0 ? entropy.sum / double(entropy.nonzero) : 0.0;
    }
    s.boundaryFraction = s.points > 0 ? double(totals.boundary) / double(s.points) : 0.0;
    if (int(totals.boxCounts.size()) >= minBoxSizes && totals.boxCounts.front() > 0) {
        std::vector<double> counts;
        for (const std::int64_t count : totals.boxCounts)
            counts.push_back(double(count));
        s.boxDimension = boxCountSlope(counts);
    }
    if (shape.wada) {
        const auto share = [&](std::int64_t count) {
            return totals.boundary == 0 ? 0.0 : double(count) / double(totals.boundary);
        };
        WadaMeasures w;
        for (int m = 1; m <= shape.masses; ++m)
            w.meet.push_back(share(totals.meet[std::size_t(m)]));
        for (std::size_t i = 0; i < wadaRadii.size(); ++i) {
            const int side = 2 * wadaRadii[i] + 1;
            if (side <= shape.width && side <= shape.height)
                w.notWada[i] = share(totals.missing[i]);
        }
        s.wada = w;
    }
    return s;
}

bool StatisticsPartMerger::add(const StatisticsPart &part, QString &why)
{
    if (!started_) {
        started_ = true;
        picture_ = part.picture;
        shape_ = part.shape;
        totals_.captured.assign(std::size_t(shape_.masses), 0);
        totals_.steps.resize(shape_.steps ? std::size_t(shape_.masses) : 0);
        totals_.meet.assign(std::size_t(shape_.masses) + 1, 0);
        totals_.boxCounts.assign(part.boxes.size(), 0);
        entropy_ = EntropyBand(shape_, 0, false);
        for (const CellBand &band : part.boxes)
            boxes_.emplace_back(band.cellHeight(), boxGrid(shape_.width, shape_.height).down,
                                band.values(), 0);
    }
    if (part.picture != picture_ || !(part.shape == shape_) ||
        part.boxes.size() != boxes_.size()) {
        why = QStringLiteral("is of another picture than the first part");
        return false;
    }
    if (part.firstRow != end_) {
        why = part.firstRow > end_
                  ? QStringLiteral("starts at row %1: rows %2 to %1 are missing")
                        .arg(part.firstRow)
                        .arg(end_)
                  : QStringLiteral("starts at row %1, which an earlier part holds").arg(part.firstRow);
        return false;
    }
    bool ok = true;
    const auto merge = [&](CellBand &into, const std::optional<PartialCells> &cells) {
        return cells ? into.merge(*cells, part.endRow, ok) : std::nullopt;
    };
    totals_.add(part.totals);
    if (const auto counts = merge(entropy_.cells, part.entropy.cells.head))
        entropy_.addBoxRow(*counts);
    ok = ok && entropy_.replay(part.entropy.values, part.entropy.codes);
    if (const auto counts = merge(entropy_.cells, part.entropy.cells.tail))
        entropy_.addBoxRow(*counts);
    for (std::size_t s = 0; s < boxes_.size(); ++s) {
        for (const auto *cells : {&part.boxes[s].head, &part.boxes[s].tail}) {
            if (const auto marks = merge(boxes_[s], *cells))
                totals_.boxCounts[s] += std::count_if(marks->begin(), marks->end(),
                                                      [](std::int32_t v) { return v > 0; });
        }
    }
    if (!ok) {
        why = QStringLiteral("does not continue the boxes of the parts before it");
        return false;
    }
    end_ = part.endRow;
    return true;
}

std::optional<Statistics> StatisticsPartMerger::finish(QString &why)
{
    if (!started_) {
        why = QStringLiteral("no part");
        return std::nullopt;
    }
    if (end_ != shape_.height) {
        why = QStringLiteral("rows %1 to %2 are in no part").arg(end_).arg(shape_.height);
        return std::nullopt;
    }
    const bool open = entropy_.cells.pending() ||
                      std::any_of(boxes_.begin(), boxes_.end(),
                                  [](const CellBand &band) { return band.pending(); });
    if (open) {
        why = QStringLiteral("the parts' boxes do not add up to whole boxes");
        return std::nullopt;
    }
    return statisticsFrom(shape_, totals_, entropy_);
}
