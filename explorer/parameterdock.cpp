#include "parameterdock.h"

#include "parametertable.h"

#include "picture/surface.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace {

void paintSwatch(QPushButton *button, std::int32_t colour)
{
    const QColor c(toRgb(colour));
    button->setText(c.name());
    button->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: %2; }")
                              .arg(c.name(), c.lightness() > 128 ? QStringLiteral("black")
                                                                 : QStringLiteral("white")));
}

/// A step count as digits, or as 1e14.
QString stepsText(std::uint64_t steps)
{
    int exponent = 0;
    std::uint64_t mantissa = steps;
    while (mantissa >= 10 && mantissa % 10 == 0) {
        mantissa /= 10;
        ++exponent;
    }
    return exponent >= 6 ? QStringLiteral("%1e%2").arg(mantissa).arg(exponent)
                         : QString::number(steps);
}

} // namespace

ParameterDock::ParameterDock(QWidget *parent)
    : QDockWidget(QStringLiteral("Parameters"), parent), shade_(new QCheckBox)
{
    setObjectName(QStringLiteral("parameters"));
    auto *form = new QFormLayout;
    for (const ExplorerParameter &p : explorerParameters()) {
        switch (p.kind) {
        case ExplorerParameter::Kind::number:
            addNumber(form, p);
            break;
        case ExplorerParameter::Kind::colour:
            addColour(form, p);
            break;
        case ExplorerParameter::Kind::stepLimit:
            addStepLimit(form, p);
            break;
        }
    }
    shade_->setObjectName(QStringLiteral("shade"));
    shade_->setToolTip(QStringLiteral("Paint each capture darker the later it happens."));
    form->addRow(QStringLiteral("Shading"), shade_);
    connect(shade_, &QCheckBox::toggled, this, [this](bool on) {
        scene_.shade = on;
        changed();
    });

    auto *inner = new QWidget;
    inner->setLayout(form);
    auto *scroll = new QScrollArea;
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    setWidget(scroll);
    showScene();
}

void ParameterDock::addNumber(QFormLayout *form, const ExplorerParameter &p)
{
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(int(p.min), int(p.max));
    slider->setObjectName(p.name + QStringLiteral("-slider"));
    slider->setToolTip(p.help);
    auto *box = new QSpinBox;
    box->setRange(int(p.min), int(p.max));
    box->setSuffix(p.unit.isEmpty() ? QString() : QLatin1Char(' ') + p.unit);
    box->setObjectName(p.name);
    box->setToolTip(p.help);
    auto *row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addWidget(box);
    form->addRow(p.label, row);
    numbers_.push_back({&p, slider, box});
    connect(slider, &QSlider::valueChanged, box, &QSpinBox::setValue);
    connect(box, &QSpinBox::valueChanged, this, [this, slider, &p](int value) {
        slider->setValue(value);
        if (p.get(scene_) == std::uint64_t(value))
            return;
        p.set(scene_, std::uint64_t(value));
        changed();
    });
}

void ParameterDock::addColour(QFormLayout *form, const ExplorerParameter &p)
{
    auto *button = new QPushButton;
    button->setObjectName(p.name);
    button->setToolTip(p.help);
    form->addRow(p.label, button);
    colours_.push_back({&p, button});
    connect(button, &QPushButton::clicked, this, [this, &p] {
        const QColor chosen =
            QColorDialog::getColor(QColor(toRgb(std::int32_t(p.get(scene_)))), this, p.label);
        if (!chosen.isValid())
            return;
        p.set(scene_, std::uint64_t(fromRgb(chosen.rgb())));
        changed();
    });
}

void ParameterDock::addStepLimit(QFormLayout *form, const ExplorerParameter &p)
{
    stepLimit_ = new QLineEdit;
    stepLimit_->setObjectName(p.name);
    stepLimit_->setToolTip(p.help + QStringLiteral(" Digits, or like 5e6."));
    form->addRow(p.label, stepLimit_);
    connect(stepLimit_, &QLineEdit::editingFinished, this, [this, &p] {
        static const QRegularExpression form(
            QStringLiteral("^\\s*([0-9]{1,15})(?:[eE]([0-9]{1,2}))?\\s*$"));
        const QRegularExpressionMatch m = form.match(stepLimit_->text());
        std::uint64_t value = m.hasMatch() ? m.captured(1).toULongLong() : 0;
        for (int i = 0; m.hasMatch() && i < m.captured(2).toInt() && value <= p.max; ++i)
            value *= 10;
        if (value < p.min || value > p.max) {
            stepLimit_->setText(stepsText(p.get(scene_)));
            return;
        }
        stepLimit_->setText(stepsText(value));
        if (value == p.get(scene_))
            return;
        p.set(scene_, value);
        changed();
    });
}

void ParameterDock::setScene(const Scene &scene)
{
    scene_ = scene;
    showScene();
}

void ParameterDock::showScene()
{
    for (Number &n : numbers_) {
        const QSignalBlocker a(n.slider);
        const QSignalBlocker b(n.box);
        n.slider->setValue(int(n.parameter->get(scene_)));
        n.box->setValue(int(n.parameter->get(scene_)));
    }
    for (Colour &c : colours_)
        paintSwatch(c.button, std::int32_t(c.parameter->get(scene_)));
    for (const ExplorerParameter &p : explorerParameters()) {
        if (p.kind == ExplorerParameter::Kind::stepLimit)
            stepLimit_->setText(stepsText(p.get(scene_)));
    }
    const QSignalBlocker blocker(shade_);
    shade_->setChecked(scene_.shade);
}

void ParameterDock::changed()
{
    for (Colour &c : colours_)
        paintSwatch(c.button, std::int32_t(c.parameter->get(scene_)));
    emit sceneChanged(scene_);
}
