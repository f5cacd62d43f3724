#include "viewfile.h"

#include "sceneparameters.h"
#include "text.h"

#include "files/readfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace viewfile {

namespace {

const QString formatName = QStringLiteral("velmora-view");

/// A whole number in [min, max], exactly.
bool readJsonWhole(const QJsonValue &value, std::uint64_t min, std::uint64_t max,
                   std::uint64_t &result)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (!(d >= double(min) && d <= double(max)) || d != std::floor(d))
        return false;
    result = std::uint64_t(d);
    return true;
}

/// Whether p names mass one or mass two, which a file of another number of masses lists
/// instead.
bool ofTwoMasses(const SceneParameter &p)
{
    return p.trajectory ? p.trajectory->mass >= 0 : p.mass >= 0;
}

/// The masses' keys in a file of version 2: their whole numbers, then "color".
struct MassKey
{
    const char *key;
    std::int16_t FixedMass::*field;
    ParameterKind kind;
};
constexpr MassKey massKeys[] = {{"x", &FixedMass::x, ParameterKind::x},
                                {"y", &FixedMass::y, ParameterKind::y},
                                {"weight", &FixedMass::weight, ParameterKind::fixedMass},
                                {"radius", &FixedMass::radius, ParameterKind::radius}};

QJsonArray massList(const Scene &scene)
{
    QJsonArray list;
    for (std::size_t k = 0; k < scene.trajectory.masses.size(); ++k) {
        QJsonObject mass{{QStringLiteral("color"), colourText(scene.colours[k])}};
        for (const MassKey &m : massKeys)
            mass.insert(QLatin1String(m.key), double(scene.trajectory.masses[k].*m.field));
        list.append(mass);
    }
    return list;
}

/// Reads a file's list of 1 to sim::maxFixedMasses masses into scene; the empty text when it
/// is valid, else what is wrong.
QString readMassList(const QJsonValue &value, Scene &scene)
{
    const QJsonArray list = value.toArray();
    if (!value.isArray() || list.isEmpty() || list.size() > sim::maxFixedMasses)
        return QStringLiteral("'masses' must list 1 to %1 masses").arg(sim::maxFixedMasses);
    scene.trajectory.masses.assign(std::size_t(list.size()), FixedMass());
    scene.colours.assign(std::size_t(list.size()), 0);
    for (qsizetype k = 0; k < list.size(); ++k) {
        const QJsonObject mass = list[k].toObject();
        for (const MassKey &m : massKeys) {
            const ParameterInfo &p = *massParameter(0, m.kind);
            const auto max = std::uint64_t(maxValue(p, viewArea()));
            std::uint64_t v = 0;
            if (!readJsonWhole(mass.value(QLatin1String(m.key)), std::uint64_t(p.min), max, v)) {
                return QStringLiteral("mass %1's '%2' must be a whole number from %3 to %4")
                    .arg(k + 1)
                    .arg(QLatin1String(m.key))
                    .arg(p.min)
                    .arg(max);
            }
            scene.trajectory.masses[std::size_t(k)].*m.field = std::int16_t(v);
        }
        const QJsonValue colour = mass.value(QStringLiteral("color"));
        if (!colour.isString() || !readColour(colour.toString(), scene.colours[std::size_t(k)]))
            return QStringLiteral("mass %1's 'color' must be a colour #RRGGBB").arg(k + 1);
    }
    return {};
}

} // namespace

