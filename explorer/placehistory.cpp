#include "placehistory.h"

void PlaceHistory::reset(const Place &place)
{
    places_ = {place};
    index_ = 0;
}

void PlaceHistory::visit(const Place &place)
{
    if (places_[index_] == place)
        return;
    places_.resize(index_ + 1);
    places_.push_back(place);
    if (places_.size() > length_)
        places_.erase(places_.begin());
    index_ = places_.size() - 1;
}

const Place &PlaceHistory::back()
{
    if (index_ > 0)
        --index_;
    return places_[index_];
}

const Place &PlaceHistory::forward()
{
    if (index_ + 1 < places_.size())
        ++index_;
    return places_[index_];
}
