// The masses of a view given one by one: --mass X,Y,WEIGHT,RADIUS[,#RRGGBB], repeated.
#include "commandline.h"

#include "scene/text.h"

namespace {

/// The options that name mass one or mass two: a scene of two masses only.
constexpr const char *twoMassOptions[] = {"one",        "two",        "mass-one",  "mass-two",
                                          "radius-one", "radius-two", "color-one", "color-two"};

/// Reads X,Y,WEIGHT,RADIUS[,#RRGGBB] within area; false for anything else.
bool readMass(const QString &text, QSize area, FixedMass &mass,
              std::optional<std::int32_t> &colour)
{
    const QList<QStringView> parts = QStringView(text).split(QLatin1Char(','));
    if (parts.size() != 4 && parts.size() != 5)
        return false;
    const ParameterInfo &weight = *massParameter(0, ParameterKind::fixedMass);
    const ParameterInfo &radius = *massParameter(0, ParameterKind::radius);
    qint64 values[4] = {};
    const qint64 min[4] = {0, 0, weight.min, radius.min};
    const qint64 max[4] = {area.width(), area.height(), weight.max, radius.max};
    for (int i = 0; i < 4; ++i) {
        if (!readWhole(parts[i], min[i], max[i], values[i]))
            return false;
    }
    std::int32_t read = 0;
    if (parts.size() == 5 && !readColour(parts[4], read))
        return false;
    mass = {std::int16_t(values[0]), std::int16_t(values[1]), std::int16_t(values[2]),
            std::int16_t(values[3])};
    colour = parts.size() == 5 ? std::optional<std::int32_t>(read) : std::nullopt;
    return true;
}

} // namespace

bool RenderCommandLine::readMassList(QSize area)
{
    massColours_.clear();
    const QCommandLineOption &massOption = option("mass");
    const bool given = parser_.isSet(massOption);
    const std::size_t sceneMasses = job_.parameters.scene.trajectory.masses.size();
    if (given || sceneMasses != 2) {
        for (const char *name : twoMassOptions) {
            if (parser_.isSet(option(name))) {
                return fail(option(name),
                            given ? QStringLiteral("no --mass beside it")
                                  : QStringLiteral("a view file of two masses"),
                            parser_.value(option(name)));
            }
        }
    }
    if (!given)
        return true;
    if (!job_.parameters.framing.view) {
        return fail(massOption, QStringLiteral("--view or --view-file beside it"),
                    parser_.value(massOption));
    }
    const QStringList values = parser_.values(massOption);
    if (values.size() > sim::maxFixedMasses) {
        error_ = QStringLiteral("--mass: expected at most %1 masses, got %2.")
                     .arg(sim::maxFixedMasses)
                     .arg(values.size());
        return false;
    }
    const ParameterInfo &weight = *massParameter(0, ParameterKind::fixedMass);
    const ParameterInfo &radius = *massParameter(0, ParameterKind::radius);
    const QString accepts =
        QStringLiteral("X,Y,WEIGHT,RADIUS[,#RRGGBB] with X 0 to %1, Y 0 to %2, WEIGHT %3 to %4 "
                       "and RADIUS %5 to %6")
            .arg(area.width())
            .arg(area.height())
            .arg(weight.min)
            .arg(weight.max)
            .arg(radius.min)
            .arg(radius.max);
    std::vector<FixedMass> masses(std::size_t(values.size()));
    massColours_.resize(masses.size());
    for (std::size_t k = 0; k < masses.size(); ++k) {
        if (!readMass(values[int(k)], area, masses[k], massColours_[k]))
            return fail(massOption, accepts, values[int(k)]);
    }
    job_.parameters.scene.trajectory.masses = masses;
    return true;
}

void RenderCommandLine::fillMassColours()
{
    if (massColours_.empty())
        return;
    Scene &scene = job_.parameters.scene;
    std::vector<std::int32_t> taken;
    for (const std::optional<std::int32_t> &c : massColours_) {
        if (c)
            taken.push_back(*c);
    }
    scene.colours.clear();
    for (const std::optional<std::int32_t> &c : massColours_) {
        scene.colours.push_back(
            c ? *c : defaultMassColour(int(scene.colours.size()), taken, scene.background));
        if (!c)
            taken.push_back(scene.colours.back());
    }
}
