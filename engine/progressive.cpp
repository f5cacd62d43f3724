#include "progressive.h"

#include <algorithm>
#include <cstring>

namespace {

/// Tiles of about this many start points at most, so that the caller hears of progress often:
/// about a tenth of a second of work at the first budget.
constexpr std::int64_t tilePoints = 32768;

/// The start points a pass adds: every level-th column and row, less those of the coarser pass.
/// For level 8 one grid; otherwise two, which with the coarser pass's make every level-th.
std::vector<ViewTile> passGrids(int level, int width, int height)
{
    const auto count = [](int extent, int first, int step) {
        return first < extent ? (extent - 1 - first) / step + 1 : 0;
    };
    std::vector<ViewTile> grids;
    if (level == ProgressiveView::coarsestLevel) {
        grids.push_back(
            {level, 0, 0, level, level, count(width, 0, level), count(height, 0, level), false});
        return grids;
    }
    const int twice = 2 * level;
    // Odd multiples of level across, every level-th row; then even multiples across, odd
    // multiples down.
    grids.push_back({level, level, 0, twice, level, count(width, level, twice),
                     count(height, 0, level), false});
    grids.push_back({level, 0, level, twice, twice, count(width, 0, twice),
                     count(height, level, twice), false});
    return grids;
}

/// grid cut into tiles of whole rows of at most about tilePoints start points.
std::vector<ViewTile> tilesOf(const ViewTile &grid)
{
    std::vector<ViewTile> tiles;
    if (grid.columns == 0 || grid.rows == 0)
        return tiles;
    const int rowsEach = int(std::max<std::int64_t>(1, tilePoints / grid.columns));
    for (int first = 0; first < grid.rows; first += rowsEach) {
        ViewTile t = grid;
        t.firstRow = grid.firstRow + first * grid.rowStep;
        t.rows = std::min(rowsEach, grid.rows - first);
        tiles.push_back(t);
    }
    return tiles;
}

} // namespace

ProgressiveView::ProgressiveView(const View &view, bool keepSteps) : view_(view)
{
    maps_.width = view.width;
    maps_.height = view.height;
    maps_.outcomes.assign(std::size_t(view.pointCount()), std::uint8_t(PointOutcome::notComputed));
    maps_.steps.assign(keepSteps ? maps_.outcomes.size() : 0, 0);
}

bool ProgressiveView::known(int i, int j) const
{
    return maps_.outcomes[std::size_t(j) * std::size_t(view_.width) + std::size_t(i)] !=
           std::uint8_t(PointOutcome::notComputed);
}

std::int64_t ProgressiveView::keep(const ProgressiveView &earlier)
{
    const View &e = earlier.view_;
    // Bitwise the same grid, so that a shared start point has the same bits in both.
    if (std::memcmp(&e.x, &view_.x, sizeof e.x) != 0 ||
        std::memcmp(&e.y, &view_.y, sizeof e.y) != 0 ||
        std::memcmp(&e.spacing, &view_.spacing, sizeof e.spacing) != 0) {
        return 0;
    }
    const std::int64_t left = std::max(e.column, view_.column);
    const std::int64_t right = std::min(e.column + e.width, view_.column + view_.width);
    const std::int64_t top = std::max(e.row, view_.row);
    const std::int64_t bottom = std::min(e.row + e.height, view_.row + view_.height);
    const bool steps = !maps_.steps.empty() && !earlier.maps_.steps.empty();
    std::int64_t taken = 0;
    for (std::int64_t r = top; r < bottom; ++r) {
        const std::size_t from = std::size_t((r - e.row) * e.width + (left - e.column));
        const std::size_t to = std::size_t((r - view_.row) * view_.width + (left - view_.column));
        for (std::int64_t c = 0; c < right - left; ++c) {
            const std::uint8_t outcome = earlier.maps_.outcomes[from + std::size_t(c)];
            if (outcome == std::uint8_t(PointOutcome::notComputed) ||
                (!maps_.steps.empty() && !steps)) {
                continue;
            }
            maps_.outcomes[to + std::size_t(c)] = outcome;
            if (steps)
                maps_.steps[to + std::size_t(c)] = earlier.maps_.steps[from + std::size_t(c)];
            ++taken;
        }
    }
    return taken;
}

bool ProgressiveView::run(Engine &engine, const std::function<void(const ViewTile &)> &onTile)
{
    for (;;) {
        engine.setStepBudget(budget_);
        if (!(round_ == 0 ? runRound(engine, onTile) : runPending(engine, onTile)))
            return false;
        if (pending_ == 0)
            return true;
        budget_ = budget_ > engine.parameters().stepLimit / budgetGrowth
                      ? engine.parameters().stepLimit
                      : budget_ * budgetGrowth;
        ++round_;
    }
}

