#include "numberrow.h"

#include "scene/parametertext.h"
#include "scene/sceneparameters.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace {

SliderScale scaleOf(const ParameterInfo &p)
{
    const bool position = p.kind == ParameterKind::x || p.kind == ParameterKind::y;
    // Every mass's weight and radius centred on mass one's default: a later mass has none.
    const ParameterInfo &centre = p.mass > 0 ? *massParameter(0, p.kind) : p;
    return SliderScale(p.min, maxValue(p, viewArea()), defaultValue(centre, defaultClient),
                       !position);
}

QString unitOf(const ParameterInfo &p)
{
    return p.kind == ParameterKind::radius || p.kind == ParameterKind::x ||
                   p.kind == ParameterKind::y
               ? QStringLiteral(" plane units")
               : QString();
}

} // namespace

NumberRow::NumberRow(const ParameterInfo &parameter, QWidget *parent)
    : QWidget(parent), parameter_(parameter), scale_(scaleOf(parameter)),
      slider_(new QSlider(Qt::Horizontal)), box_(new QSpinBox)
{
    const QString name = QLatin1String(parameter.name);
    const QString help = parameterHelp(parameter, viewArea());
    slider_->setRange(-SliderScale::halfRange, SliderScale::halfRange);
    slider_->setObjectName(name + QStringLiteral("-slider"));
    slider_->setToolTip(help);
    box_->setRange(int(parameter.min), int(maxValue(parameter, viewArea())));
    box_->setSuffix(unitOf(parameter));
    box_->setObjectName(name);
    box_->setToolTip(help);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(slider_, 1);
    row->addWidget(box_);
    connect(slider_, &QSlider::valueChanged, box_,
            [this](int position) { box_->setValue(int(scale_.value(position))); });
    connect(box_, &QSpinBox::valueChanged, this, [this](int value) {
        {
            const QSignalBlocker blocker(slider_);
            slider_->setValue(scale_.position(value));
        }
        emit changed(value);
    });
}

void NumberRow::showValue(std::int64_t value)
{
    const QSignalBlocker a(slider_);
    const QSignalBlocker b(box_);
    slider_->setValue(scale_.position(value));
    box_->setValue(int(value));
}
