#pragma once

#include "engine.h"
#include "view.h"

#include <cstdint>
#include <functional>
#include <vector>

/// A block of a view's start points finished together: the columns firstColumn,
/// firstColumn + columnStep, ... (columns of them) on the rows firstRow, firstRow + rowStep, ...
/// (rows of them), in the view's own counting.
struct ViewTile
{
    /// The pass the tile belongs to: 8, 4, 2 or 1. Once the pass of level L is complete, every
    /// start point whose column and row are both multiples of L is known.
    int level;
    int firstColumn, firstRow;
    int columnStep, rowStep;
    int columns, rows;
    bool passComplete; ///< the last tile of its pass (of its round, after the first)
    /// 0 for the passes; after them a round over the start points still running, whose tiles
    /// name no grid (level 1, no columns or rows): they finish some of those start points.
    int round = 0;
};

/// A view computed coarse to fine, or taken over in part from an earlier view of the same grid.
/// The passes never repeat a start point: first every 8th start point in each direction, then
/// those that refine it to every 4th, every 2nd and every start point. Only start points not yet
/// known are computed. Its maps hold PointOutcome::notComputed where nothing is known.
///
/// So that a few start points that run (almost) without end never hold up the rest, the passes
/// follow each start point at most firstBudget steps; those still running then are pending, and
/// rounds after the passes follow them afresh from their start, budgetGrowth times as far each
/// round, until the step limit. A trajectory cut short by a budget ends exactly as under that
/// step limit, so starting it again gives the same outcome and steps as one undisturbed run;
/// following it again from its start costs at most 1 / (budgetGrowth - 1) of its steps more.
class ProgressiveView
{
public:
    static constexpr int coarsestLevel = 8;
    static constexpr std::uint64_t firstBudget = 1024;
    static constexpr std::uint64_t budgetGrowth = 8;

    /// A computation of a view that checkView() accepts; nothing known yet.
    explicit ProgressiveView(const View &view, bool keepSteps = true);

    /// Takes over what earlier knows of the start points both views share, bit for bit and
    /// without computing them again, when earlier is of the same grid (same origin and spacing,
    /// moved by whole points); else takes nothing. Returns the start points taken over.
    std::int64_t keep(const ProgressiveView &earlier);

    /// Computes every start point not yet known, pass by pass, with engine; calls onTile on
    /// this thread after each tile, its start points already in maps(). Returns false when the
    /// engine was abandoned: what finished is kept, and a later run() computes the rest.
    bool run(Engine &engine, const std::function<void(const ViewTile &)> &onTile = {});

    const View &view() const { return view_; }
    const PointMaps &maps() const { return maps_; }
    /// Whether start point (i, j) of the view is known.
    bool known(int i, int j) const;
    /// Start points run() has computed so far (not those taken over).
    std::int64_t pointsComputed() const { return computed_; }
    /// Start points whose trajectory a pass or round began and that were still running at its
    /// budget: not known yet, and each at least budget() steps long.
    std::int64_t pending() const { return pending_; }
    /// The steps the longest pending trajectory has run so far: the largest budget that cut one
    /// short; 0 before any.
    std::uint64_t longestPending() const { return longestPending_; }

private:
    bool runRound(Engine &engine, const std::function<void(const ViewTile &)> &onTile);
    bool runPending(Engine &engine, const std::function<void(const ViewTile &)> &onTile);
    /// Computes the start points at where under the engine's budget into the maps; those the
    /// budget cuts short stay unknown and are counted in stillRunning.
    bool computeAt(Engine &engine, const std::vector<std::size_t> &where,
                   std::int64_t &stillRunning);

    View view_;
    PointMaps maps_;
    std::int64_t computed_ = 0;
    std::int64_t pending_ = 0;
    std::uint64_t budget_ = firstBudget;
    std::uint64_t longestPending_ = 0;
    int round_ = 0;
};
