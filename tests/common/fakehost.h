#pragma once

#include "sim/host.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

/// A window for the run that records what the run shows in it; what the run draws goes to a
/// canvas of the test's own. onYield, when set, runs inside every yield, as a handler of the real
/// window would.
class FakeHost : public sim::Host
{
public:
    sim::Rect rect{10, 20, 3, 2};
    std::int16_t radiusOne = 5;
    std::int16_t radiusTwo = 5;
    float spriteW = 10;
    float spriteH = 10;

    std::array<sim::Number, sim::fieldCount> fields{};
    std::array<int, sim::fieldCount> fieldWrites{};
    std::pair<float, float> sprite{};
    bool spriteVisible = true;
    int border = 1;
    long long yields = 0;
    std::vector<std::pair<std::string, std::string>> messages;
    std::function<void()> onYield;
    bool ending = false;

    sim::Rect picture() const override { return rect; }
    void setPictureBorder(int style) override { border = style; }
    void setSpriteVisible(bool visible) override { spriteVisible = visible; }
    float spriteWidth() const override { return spriteW; }
    float spriteHeight() const override { return spriteH; }
    void moveSprite(float left, float top) override { sprite = {left, top}; }
    std::int16_t value(sim::Scrollbar bar) const override
    {
        return bar == sim::Scrollbar::vscradred ? radiusOne : radiusTwo;
    }
    void setField(sim::Field field, sim::Number n) override
    {
        fields[std::size_t(field)] = n;
        ++fieldWrites[std::size_t(field)];
    }
    bool yield() override
    {
        ++yields;
        if (onYield)
            onYield();
        return !ending;
    }
    void message(std::string_view text, std::string_view title) override
    {
        messages.emplace_back(text, title);
    }

    sim::Number field(sim::Field f) const { return fields[std::size_t(f)]; }
    int writes(sim::Field f) const { return fieldWrites[std::size_t(f)]; }
};
