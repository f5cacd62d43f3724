#include "parameters.h"

#include <algorithm>

namespace {

std::int16_t clampedPosition(std::int16_t value, int max)
{
    return std::int16_t(std::clamp<int>(value, 0, max));
}

/// A number of steps as the help writes it: 1e14 for a power of ten of a million or more.
QString stepsText(std::int64_t steps)
{
    int zeros = 0;
    std::int64_t rest = steps;
    while (rest >= 10 && rest % 10 == 0) {
        rest /= 10;
        ++zeros;
    }
    if (rest == 1 && zeros >= 6)
        return QStringLiteral("1e%1").arg(zeros);
    return QString::number(steps);
}

// Each field as a Value of the table's parameters.
template <std::int16_t TrajectoryParameters::*field>
std::int64_t getValue(const TrajectoryParameters &p)
{
    return p.*field;
}
template <std::int16_t TrajectoryParameters::*field>
void setValue(TrajectoryParameters &p, std::int64_t v)
{
    p.*field = std::int16_t(v);
}

template <std::int16_t TrajectoryParameters::*field>
constexpr ParameterInfo valueParameter(const char *name, const char *description,
                                       ParameterKind kind, std::int64_t min, std::int64_t max)
{
    return {name, description, kind, min, max, true, &getValue<field>, &setValue<field>};
}

constexpr std::int64_t maxMass = 32767;
constexpr std::int64_t maxRadius = 300;

} // namespace

TrajectoryParameters TrajectoryParameters::defaults(QSize client)
{
    const sim::simstate s = sim::defaultState(float(client.width()), float(client.height()));
    TrajectoryParameters p;
    p.xrot = clampedPosition(s.xrot, client.width());
    p.yrot = clampedPosition(s.yrot, client.height());
    p.xblau = clampedPosition(s.xblau, client.width());
    p.yblau = clampedPosition(s.yblau, client.height());
    return p;
}

sim::simstate TrajectoryParameters::stepState() const
{
    sim::simstate s;
    s.xrot = xrot;
    s.yrot = yrot;
    s.xblau = xblau;
    s.yblau = yblau;
    s.massrot = massOne * sim::fixedMassUnit;
    s.massblau = std::int32_t(massTwo * sim::fixedMassUnit);
    s.massgreen = massMoving * sim::movingMassUnit;
    return s;
}

const std::array<ParameterInfo, parameterCount> &parameterTable()
{
    using P = TrajectoryParameters;
    using K = ParameterKind;
    static const std::array<ParameterInfo, parameterCount> table{{
        valueParameter<&P::massOne>("mass-one", "Mass one", K::fixedMass, 1, maxMass),
        valueParameter<&P::massTwo>("mass-two", "Mass two", K::fixedMass, 1, maxMass),
        valueParameter<&P::massMoving>("mass-moving", "Moving mass", K::movingMass, 1, maxMass),
        valueParameter<&P::radiusOne>("radius-one", "Capture radius of mass one", K::radius, 1,
                                      maxRadius),
        valueParameter<&P::radiusTwo>("radius-two", "Capture radius of mass two", K::radius, 1,
                                      maxRadius),
        valueParameter<&P::xrot>("one-x", "x of mass one", K::x, 0, maxClientSide),
        valueParameter<&P::yrot>("one-y", "y of mass one", K::y, 0, maxClientSide),
        valueParameter<&P::xblau>("two-x", "x of mass two", K::x, 0, maxClientSide),
        valueParameter<&P::yblau>("two-y", "y of mass two", K::y, 0, maxClientSide),
        {"step-limit", "Steps per start point before it stays unpainted", K::steps, 1,
         std::int64_t(sim::stepLimit), false, [](const P &p) { return std::int64_t(p.stepLimit); },
         [](P &p, std::int64_t v) { p.stepLimit = std::uint64_t(v); }},
    }};
    return table;
}

const ParameterInfo *findParameter(std::string_view name)
{
    for (const ParameterInfo &p : parameterTable()) {
        if (name == p.name)
            return &p;
    }
    return nullptr;
}

std::int64_t maxValue(const ParameterInfo &p, QSize client)
{
    switch (p.kind) {
    case ParameterKind::x:
        return client.width();
    case ParameterKind::y:
        return client.height();
    default:
        return p.max;
    }
}

std::int64_t defaultValue(const ParameterInfo &p, QSize client)
{
    return p.get(TrajectoryParameters::defaults(client));
}

double kilogramsPerValue(const ParameterInfo &p)
{
    switch (p.kind) {
    case ParameterKind::fixedMass:
        return sim::fixedMassUnit;
    case ParameterKind::movingMass:
        return sim::movingMassUnit;
    default:
        return 0;
    }
}

QString parameterUnit(const ParameterInfo &p)
{
    switch (p.kind) {
    case ParameterKind::fixedMass:
    case ParameterKind::movingMass:
        return QStringLiteral("x %1 kg").arg(kilogramsPerValue(p), 0, 'f', 0);
    case ParameterKind::steps:
        return QStringLiteral("steps");
    default:
        return QStringLiteral("pixels");
    }
}

QString parameterHelp(const ParameterInfo &p, QSize client)
{
    const std::int64_t max = maxValue(p, client);
    const std::int64_t byDefault = defaultValue(p, client);
    switch (p.kind) {
    case ParameterKind::fixedMass:
    case ParameterKind::movingMass:
        return QStringLiteral("%1, %2 to %3; kilograms = V x %4 (default: %5).")
            .arg(QLatin1String(p.description))
            .arg(p.min)
            .arg(max)
            .arg(kilogramsPerValue(p), 0, 'f', 0)
            .arg(byDefault);
    case ParameterKind::steps:
        return QStringLiteral("%1, %2 to %3, as digits or like 5e6 (default: %4).")
            .arg(QLatin1String(p.description), stepsText(p.min), stepsText(max),
                 stepsText(byDefault));
    default:
        return QStringLiteral("%1, %2 to %3 pixels (default: %4).")
            .arg(QLatin1String(p.description))
            .arg(p.min)
            .arg(max)
            .arg(byDefault);
    }
}

QString parameterAccepts(const ParameterInfo &p, QSize client)
{
    if (p.kind == ParameterKind::steps) {
        return QStringLiteral("a whole number of steps from %1 to %2")
            .arg(stepsText(p.min), stepsText(maxValue(p, client)));
    }
    return QStringLiteral("a whole number from %1 to %2").arg(p.min).arg(maxValue(p, client));
}
