#include "stepslider.h"

#include "sliderscale.h"

#include "scene/text.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>
#include <limits>

QWidget *withStepSlider(QLineEdit *edit, std::uint64_t max, std::uint64_t centre)
{
    const std::uint64_t top = std::min<std::uint64_t>(max, std::numeric_limits<std::int64_t>::max());
    // A default at the top (as the step limit's is) leaves no middle: then a decade is as wide
    // everywhere.
    const std::int64_t middle =
        centre < top ? std::int64_t(centre) : std::llround(std::sqrt(double(top)));
    const SliderScale scale(1, std::int64_t(top), middle, true);
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(-SliderScale::halfRange, SliderScale::halfRange);
    slider->setObjectName(edit->objectName() + QStringLiteral("-slider"));
    slider->setToolTip(edit->toolTip());
    layout->addWidget(slider, 1);
    layout->addWidget(edit);
    QObject::connect(slider, &QSlider::valueChanged, edit, [edit, scale](int position) {
        edit->setText(stepsText(std::uint64_t(scale.value(position))));
        emit edit->editingFinished();
    });
    QObject::connect(edit, &QLineEdit::textChanged, slider, [slider, scale, top](const QString &text) {
        std::uint64_t steps = 0;
        if (!readSteps(text.trimmed(), top, steps))
            return;
        const QSignalBlocker blocker(slider);
        slider->setValue(scale.position(std::int64_t(steps)));
    });
    return row;
}
