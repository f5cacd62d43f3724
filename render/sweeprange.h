#pragma once

#include "renderer.h"

#include "engine/parameters.h"

#include <QSize>
#include <QString>

#include <cstdint>

/// One option of the renderer stepped over whole values: NAME=FROM:TO:STEP. The values are FROM,
/// FROM ± STEP, ... towards TO, never past it; TO is the last one when a step lands on it
/// exactly. FROM greater than TO counts down.
class SweepRange
{
public:
    /// The most frames one sweep may have.
    static constexpr int maxFrames = 10000;

    /// The names that can be swept, as the help lists them: the two masses' and the moving
    /// mass's, then the pattern of every later mass's.
    static QString names();
    /// The names that can be swept with this many fixed masses, comma-separated.
    static QString names(int masses);

    /// Reads NAME=FROM:TO:STEP, with FROM and TO in the option's range for a drawing surface of
    /// the given size, NAME one of a scene of this many fixed masses. On failure returns false
    /// and sets accepts to what would have been read.
    bool read(const QString &text, QSize client, int masses, QString &accepts);

    QString name() const { return QLatin1String(parameter_->name); }
    /// The range as read, NAME=FROM:TO:STEP with the numbers in plain digits.
    const QString &text() const { return text_; }
    int frameCount() const { return frameCount_; }
    /// The value of frame 0 .. frameCount() - 1.
    int value(int frame) const { return from_ + direction_ * step_ * frame; }

    /// The parameters of one frame: base with the swept option set to value.
    RenderParameters frame(const RenderParameters &base, int value) const;
    /// The swept parameter and its unit, for an axis: "moving mass (10^7 kg)".
    QString title() const;

private:
    const ParameterInfo *parameter_ = nullptr;
    QString text_;
    int from_ = 0;
    int step_ = 1;
    int direction_ = 1;
    int frameCount_ = 0;
};
