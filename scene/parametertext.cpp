#include "parametertext.h"

#include "text.h"

#include <cmath>

QString parameterUnit(const ParameterInfo &p)
{
    switch (p.kind) {
    case ParameterKind::fixedMass:
    case ParameterKind::movingMass:
        return QStringLiteral("x %1 kg").arg(kilogramsPerValue(p), 0, 'f', 0);
    case ParameterKind::steps:
        return QStringLiteral("steps");
    default:
        return QStringLiteral("pixels");
    }
}

QString parameterAxisTitle(const ParameterInfo &p)
{
    QString name = QString::fromLatin1(p.description);
    name[0] = name[0].toLower();
    const double kilograms = kilogramsPerValue(p);
    const QString unit = kilograms > 0
        ? QStringLiteral("10^%1 kg").arg(std::lround(std::log10(kilograms)))
        : parameterUnit(p);
    return QStringLiteral("%1 (%2)").arg(name, unit);
}

QString parameterHelp(const ParameterInfo &p, QSize client)
{
    const std::int64_t max = maxValue(p, client);
    const std::int64_t byDefault = defaultValue(p, client);
    switch (p.kind) {
    case ParameterKind::fixedMass:
    case ParameterKind::movingMass:
        return QStringLiteral("%1, %2 to %3; kilograms = V x %4 (default: %5).")
            .arg(QLatin1String(p.description))
            .arg(p.min)
            .arg(max)
            .arg(kilogramsPerValue(p), 0, 'f', 0)
            .arg(byDefault);
    case ParameterKind::steps:
        return QStringLiteral("%1, %2 to %3, as digits or like 5e6 (default: %4).")
            .arg(QLatin1String(p.description), stepsText(p.min), stepsText(max),
                 stepsText(byDefault));
    default:
        return QStringLiteral("%1, %2 to %3 pixels (default: %4).")
            .arg(QLatin1String(p.description))
            .arg(p.min)
            .arg(max)
            .arg(byDefault);
    }
}

QString parameterAccepts(const ParameterInfo &p, QSize client)
{
    if (p.kind == ParameterKind::steps) {
        return QStringLiteral("a whole number of steps from %1 to %2")
            .arg(stepsText(p.min), stepsText(maxValue(p, client)));
    }
    return QStringLiteral("a whole number from %1 to %2").arg(p.min).arg(maxValue(p, client));
}
