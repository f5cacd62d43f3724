#include "parameters.h"

#include <algorithm>
#include <deque>
#include <string>
#include <utility>

namespace {

std::int16_t clampedPosition(std::int16_t value, int max)
{
    return std::int16_t(std::clamp<int>(value, 0, max));
}

// A field of a fixed mass, or of the record, as a Value of the table's parameters.
// A mass the parameters lack reads as 0 and takes no value.
template <int mass, std::int16_t FixedMass::*field>
std::int64_t getMassValue(const TrajectoryParameters &p)
{
    return std::size_t(mass) < p.masses.size() ? p.masses[mass].*field : 0;
}
template <int mass, std::int16_t FixedMass::*field>
void setMassValue(TrajectoryParameters &p, std::int64_t v)
{
    if (std::size_t(mass) < p.masses.size())
        p.masses[mass].*field = std::int16_t(v);
}

template <int mass, std::int16_t FixedMass::*field>
constexpr ParameterInfo massParameter(const char *name, const char *description,
                                      ParameterKind kind, std::int64_t min, std::int64_t max)
{
    return {name,          description, kind, min, max, true, mass, &getMassValue<mass, field>,
            &setMassValue<mass, field>};
}

constexpr std::int64_t maxMass = 32767;
constexpr std::int64_t maxRadius = 300;

/// Texts that live as long as the tables pointing at them.
const char *keptText(const std::string &text)
{
    static std::deque<std::string> texts;
    return texts.emplace_back(text).c_str();
}

template <int mass>
void addLaterMass(std::vector<ParameterInfo> &table)
{
    using M = FixedMass;
    using K = ParameterKind;
    const std::string word = massWord(mass + 1);
    table.push_back(massParameter<mass, &M::weight>(keptText("mass-" + word),
                                                    keptText("Mass " + word), K::fixedMass, 1,
                                                    maxMass));
    table.push_back(massParameter<mass, &M::radius>(
        keptText("radius-" + word), keptText("Capture radius of mass " + word), K::radius, 1,
        maxRadius));
    table.push_back(massParameter<mass, &M::x>(keptText(word + "-x"),
                                               keptText("x of mass " + word), K::x, 0,
                                               maxClientSide));
    table.push_back(massParameter<mass, &M::y>(keptText(word + "-y"),
                                               keptText("y of mass " + word), K::y, 0,
                                               maxClientSide));
}

template <int... later>
std::vector<ParameterInfo> laterMassTable(std::integer_sequence<int, later...>)
{
    std::vector<ParameterInfo> table;
    (addLaterMass<later + 2>(table), ...);
    return table;
}

} // namespace

const char *massWord(int mass)
{
    static const char *const words[] = {"one",      "two",      "three",   "four",
                                        "five",     "six",      "seven",   "eight",
                                        "nine",     "ten",      "eleven",  "twelve",
                                        "thirteen", "fourteen", "fifteen", "sixteen"};
    static_assert(std::size(words) == sim::maxFixedMasses);
    return mass >= 1 && mass <= sim::maxFixedMasses ? words[mass - 1] : "";
}

TrajectoryParameters TrajectoryParameters::defaults(QSize client)
{
    const std::array<sim::Position, 2> start =
        sim::defaultMassPositions(float(client.width()), float(client.height()));
    TrajectoryParameters p;
    for (std::size_t k = 0; k < start.size(); ++k) {
        p.masses[k].x = clampedPosition(start[k].x, client.width());
        p.masses[k].y = clampedPosition(start[k].y, client.height());
    }
    return p;
}

sim::MassField TrajectoryParameters::field() const
{
    sim::MassField f{};
    f.count = int(masses.size());
    for (int k = 0; k < f.count; ++k) {
        const FixedMass &m = masses[std::size_t(k)];
        f.masses[k] = {double(m.x), double(m.y), m.weight * sim::fixedMassUnit, double(m.radius)};
    }
    f.movingKilograms = movingMass * sim::movingMassUnit;
    return f;
}

const std::array<ParameterInfo, parameterCount> &parameterTable()
{
    using P = TrajectoryParameters;
    using M = FixedMass;
    using K = ParameterKind;
    static const std::array<ParameterInfo, parameterCount> table{{
        massParameter<0, &M::weight>("mass-one", "Mass one", K::fixedMass, 1, maxMass),
        massParameter<1, &M::weight>("mass-two", "Mass two", K::fixedMass, 1, maxMass),
        {"mass-moving", "Moving mass", K::movingMass, 1, maxMass, true, -1,
         [](const P &p) { return std::int64_t(p.movingMass); },
         [](P &p, std::int64_t v) { p.movingMass = std::int16_t(v); }},
        massParameter<0, &M::radius>("radius-one", "Capture radius of mass one", K::radius, 1,
                                     maxRadius),
        massParameter<1, &M::radius>("radius-two", "Capture radius of mass two", K::radius, 1,
                                     maxRadius),
        massParameter<0, &M::x>("one-x", "x of mass one", K::x, 0, maxClientSide),
        massParameter<0, &M::y>("one-y", "y of mass one", K::y, 0, maxClientSide),
        massParameter<1, &M::x>("two-x", "x of mass two", K::x, 0, maxClientSide),
        massParameter<1, &M::y>("two-y", "y of mass two", K::y, 0, maxClientSide),
        {"step-limit", "Steps per start point before it stays unpainted", K::steps, 1,
         std::int64_t(sim::stepLimit), false, -1, [](const P &p) { return std::int64_t(p.stepLimit); },
         [](P &p, std::int64_t v) { p.stepLimit = std::uint64_t(v); }},
    }};
    return table;
}

const std::vector<ParameterInfo> &laterMassParameters()
{
    static const std::vector<ParameterInfo> table =
        laterMassTable(std::make_integer_sequence<int, sim::maxFixedMasses - 2>());
    return table;
}

namespace {

template <typename Match>
const ParameterInfo *firstParameter(const Match &match)
{
    for (const ParameterInfo &p : parameterTable()) {
        if (match(p))
            return &p;
    }
    for (const ParameterInfo &p : laterMassParameters()) {
        if (match(p))
            return &p;
    }
    return nullptr;
}

} // namespace

const ParameterInfo *findParameter(std::string_view name)
{
    return firstParameter([name](const ParameterInfo &p) { return name == p.name; });
}

const ParameterInfo *massParameter(int mass, ParameterKind kind)
{
    return firstParameter(
        [mass, kind](const ParameterInfo &p) { return p.mass == mass && p.kind == kind; });
}

bool appliesTo(const ParameterInfo &p, const TrajectoryParameters &parameters)
{
    return p.mass < int(parameters.masses.size());
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
