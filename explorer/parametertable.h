#pragma once

#include "scene.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

/// One parameter of the scene as the explorer shows, saves and passes it on: its name (the
/// renderer's option and the view file's key), what the dock calls it, its unit and range, and
/// how it is read from and written into a scene. Colours are red + 256 x green + 65536 x blue.
struct ExplorerParameter
{
    enum class Kind { number, colour, stepLimit };
    QString name;
    QString label;
    QString unit;
    QString help;
    Kind kind = Kind::number;
    std::uint64_t min = 0;
    std::uint64_t max = 0;
    std::function<std::uint64_t(const Scene &)> get;
    std::function<void(Scene &, std::uint64_t)> set;
};

/// The client area the positions are bounded by: the largest the renderer takes.
QSize explorerClient();

/// Every parameter of a scene but shading, in the dock's order: the engine's parameter table,
/// then the colours.
const std::vector<ExplorerParameter> &explorerParameters();
