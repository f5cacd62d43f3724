#pragma once

#include "scene/viewfile.h"

#include <cstddef>
#include <vector>

/// The places visited, for Back and Forward. Moving back or forward, or showing the current place
/// at another size, changes which places lie either way of it in nothing.
class PlaceHistory
{
public:
    explicit PlaceHistory(std::size_t length = 200) : length_(length) {}

    /// Only place, current.
    void reset(const Place &place);
    /// A place visited: it follows the current one and becomes current, the places after the
    /// current one dropped; nothing when it is the current one. The oldest goes beyond length.
    void visit(const Place &place);
    /// The current place as it is shown now (at another size, or re-centred): replaces it.
    void update(const Place &place) { places_[index_] = place; }

    bool canGoBack() const { return index_ > 0; }
    bool canGoForward() const { return index_ + 1 < places_.size(); }
    /// Moves to the previous (next) place and returns it, as it was.
    const Place &back();
    const Place &forward();
    const Place &current() const { return places_[index_]; }

private:
    std::size_t length_;
    std::vector<Place> places_{Place()};
    std::size_t index_ = 0;
};
