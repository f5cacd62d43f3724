#include "parameterdock.h"
#include "stepslider.h"

#include "numberrow.h"

#include "scene/parametertext.h"
#include "scene/sceneparameters.h"
#include "scene/text.h"

#include "picture/surface.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>

#include <algorithm>

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

QString massTitle(int mass)
{
    return QStringLiteral("Mass %1").arg(QLatin1String(massWord(mass + 1)));
}

/// A mass's row labels: its group names the mass.
QString shortLabel(ParameterKind kind)
{
    switch (kind) {
    case ParameterKind::fixedMass:
        return QStringLiteral("Weight");
    case ParameterKind::radius:
        return QStringLiteral("Radius");
    case ParameterKind::x:
        return QStringLiteral("x");
    default:
        return QStringLiteral("y");
    }
}

/// The width of the widest mass's pick, so that every group's rows line up.
int pickWidth()
{
    static const int width = [] {
        int widest = 0;
        for (int k = 0; k < sim::maxFixedMasses; ++k)
            widest = std::max(widest, QRadioButton(massTitle(k)).sizeHint().width());
        return widest;
    }();
    return width;
}

constexpr ParameterKind massKinds[] = {ParameterKind::fixedMass, ParameterKind::radius,
                                       ParameterKind::x, ParameterKind::y};

} // namespace

ParameterDock::ParameterDock(QWidget *parent)
    : QDockWidget(QStringLiteral("Parameters"), parent), massLayout_(new QVBoxLayout),
      picks_(new QButtonGroup(this)), add_(new QPushButton(QStringLiteral("Add Mass"))),
      delete_(new QPushButton(QStringLiteral("Delete"))), shade_(new QCheckBox)
{
    setObjectName(QStringLiteral("parameters"));
    massLayout_->setContentsMargins(0, 0, 0, 0);
    add_->setObjectName(QStringLiteral("addMass"));
    add_->setToolTip(QStringLiteral("A fixed mass more, at the view's centre (up to %1).")
                         .arg(sim::maxFixedMasses));
    delete_->setObjectName(QStringLiteral("deleteMass"));
    delete_->setToolTip(QStringLiteral("Remove the mass picked below; one always stays."));
    connect(add_, &QPushButton::clicked, this, &ParameterDock::massWanted);
    connect(delete_, &QPushButton::clicked, this, &ParameterDock::deleteSelected);
    connect(picks_, &QButtonGroup::idClicked, this, [this](int mass) { selected_ = mass; });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(delete_);

    auto *form = new QFormLayout;
    for (const ParameterInfo &p : parameterTable()) {
        if (p.mass < 0 && p.kind != ParameterKind::steps) {
            numbers_.push_back(addNumber(p));
            form->addRow(QLatin1String(p.description), numbers_.back());
        }
    }
    form->addRow(QStringLiteral("Step limit"), addStepLimit());
    background_ = addColour(-1);
    form->addRow(QStringLiteral("Background"), background_);
    shade_->setObjectName(QStringLiteral("shade"));
    shade_->setToolTip(QStringLiteral("Paint each capture darker the later it happens."));
    form->addRow(QStringLiteral("Shading"), shade_);
    connect(shade_, &QCheckBox::toggled, this, [this](bool on) {
        scene_.shade = on;
        changed();
    });

    auto *inner = new QWidget;
    auto *column = new QVBoxLayout(inner);
    column->addLayout(buttons); // above the masses, where adding one leaves it
    column->addLayout(massLayout_);
    column->addLayout(form);
    column->addStretch(1);
    auto *scroll = new QScrollArea;
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    setWidget(scroll);
    showScene();
}

NumberRow *ParameterDock::addNumber(const ParameterInfo &p)
{
    auto *row = new NumberRow(p);
    connect(row, &NumberRow::changed, this, [this, &p](std::int64_t value) {
        if (p.get(scene_.trajectory) == value)
            return;
        p.set(scene_.trajectory, value);
        changed();
    });
    return row;
}

