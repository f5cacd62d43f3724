#pragma once

#include "picture/surface.h"
#include "sim/host.h"

#include <cstdint>

/// A window that is only a drawing surface: the core paints on a Surface, reads a fixed picture
/// rectangle and fixed radii, and nothing changes during a yield. Counts the pixels painted and
/// the yields. The Surface is not owned and must outlive the host.
class SurfaceHost : public sim::Host
{
public:
    SurfaceHost(Surface &surface, const sim::Rect &picture, std::int16_t radiusOne,
                std::int16_t radiusTwo)
        : surface_(surface), picture_(picture), radiusOne_(radiusOne), radiusTwo_(radiusTwo)
    {
    }

    std::int64_t painted = 0;
    std::int64_t yields = 0;

    void clear() override { surface_.clear(); }
    void drawCircle(float x, float y, float radius, std::int32_t colour) override
    {
        surface_.drawCircle(x, y, radius, colour);
    }
    void setPixel(float x, float y, std::int32_t colour) override
    {
        ++painted;
        surface_.setPixel(x, y, colour);
    }
    sim::Rect picture() const override { return picture_; }
    void setPictureBorder(int) override {}
    void setSpriteVisible(bool) override {}
    float spriteWidth() const override { return 10; }
    float spriteHeight() const override { return 10; }
    void moveSprite(float, float) override {}
    std::int16_t value(sim::Scrollbar bar) const override
    {
        return bar == sim::Scrollbar::vscradred ? radiusOne_ : radiusTwo_;
    }
    void setField(sim::Field, sim::Number) override {}
    bool yield() override
    {
        ++yields;
        return true;
    }
    void message(std::string_view, std::string_view) override {}

private:
    Surface &surface_;
    sim::Rect picture_;
    std::int16_t radiusOne_;
    std::int16_t radiusTwo_;
};