bool ProgressiveView::computeAt(Engine &engine, const std::vector<std::size_t> &where,
                                std::int64_t &stillRunning)
{
    stillRunning = 0;
    std::vector<float> x(where.size());
    std::vector<double> y(where.size());
    const auto width = std::size_t(view_.width);
    for (std::size_t k = 0; k < where.size(); ++k) {
        x[k] = view_.columnX(std::int64_t(where[k] % width));
        y[k] = view_.rowY(std::int64_t(where[k] / width));
    }
    std::vector<std::uint8_t> outcomes(where.size(), std::uint8_t(PointOutcome::notComputed));
    std::vector<std::uint64_t> steps(where.size(), 0);
    const bool finished = engine.computePoints(x.data(), y.data(), std::int64_t(where.size()),
                                               outcomes.data(), steps.data());
    const std::uint64_t budget = engine.stepBudget();
    const bool cut = budget < engine.parameters().stepLimit;
    for (std::size_t k = 0; k < where.size(); ++k) {
        if (outcomes[k] == std::uint8_t(PointOutcome::notComputed))
            continue;
        if (cut && outcomes[k] == std::uint8_t(PointOutcome::never) && steps[k] == budget) {
            ++stillRunning; // followed further in a later round
            longestPending_ = budget;
            continue;
        }
        maps_.outcomes[where[k]] = outcomes[k];
        if (!maps_.steps.empty())
            maps_.steps[where[k]] = steps[k];
        ++computed_;
    }
    return finished;
}

bool ProgressiveView::runRound(Engine &engine, const std::function<void(const ViewTile &)> &onTile)
{
    std::vector<std::size_t> where;
    pending_ = 0;
    for (int level = coarsestLevel; level >= 1; level /= 2) {
        std::vector<ViewTile> tiles;
        for (const ViewTile &grid : passGrids(level, view_.width, view_.height)) {
            const std::vector<ViewTile> some = tilesOf(grid);
            tiles.insert(tiles.end(), some.begin(), some.end());
        }
        for (std::size_t t = 0; t < tiles.size(); ++t) {
            ViewTile &tile = tiles[t];
            tile.passComplete = t + 1 == tiles.size();
            // Only the start points not known yet, as a list.
            where.clear();
            for (int r = 0; r < tile.rows; ++r) {
                const int j = tile.firstRow + r * tile.rowStep;
                for (int c = 0; c < tile.columns; ++c) {
                    const int i = tile.firstColumn + c * tile.columnStep;
                    const std::size_t at =
                        std::size_t(j) * std::size_t(view_.width) + std::size_t(i);
                    if (maps_.outcomes[at] == std::uint8_t(PointOutcome::notComputed))
                        where.push_back(at);
                }
            }
            std::int64_t stillRunning = 0;
            const bool finished = computeAt(engine, where, stillRunning);
            pending_ += stillRunning;
            if (!finished)
                return false;
            if (onTile)
                onTile(tile);
        }
    }
    return true;
}

bool ProgressiveView::runPending(Engine &engine,
                                 const std::function<void(const ViewTile &)> &onTile)
{
    // The pending start points, coarse passes' first.
    std::vector<std::size_t> all;
    for (int level = coarsestLevel; level >= 1; level /= 2) {
        for (const ViewTile &grid : passGrids(level, view_.width, view_.height)) {
            for (int r = 0; r < grid.rows; ++r) {
                const int j = grid.firstRow + r * grid.rowStep;
                for (int c = 0; c < grid.columns; ++c) {
                    const std::size_t at = std::size_t(j) * std::size_t(view_.width) +
                                           std::size_t(grid.firstColumn + c * grid.columnStep);
                    if (maps_.outcomes[at] == std::uint8_t(PointOutcome::notComputed))
                        all.push_back(at);
                }
            }
        }
    }
    // Batches of about as many steps as a tile of the passes, for progress as often.
    const std::size_t batch = std::size_t(std::clamp<std::uint64_t>(
        tilePoints * firstBudget / budget_, 64, std::uint64_t(tilePoints)));
    pending_ = std::int64_t(all.size());
    std::vector<std::size_t> where;
    for (std::size_t first = 0; first < all.size(); first += batch) {
        const std::size_t end = std::min(all.size(), first + batch);
        where.assign(all.begin() + std::ptrdiff_t(first), all.begin() + std::ptrdiff_t(end));
        const std::int64_t before = computed_;
        std::int64_t stillRunning = 0;
        const bool finished = computeAt(engine, where, stillRunning);
        pending_ -= computed_ - before;
        if (!finished)
            return false;
        if (onTile)
            onTile({1, 0, 0, 1, 1, 0, 0, end == all.size(), round_});
    }
    return true;
}