QPushButton *ParameterDock::addColour(int mass)
{
    auto *button = new QPushButton;
    const QString title = mass < 0 ? QStringLiteral("Background") : massTitle(mass);
    button->setObjectName(mass < 0 ? QStringLiteral("background")
                                   : QStringLiteral("color-") + QLatin1String(massWord(mass + 1)));
    button->setToolTip(mass < 0 ? QStringLiteral("Colour where no mass captures.")
                                : QStringLiteral("Colour of ") + title.toLower() + '.');
    connect(button, &QPushButton::clicked, this, [this, mass, title] {
        std::int32_t &colour = mass < 0 ? scene_.background : scene_.colours[std::size_t(mass)];
        const QColor chosen = QColorDialog::getColor(QColor(toRgb(colour)), this, title);
        if (!chosen.isValid())
            return;
        colour = fromRgb(chosen.rgb());
        changed();
    });
    return button;
}

QWidget *ParameterDock::addStepLimit()
{
    const ParameterInfo &p = *findParameter("step-limit");
    stepLimit_ = new QLineEdit;
    stepLimit_->setObjectName(QLatin1String(p.name));
    stepLimit_->setToolTip(parameterHelp(p, viewArea()) + QStringLiteral(" Digits, or like 5e6."));
    connect(stepLimit_, &QLineEdit::editingFinished, this, [this, &p] {
        std::uint64_t value = 0;
        if (!readSteps(stepLimit_->text().trimmed(), std::uint64_t(p.max), value)) {
            stepLimit_->setText(stepsText(scene_.trajectory.stepLimit));
            return;
        }
        stepLimit_->setText(stepsText(value));
        if (value == scene_.trajectory.stepLimit)
            return;
        scene_.trajectory.stepLimit = value;
        changed();
    });
    return withStepSlider(stepLimit_, std::uint64_t(p.max),
                          std::uint64_t(p.get(TrajectoryParameters())));
}

void ParameterDock::addMassRows(int mass)
{
    auto *group = new QGroupBox;
    group->setObjectName(QStringLiteral("mass-") + QLatin1String(massWord(mass + 1)) +
                         QStringLiteral("-group"));
    auto *form = new QFormLayout(group);
    MassRows rows{group, new QRadioButton(massTitle(mass)), addColour(mass), {}};
    rows.pick->setToolTip(QStringLiteral("Pick this mass for Delete."));
    rows.pick->setMinimumWidth(pickWidth());
    picks_->addButton(rows.pick, mass);
    form->addRow(rows.pick, rows.colour);
    for (const ParameterKind kind : massKinds) {
        NumberRow *number = addNumber(*massParameter(mass, kind));
        form->addRow(shortLabel(kind), number);
        rows.numbers.push_back(number);
    }
    massLayout_->addWidget(group);
    masses_.push_back(rows);
}

void ParameterDock::matchMasses()
{
    const std::size_t count = scene_.trajectory.masses.size();
    while (masses_.size() > count) {
        picks_->removeButton(masses_.back().pick);
        delete masses_.back().group;
        masses_.pop_back();
    }
    while (masses_.size() < count)
        addMassRows(int(masses_.size()));
    selectMass(selected_);
    add_->setEnabled(count < std::size_t(sim::maxFixedMasses));
    delete_->setEnabled(count > 1);
}

void ParameterDock::selectMass(int mass)
{
    selected_ = std::clamp(mass, 0, int(masses_.size()) - 1);
    masses_[std::size_t(selected_)].pick->setChecked(true);
}

void ParameterDock::deleteSelected()
{
    if (!scene_.removeMass(selected_))
        return;
    showScene();
    emit sceneChanged(scene_);
}

void ParameterDock::setScene(const Scene &scene)
{
    scene_ = scene;
    showScene();
}

void ParameterDock::showScene()
{
    matchMasses();
    for (const MassRows &m : masses_) {
        for (NumberRow *n : m.numbers)
            n->showValue(n->parameter().get(scene_.trajectory));
    }
    for (NumberRow *n : numbers_)
        n->showValue(n->parameter().get(scene_.trajectory));
    stepLimit_->setText(stepsText(scene_.trajectory.stepLimit));
    const QSignalBlocker blocker(shade_);
    shade_->setChecked(scene_.shade);
    paintColours();
}

void ParameterDock::paintColours()
{
    for (std::size_t k = 0; k < masses_.size(); ++k)
        paintSwatch(masses_[k].colour, scene_.colours[k]);
    paintSwatch(background_, scene_.background);
}

void ParameterDock::changed()
{
    paintColours();
    emit sceneChanged(scene_);
}
