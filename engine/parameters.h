#pragma once

#include "sim/defaults.h"
#include "sim/field.h"

#include <QSize>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

/// A fixed mass as the user gives it, in the units of the window's scrollbars: a whole-number
/// position in the plane's units (client-area pixels), its weight as a Value (kilograms = Value
/// x sim::fixedMassUnit) and its capture radius.
struct FixedMass
{
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t weight = sim::defaultFixedMass;
    std::int16_t radius = sim::defaultRadius;

    bool operator==(const FixedMass &o) const
    {
        return x == o.x && y == o.y && weight == o.weight && radius == o.radius;
    }
    bool operator!=(const FixedMass &o) const { return !(*this == o); }
};

/// Everything a trajectory depends on besides its start point: the fixed masses in mass order,
/// the moving mass as a Value (kilograms = Value x sim::movingMassUnit) and the step limit. The
/// parameter table names, bounds and describes every field; the kernels receive field(), made
/// once.
struct TrajectoryParameters
{
    std::vector<FixedMass> masses = std::vector<FixedMass>(2);
    std::int16_t movingMass = sim::defaultMovingMass;
    std::uint64_t stepLimit = sim::stepLimit; ///< steps a start point may take

    /// The parameters start-up gives a client area of this size: the masses where the window
    /// places them, clamped to the position scrollbars' ranges as the scrollbars clamp them.
    static TrajectoryParameters defaults(QSize client);

    /// What every step reads: the one place where Values become kilograms.
    sim::MassField field() const;

    bool operator==(const TrajectoryParameters &o) const
    {
        return masses == o.masses && movingMass == o.movingMass && stepLimit == o.stepLimit;
    }
    bool operator!=(const TrajectoryParameters &o) const { return !(*this == o); }
};

/// The client area whose start-up parameters a view of the plane uses (the masses at 502,350
/// and 522,350), and the largest client area, which bounds the positions a view may give.
inline constexpr QSize defaultClient{1024, 700};
inline constexpr int maxClientSide = 16384;

/// What a parameter's Value is, which decides its range and its unit.
enum class ParameterKind : std::uint8_t {
    fixedMass,  ///< kilograms = Value x sim::fixedMassUnit
    movingMass, ///< kilograms = Value x sim::movingMassUnit
    radius,     ///< a capture radius in pixels
    x,          ///< a position, 0 to the client area's width
    y,          ///< a position, 0 to the client area's height
    steps,      ///< a number of steps
};

/// One parameter as every front end offers it: the renderer's option and sweep name, its help
/// and error texts, the explorer's controls, the Python module's keyword arguments.
struct ParameterInfo
{
    const char *name;        ///< "mass-one"; a keyword argument writes '_' for '-'
    const char *description; ///< "Mass one", as the help's sentence begins
    ParameterKind kind;
    std::int64_t min;
    /// The largest Value; for ParameterKind::x and ::y the client area's side, see maxValue().
    std::int64_t max;
    bool sweepable; ///< whether a sweep may step it
    int mass;       ///< the fixed mass it belongs to, counted from 0; -1 for none
    std::int64_t (*get)(const TrajectoryParameters &);
    void (*set)(TrajectoryParameters &, std::int64_t);
};

inline constexpr std::size_t parameterCount = 10;

/// Every parameter of the two-mass scene, in the order of the help: mass-one, mass-two,
/// mass-moving, radius-one, radius-two, one-x, one-y, two-x, two-y, step-limit.
const std::array<ParameterInfo, parameterCount> &parameterTable();
/// The parameters of the masses past the second, each mass's in the order mass-K, radius-K,
/// K-x, K-y, for K = three to sixteen: what a scene of more masses adds to the table.
const std::vector<ParameterInfo> &laterMassParameters();

/// The word for the mass with this number, from 1: "one", "two", ... "sixteen".
const char *massWord(int mass);

/// The parameter with this name, in either table, or null.
const ParameterInfo *findParameter(std::string_view name);
/// The parameter of this kind that belongs to fixed mass number mass (from 0), or null.
const ParameterInfo *massParameter(int mass, ParameterKind kind);
/// Whether p is one of parameters: the moving mass and the step limit always, a fixed mass's
/// only when there is that mass.
bool appliesTo(const ParameterInfo &p, const TrajectoryParameters &parameters);

/// The largest Value of p for a client area of this size (positions reach its width or height).
std::int64_t maxValue(const ParameterInfo &p, QSize client);
/// The Value start-up gives p in a client area of this size.
std::int64_t defaultValue(const ParameterInfo &p, QSize client);
/// Kilograms per Value for a mass; 0 for every other kind.
double kilogramsPerValue(const ParameterInfo &p);
