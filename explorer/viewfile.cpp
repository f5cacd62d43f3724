#include "viewfile.h"

#include "parametertable.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace viewfile {

namespace {

const QString formatName = QStringLiteral("velmora-view");

QString colourText(std::uint64_t colour)
{
    return QStringLiteral("#%1%2%3")
        .arg(colour & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

bool readColour(const QJsonValue &value, std::uint64_t &colour)
{
    static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!value.isString() || !hex.match(value.toString()).hasMatch())
        return false;
    const std::uint64_t rgb = value.toString().mid(1).toULongLong(nullptr, 16);
    colour = ((rgb >> 16) & 0xFF) + 256 * ((rgb >> 8) & 0xFF) + 65536 * (rgb & 0xFF);
    return true;
}

/// A whole number in [min, max], exactly.
bool readWhole(const QJsonValue &value, std::uint64_t min, std::uint64_t max,
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

} // namespace

QByteArray write(const Place &place)
{
    QJsonObject parameters;
    for (const ExplorerParameter &p : explorerParameters()) {
        if (p.kind == ExplorerParameter::Kind::colour)
            parameters.insert(p.name, colourText(p.get(place.scene)));
        else
            parameters.insert(p.name, double(p.get(place.scene)));
    }
    parameters.insert(QStringLiteral("shade"), place.scene.shade);
    const QJsonObject root{
        {QStringLiteral("format"), formatName},
        {QStringLiteral("version"), version},
        {QStringLiteral("view"), QJsonObject{{QStringLiteral("x"), place.view.x},
                                             {QStringLiteral("y"), place.view.y},
                                             {QStringLiteral("spacing"), place.view.spacing}}},
        {QStringLiteral("size"), QJsonObject{{QStringLiteral("width"), place.view.size.width()},
                                             {QStringLiteral("height"), place.view.size.height()}}},
        {QStringLiteral("parameters"), parameters},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

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
    if (!readWhole(versionValue, 1, 1000000, fileVersion))
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
    if (!readWhole(size.value(QStringLiteral("width")), 1, maxSide, width) ||
        !readWhole(size.value(QStringLiteral("height")), 1, maxSide, height)) {
        return refuse(QStringLiteral("the size must be a width and a height of 1 to %1 points")
                          .arg(maxSide));
    }
    read.view.size = QSize(int(width), int(height));
    if (const QString why = read.view.refusal(); !why.isEmpty())
        return refuse(why);

    const QJsonObject parameters = root.value(QStringLiteral("parameters")).toObject();
    for (const ExplorerParameter &p : explorerParameters()) {
        const QJsonValue value = parameters.value(p.name);
        std::uint64_t v = 0;
        const bool colour = p.kind == ExplorerParameter::Kind::colour;
        if (colour ? !readColour(value, v) : !readWhole(value, p.min, p.max, v)) {
            return refuse(QStringLiteral("parameter '%1' must be %2")
                              .arg(p.name, colour ? QStringLiteral("a colour #RRGGBB")
                                                  : QStringLiteral("a whole number from %1 to %2")
                                                        .arg(p.min)
                                                        .arg(p.max)));
        }
        p.set(read.scene, v);
    }
    const QJsonValue shade = parameters.value(QStringLiteral("shade"));
    if (!shade.isBool())
        return refuse(QStringLiteral("parameter 'shade' must be true or false"));
    read.scene.shade = shade.toBool();
    place = read;
    return true;
}

QStringList renderArguments(const Place &place)
{
    const TrajectoryParameters &p = place.scene.trajectory;
    QStringList arguments{
        QStringLiteral("--view"),
        QStringLiteral("%1,%2,%3")
            .arg(QString::fromStdString(shortestText(place.view.x)),
                 QString::fromStdString(shortestText(place.view.y)),
                 QString::fromStdString(shortestText(place.view.spacing))),
        QStringLiteral("--size"),
        QStringLiteral("%1x%2").arg(place.view.size.width()).arg(place.view.size.height()),
        QStringLiteral("--one"),
        QStringLiteral("%1,%2").arg(p.xrot).arg(p.yrot),
        QStringLiteral("--two"),
        QStringLiteral("%1,%2").arg(p.xblau).arg(p.yblau),
    };
    for (const ExplorerParameter &e : explorerParameters()) {
        if (e.name.contains(QLatin1Char('-')) && (e.name.startsWith(QStringLiteral("one-")) ||
                                                 e.name.startsWith(QStringLiteral("two-"))))
            continue; // --one and --two above
        arguments << QStringLiteral("--") + e.name
                  << (e.kind == ExplorerParameter::Kind::colour ? colourText(e.get(place.scene))
                                                                : QString::number(e.get(place.scene)));
    }
    if (place.scene.shade)
        arguments << QStringLiteral("--shade");
    return arguments;
}

} // namespace viewfile
