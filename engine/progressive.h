#pragma once

#include "engine.h"
#include "view.h"

#include <cstdint>
#include <functional>

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
    bool passComplete; ///< the last tile of its pass
};

/// A view computed coarse to fine, or taken over in part from an earlier view of the same grid.
/// The passes never repeat a start point: first every 8th start point in each direction, then
/// those that refine it to every 4th, every 2nd and every start point. Only start points not yet
/// known are computed. Its maps hold PointOutcome::notComputed where nothing is known.
class ProgressiveView
{
public:
    static constexpr int coarsestLevel = 8;

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

private:
    View view_;
    PointMaps maps_;
    std::int64_t computed_ = 0;
};