QByteArray write(const Place &place)
{
    // Two masses keep the first version's file, naming each of their parameters.
    const bool listed = place.scene.trajectory.masses.size() != 2;
    QJsonObject parameters;
    for (const SceneParameter &p : sceneParameters()) {
        if (listed && ofTwoMasses(p))
            continue;
        const QString key = QLatin1String(p.name);
        if (p.kind == SceneParameter::Kind::colour)
            parameters.insert(key, colourText(std::int32_t(p.get(place.scene))));
        else
            parameters.insert(key, double(p.get(place.scene)));
    }
    parameters.insert(QStringLiteral("shade"), place.scene.shade);
    QJsonObject root{
        {QStringLiteral("format"), formatName},
        {QStringLiteral("version"), listed ? version : 1},
        {QStringLiteral("view"), QJsonObject{{QStringLiteral("x"), place.view.x},
                                             {QStringLiteral("y"), place.view.y},
                                             {QStringLiteral("spacing"), place.view.spacing}}},
        {QStringLiteral("size"), QJsonObject{{QStringLiteral("width"), place.view.size.width()},
                                             {QStringLiteral("height"), place.view.size.height()}}},
        {QStringLiteral("parameters"), parameters},
    };
    if (listed)
        root.insert(QStringLiteral("masses"), massList(place.scene));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

namespace {

/// The scene's parameters from a view file's "parameters" object (those of masses one and two
/// left out when the masses were listed); why not, or empty.
QString readParameters(const QJsonObject &parameters, bool listed, Scene &scene)
{
    for (const SceneParameter &p : sceneParameters()) {
        if (listed && ofTwoMasses(p))
            continue;
        const QString key = QLatin1String(p.name);
        const QJsonValue value = parameters.value(key);
        const bool colour = p.kind == SceneParameter::Kind::colour;
        const auto min = std::uint64_t(p.min());
        const auto max = std::uint64_t(p.max(viewArea()));
        std::uint64_t v = 0;
        std::int32_t rgb = 0;
        if (colour ? !value.isString() || !readColour(value.toString(), rgb)
                   : !readJsonWhole(value, min, max, v)) {
            return QStringLiteral("parameter '%1' must be %2")
                .arg(key, colour
                              ? QStringLiteral("a colour #RRGGBB")
                              : QStringLiteral("a whole number from %1 to %2").arg(min).arg(max));
        }
        p.set(scene, colour ? rgb : std::int64_t(v));
    }
    const QJsonValue shade = parameters.value(QStringLiteral("shade"));
    if (!shade.isBool())
        return QStringLiteral("parameter 'shade' must be true or false");
    scene.shade = shade.toBool();
    return {};
}

} // namespace

bool read(const QByteArray &contents, Place &place, QString *problem)
{
    const auto refuse = [&](const QString &text) {
        if (problem)
            *problem = text;
        return false;
    };
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(contents, &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        root.value(QStringLiteral("format")).toString() != formatName) {
        return refuse(QStringLiteral("it is not a Velmora view file"));
    }
    const QJsonValue versionValue = root.value(QStringLiteral("version"));
    std::uint64_t fileVersion = 0;
    if (!readJsonWhole(versionValue, 1, 1000000, fileVersion))
        return refuse(QStringLiteral("its version is not a whole number from 1"));
    if (fileVersion > std::uint64_t(version)) {
        return refuse(QStringLiteral("it was written by a later version of Velmora (view file "
                                     "version %1; this one reads version %2)")
                          .arg(fileVersion)
                          .arg(version));
    }

    Place read;
    const QJsonObject view = root.value(QStringLiteral("view")).toObject();
    const QJsonObject size = root.value(QStringLiteral("size")).toObject();
    const auto real = [&](const QString &key, double &v) {
        const QJsonValue value = view.value(key);
        v = value.toDouble();
        return value.isDouble() && std::isfinite(v) && std::fabs(v) <= 1e9;
    };
    if (!real(QStringLiteral("x"), read.view.x) || !real(QStringLiteral("y"), read.view.y))
        return refuse(QStringLiteral("view x and y must be numbers from -1e9 to 1e9"));
    if (!real(QStringLiteral("spacing"), read.view.spacing) || !(read.view.spacing > 0) ||
        read.view.spacing > Viewport::maxSpacing) {
        return refuse(QStringLiteral("the view's spacing must be a number above 0 and at most %1")
                          .arg(Viewport::maxSpacing));
    }
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    if (!readJsonWhole(size.value(QStringLiteral("width")), 1, maxSide, width) ||
        !readJsonWhole(size.value(QStringLiteral("height")), 1, maxSide, height)) {
        return refuse(
            QStringLiteral("the size must be a width and a height of 1 to %1 points").arg(maxSide));
    }
    read.view.size = QSize(int(width), int(height));
    if (const QString why = read.view.refusal(); !why.isEmpty())
        return refuse(why);

    const bool listed = fileVersion >= 2 && root.contains(QStringLiteral("masses"));
    if (listed) {
        if (const QString why = readMassList(root.value(QStringLiteral("masses")), read.scene);
            !why.isEmpty())
            return refuse(why);
    }
    if (const QString why =
            readParameters(root.value(QStringLiteral("parameters")).toObject(), listed, read.scene);
        !why.isEmpty())
        return refuse(why);
    place = read;
    return true;
}

QStringList renderArguments(const Place &place)
{
    const std::vector<FixedMass> &masses = place.scene.trajectory.masses;
    QStringList arguments{
        QStringLiteral("--view"),
        QStringLiteral("%1,%2,%3")
            .arg(QString::fromStdString(shortestText(place.view.x)),
                 QString::fromStdString(shortestText(place.view.y)),
                 QString::fromStdString(shortestText(place.view.spacing))),
        QStringLiteral("--size"),
        sizeText(place.view.size),
    };
    const bool listed = masses.size() != 2;
    if (listed) {
        for (std::size_t k = 0; k < masses.size(); ++k) {
            arguments << QStringLiteral("--mass")
                      << QStringLiteral("%1,%2,%3,%4,%5")
                             .arg(masses[k].x)
                             .arg(masses[k].y)
                             .arg(masses[k].weight)
                             .arg(masses[k].radius)
                             .arg(colourText(place.scene.colours[k]));
        }
    } else {
        arguments << QStringLiteral("--one")
                  << QStringLiteral("%1,%2").arg(masses[0].x).arg(masses[0].y)
                  << QStringLiteral("--two")
                  << QStringLiteral("%1,%2").arg(masses[1].x).arg(masses[1].y);
    }
    for (const SceneParameter &p : sceneParameters()) {
        if (listed && ofTwoMasses(p))
            continue;
        if (p.trajectory &&
            (p.trajectory->kind == ParameterKind::x || p.trajectory->kind == ParameterKind::y))
            continue; // --one and --two above
        arguments << QStringLiteral("--") + QLatin1String(p.name)
                  << (p.kind == SceneParameter::Kind::colour
                          ? colourText(std::int32_t(p.get(place.scene)))
                          : QString::number(p.get(place.scene)));
    }
    if (place.scene.shade)
        arguments << QStringLiteral("--shade");
    return arguments;
}

bool readViewFile(const QString &path, Place &place, QString *problem)
{
    QByteArray contents;
    QString why;
    if (readRegularFile(path, maxFileSize, contents, &why))
        read(contents, place, &why);
    if (why.isEmpty())
        return true;
    if (problem)
        *problem = why;
    return false;
}

} // namespace viewfile
