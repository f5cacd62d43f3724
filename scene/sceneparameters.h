#pragma once

#include "scene.h"

#include <QSize>

#include <cstdint>
#include <string_view>
#include <vector>

/// One parameter of a scene as every front end names, reads and writes it: the renderer's
/// option, the view file's key, the Python module's keyword (with '_' for '-') and the explorer's
/// row. The engine's parameter table, then the colours (red + 256 x green + 65536 x blue).
struct SceneParameter
{
    enum class Kind : std::uint8_t {
        number, ///< a whole number of the engine's table
        steps,  ///< a number of steps of the engine's table
        colour,
    };
    const char *name;        ///< "mass-one", "color-one", "background"
    const char *description; ///< "Mass one", "Colour of mass one", "Background colour"
    Kind kind;
    /// The engine's parameter; null for a colour.
    const ParameterInfo *trajectory;
    /// For a colour: the mass it belongs to, counted from 0, or -1 for the background.
    int mass;

    std::int64_t get(const Scene &scene) const;
    void set(Scene &scene, std::int64_t value) const;
    std::int64_t min() const;
    /// The largest value where positions lie within area.
    std::int64_t max(QSize area) const;
};

/// Every parameter of a scene but shading: the engine's table in its order, then colour one,
/// colour two and the background.
const std::vector<SceneParameter> &sceneParameters();

/// The parameter with this name, or null.
const SceneParameter *findSceneParameter(std::string_view name);

/// The area a view's positions lie in: the largest client area.
QSize viewArea();
