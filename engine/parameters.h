#pragma once

#include "sim/defaults.h"
#include "sim/simstate.h"

#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <string_view>

/// Everything a trajectory depends on besides its start point, in the units of the window's
/// scrollbars: positions and radii in client-area pixels, masses as scrollbar Values (kilograms
/// are a Value times the unit of its kind, see ParameterInfo). The parameter table names, bounds
/// and describes every field; the kernels receive the whole record at once.
struct TrajectoryParameters
{
    std::int16_t xrot = 0; ///< mass one's position
    std::int16_t yrot = 0;
    std::int16_t xblau = 0; ///< mass two's position
    std::int16_t yblau = 0;
    std::int16_t massOne = sim::defaultFixedMass;
    std::int16_t massTwo = sim::defaultFixedMass;
    std::int16_t massMoving = sim::defaultMovingMass;
    std::int16_t radiusOne = sim::defaultRadius;
    std::int16_t radiusTwo = sim::defaultRadius;
    std::uint64_t stepLimit = sim::stepLimit; ///< steps a start point may take

    /// The parameters start-up gives a client area of this size: the masses where the window
    /// places them, clamped to the position scrollbars' ranges as the scrollbars clamp them.
    static TrajectoryParameters defaults(QSize client);

    /// The record a step reads: positions, and masses in kilograms by the table's rules; every
    /// other field as a default-constructed simstate has it.
    sim::simstate stepState() const;
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
    std::int64_t (*get)(const TrajectoryParameters &);
    void (*set)(TrajectoryParameters &, std::int64_t);
};

inline constexpr std::size_t parameterCount = 10;

/// Every parameter, in the order of the help: mass-one, mass-two, mass-moving, radius-one,
/// radius-two, one-x, one-y, two-x, two-y, step-limit.
const std::array<ParameterInfo, parameterCount> &parameterTable();

/// The parameter with this name, or null.
const ParameterInfo *findParameter(std::string_view name);

/// The largest Value of p for a client area of this size (positions reach its width or height).
std::int64_t maxValue(const ParameterInfo &p, QSize client);
/// The Value start-up gives p in a client area of this size.
std::int64_t defaultValue(const ParameterInfo &p, QSize client);
/// Kilograms per Value for a mass; 0 for every other kind.
double kilogramsPerValue(const ParameterInfo &p);
/// The unit of a Value, for an axis or a label: "x 10000 kg", "pixels", "steps".
QString parameterUnit(const ParameterInfo &p);

/// The help's sentence: "Mass one, 1 to 32767; kilograms = V x 10000 (default: 10).";
/// positions name the client area's width or height.
QString parameterHelp(const ParameterInfo &p, QSize client);
/// What an error says p accepts: "a whole number from 1 to 32767".
QString parameterAccepts(const ParameterInfo &p, QSize client);
