#include "parameterdock.h"
#include "stepslider.h"

#include "scene/parametertext.h"
#include "scene/sceneparameters.h"
#include "scene/text.h"

#include "picture/surface.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace {

void paintSwatch(QPushButton *button, std::int32_t colour)
{
    const QColor c(toRgb(colour));
    button->setText(c.name());
    // A border of its own, so that the style paints the exact colour, not a shade of it.
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; "
                                         "border: 1px solid #707070; padding: 3px; }")
                              .arg(c.name(), c.lightness() > 128 ? QStringLiteral("black")
                                                                 : QStringLiteral("white")));
}

/// What the dock calls a parameter: the help's words, but shorter for the step limit and the
/// colours.
QString labelOf(const SceneParameter &p)
{
    if (p.kind == SceneParameter::Kind::steps)
        return QStringLiteral("Step limit");
    if (p.kind != SceneParameter::Kind::colour)
        return QLatin1String(p.description);
    if (p.mass < 0)
        return QStringLiteral("Background");
    return QStringLiteral("Colour %1").arg(QLatin1String(massWord(p.mass + 1)));
}

QString helpOf(const SceneParameter &p)
{
    if (p.trajectory)
        return parameterHelp(*p.trajectory, viewArea());
    return p.mass < 0 ? QStringLiteral("Colour where no mass captures.")
                      : QLatin1String(p.description) + QLatin1Char('.');
}

QString unitOf(const SceneParameter &p)
{
    if (!p.trajectory)
        return {};
    const ParameterKind kind = p.trajectory->kind;
    return kind == ParameterKind::radius || kind == ParameterKind::x || kind == ParameterKind::y
               ? QStringLiteral("plane units")
               : QString();
}

} // namespace

ParameterDock::ParameterDock(QWidget *parent)
    : QDockWidget(QStringLiteral("Parameters"), parent), shade_(new QCheckBox)
{
    setObjectName(QStringLiteral("parameters"));
    auto *form = new QFormLayout;
    for (const SceneParameter &p : sceneParameters()) {
        switch (p.kind) {
        case SceneParameter::Kind::number:
            addNumber(form, p);
            break;
        case SceneParameter::Kind::colour:
            addColour(form, p);
            break;
        case SceneParameter::Kind::steps:
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

void ParameterDock::addNumber(QFormLayout *form, const SceneParameter &p)
{
    const QString name = QLatin1String(p.name);
    const int min = int(p.min());
    const int max = int(p.max(viewArea()));
    // Masses and radii span orders of magnitude: logarithmic, the default in the middle.
    const ParameterKind kind = p.trajectory->kind;
    const SliderScale scale(min, max, p.get(Scene()),
                            kind != ParameterKind::x && kind != ParameterKind::y);
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(-SliderScale::halfRange, SliderScale::halfRange);
    slider->setObjectName(name + QStringLiteral("-slider"));
    slider->setToolTip(helpOf(p));
    auto *box = new QSpinBox;
    box->setRange(min, max);
    box->setSuffix(unitOf(p).isEmpty() ? QString() : QLatin1Char(' ') + unitOf(p));
    box->setObjectName(name);
    box->setToolTip(helpOf(p));
    auto *row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addWidget(box);
    form->addRow(labelOf(p), row);
    numbers_.push_back({&p, slider, box, scale});
    connect(slider, &QSlider::valueChanged, box,
            [box, scale](int position) { box->setValue(int(scale.value(position))); });
    connect(box, &QSpinBox::valueChanged, this, [this, slider, scale, &p](int value) {
        {
            const QSignalBlocker blocker(slider);
            slider->setValue(scale.position(value));
        }
        if (p.get(scene_) == value)
            return;
        p.set(scene_, value);
        changed();
    });
}

void ParameterDock::addColour(QFormLayout *form, const SceneParameter &p)
{
    auto *button = new QPushButton;
    button->setObjectName(QLatin1String(p.name));
    button->setToolTip(helpOf(p));
    form->addRow(labelOf(p), button);
    colours_.push_back({&p, button});
    connect(button, &QPushButton::clicked, this, [this, &p] {
        const QColor chosen =
            QColorDialog::getColor(QColor(toRgb(std::int32_t(p.get(scene_)))), this, labelOf(p));
        if (!chosen.isValid())
            return;
        p.set(scene_, fromRgb(chosen.rgb()));
        changed();
    });
}

void ParameterDock::addStepLimit(QFormLayout *form, const SceneParameter &p)
{
    stepLimit_ = new QLineEdit;
    stepLimit_->setObjectName(QLatin1String(p.name));
    stepLimit_->setToolTip(helpOf(p) + QStringLiteral(" Digits, or like 5e6."));
    form->addRow(labelOf(p), withStepSlider(stepLimit_, std::uint64_t(p.max(viewArea())),
                                            std::uint64_t(p.get(Scene()))));
    connect(stepLimit_, &QLineEdit::editingFinished, this, [this, &p] {
        std::uint64_t value = 0;
        if (!readSteps(stepLimit_->text().trimmed(), std::uint64_t(p.max(viewArea())), value)) {
            stepLimit_->setText(stepsText(std::uint64_t(p.get(scene_))));
            return;
        }
        stepLimit_->setText(stepsText(value));
        if (std::int64_t(value) == p.get(scene_))
            return;
        p.set(scene_, std::int64_t(value));
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
        n.slider->setValue(n.scale.position(n.parameter->get(scene_)));
        n.box->setValue(int(n.parameter->get(scene_)));
    }
    for (Colour &c : colours_)
        paintSwatch(c.button, std::int32_t(c.parameter->get(scene_)));
    for (const SceneParameter &p : sceneParameters()) {
        if (p.kind == SceneParameter::Kind::steps)
            stepLimit_->setText(stepsText(std::uint64_t(p.get(scene_))));
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
