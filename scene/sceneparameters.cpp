#include "sceneparameters.h"

std::int64_t SceneParameter::get(const Scene &scene) const
{
    if (trajectory)
        return trajectory->get(scene.trajectory);
    if (mass < 0)
        return scene.background;
    // A scene without this mass reads as 0 and takes no value, as its other parameters.
    return std::size_t(mass) < scene.colours.size() ? scene.colours[std::size_t(mass)] : 0;
}

void SceneParameter::set(Scene &scene, std::int64_t value) const
{
    if (trajectory)
        trajectory->set(scene.trajectory, value);
    else if (mass < 0)
        scene.background = std::int32_t(value);
    else if (std::size_t(mass) < scene.colours.size())
        scene.colours[std::size_t(mass)] = std::int32_t(value);
}

std::int64_t SceneParameter::min() const
{
    return trajectory ? trajectory->min : 0;
}

std::int64_t SceneParameter::max(QSize area) const
{
    return trajectory ? maxValue(*trajectory, area) : 0xFFFFFF;
}

QSize viewArea()
{
    return {maxClientSide, maxClientSide};
}

const std::vector<SceneParameter> &sceneParameters()
{
    static const std::vector<SceneParameter> table = [] {
        std::vector<SceneParameter> t;
        for (const ParameterInfo &p : parameterTable()) {
            t.push_back({p.name, p.description,
                         p.kind == ParameterKind::steps ? SceneParameter::Kind::steps
                                                        : SceneParameter::Kind::number,
                         &p, -1});
        }
        t.push_back({"color-one", "Colour of mass one", SceneParameter::Kind::colour, nullptr, 0});
        t.push_back({"color-two", "Colour of mass two", SceneParameter::Kind::colour, nullptr, 1});
        t.push_back({"background", "Background colour", SceneParameter::Kind::colour, nullptr, -1});
        return t;
    }();
    return table;
}

const SceneParameter *findSceneParameter(std::string_view name)
{
    for (const SceneParameter &p : sceneParameters()) {
        if (name == p.name)
            return &p;
    }
    return nullptr;
}
