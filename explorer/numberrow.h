#pragma once

#include "sliderscale.h"

#include <QWidget>

#include <cstdint>

struct ParameterInfo;
class QSlider;
class QSpinBox;

/// A whole-number parameter as the dock offers it: a slider, logarithmic for weights and radii
/// with the default in the middle, beside a spin box with the unit. Every change, a slider's
/// included while it moves, is announced at once.
class NumberRow : public QWidget
{
    Q_OBJECT

public:
    /// Named after the parameter: the box as its name, the slider with "-slider" after it.
    explicit NumberRow(const ParameterInfo &parameter, QWidget *parent = nullptr);

    const ParameterInfo &parameter() const { return parameter_; }
    /// Shows value, announcing nothing.
    void showValue(std::int64_t value);

signals:
    void changed(std::int64_t value);

private:
    const ParameterInfo &parameter_;
    SliderScale scale_;
    QSlider *slider_;
    QSpinBox *box_;
};
