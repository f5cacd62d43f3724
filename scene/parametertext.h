#pragma once

#include "engine/parameters.h"

#include <QSize>
#include <QString>

// The engine's parameters in words: help, error texts, units and axis titles.

/// The unit of a Value, for an axis or a label: "x 10000 kg", "pixels", "steps".
QString parameterUnit(const ParameterInfo &p);
/// The parameter and its unit as a person writes them under an axis: "moving mass (10^7 kg)".
QString parameterAxisTitle(const ParameterInfo &p);

/// The help's sentence: "Mass one, 1 to 32767; kilograms = V x 10000 (default: 10).";
/// positions name the client area's width or height.
QString parameterHelp(const ParameterInfo &p, QSize client);
/// What an error says p accepts: "a whole number from 1 to 32767".
QString parameterAccepts(const ParameterInfo &p, QSize client);
