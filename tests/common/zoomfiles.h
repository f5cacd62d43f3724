#pragma once

#include <QFile>
#include <QString>

#include <utility>

/// Writes from.json and to.json into folder: two view files of width x height start points and
/// the same parameters, the second zoomed 12 times into the boundary between the masses.
inline bool writeZoomFiles(const QString &folder, int width, int height)
{
    const QString view = QStringLiteral(
        "{\"format\":\"velmora-view\",\"version\":1,\"view\":{\"x\":%1,\"y\":%2,\"spacing\":%3},"
        "\"size\":{\"width\":%4,\"height\":%5},\"parameters\":{\"mass-one\":10,\"mass-two\":10,"
        "\"mass-moving\":70,\"radius-one\":5,\"radius-two\":5,\"one-x\":502,\"one-y\":350,"
        "\"two-x\":522,\"two-y\":350,\"step-limit\":1e14,\"color-one\":\"#ff0000\","
        "\"color-two\":\"#0000ff\",\"background\":\"#ffffff\",\"shade\":false}}");
    for (const auto &[name, text] :
         {std::pair{"from.json", view.arg(470).arg(320).arg(1.5)},
          std::pair{"to.json", view.arg(505.25).arg(345.5).arg(0.125)}}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(QString(text).arg(width).arg(height).toUtf8()) <= 0) {
            return false;
        }
    }
    return true;
}
