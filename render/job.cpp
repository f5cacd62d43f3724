#include "job.h"

#include "scene/text.h"

JobFrame RenderJob::frame(int number) const
{
    if (zoom) {
        RenderParameters p = parameters;
        p.framing.view = zoom->view(number);
        return {number, number, movie ? QString() : frames.fileName(number), p};
    }
    if (!sweep)
        return {0, std::nullopt, output, parameters};
    const int value = sweep->value(number);
    return {number, value, frames.fileName(number), sweep->frame(parameters, value)};
}

QString RenderJob::identity() const
{
    const Framing &f = parameters.framing;
    QString text;
    if (const std::optional<View> &v = f.view) {
        text = QStringLiteral("--view %1,%2,%3 --size %4x%5")
                   .arg(QString::fromStdString(shortestText(v->x + double(v->column) * v->spacing)),
                        QString::fromStdString(shortestText(v->y + double(v->row) * v->spacing)),
                        QString::fromStdString(shortestText(v->spacing)))
                   .arg(v->width)
                   .arg(v->height);
    } else {
        text = QStringLiteral("--client %1 --picture %2").arg(sizeText(f.client), sizeText(f.picture));
    }
    const TrajectoryParameters &trajectory = parameters.scene.trajectory;
    for (const ParameterInfo &parameter : parameterTable()) {
        if (trajectory.masses.size() == 2 || parameter.mass < 0) {
            text += QStringLiteral(" --%1 %2")
                        .arg(QLatin1String(parameter.name))
                        .arg(parameter.get(trajectory));
        }
    }
    if (trajectory.masses.size() != 2) {
        for (const FixedMass &m : trajectory.masses)
            text += QStringLiteral(" --mass %1,%2,%3,%4").arg(m.x).arg(m.y).arg(m.weight).arg(m.radius);
    }
    text += QStringLiteral(" --entropy-box %1").arg(entropyBox);
    if (wada)
        text += QStringLiteral(" --wada");
    if (sweep)
        text += QStringLiteral(" --sweep ") + sweep->text();
    if (zoom) {
        const View &to = zoom->to;
        text += QStringLiteral(" --zoom-to %1,%2,%3 --frames %4")
                    .arg(QString::fromStdString(shortestText(to.x + double(to.column) * to.spacing)),
                         QString::fromStdString(shortestText(to.y + double(to.row) * to.spacing)),
                         QString::fromStdString(shortestText(to.spacing)))
                    .arg(zoom->frames);
    }
    if (randomPoints.uncertainty > 0)
        text += QStringLiteral(" --uncertainty %1").arg(randomPoints.uncertainty);
    if (randomPoints.sample > 0)
        text += QStringLiteral(" --sample %1").arg(randomPoints.sample);
    if (randomPoints.uncertainty > 0 || randomPoints.sample > 0)
        text += QStringLiteral(" --seed %1").arg(randomPoints.seed);
    return text;
}

QString RenderJob::pictureIdentity() const
{
    const Scene &scene = parameters.scene;
    QString text = identity();
    for (const std::int32_t colour : scene.colours)
        text += QStringLiteral(" --color %1").arg(colour);
    text += QStringLiteral(" --background %1").arg(scene.background);
    if (scene.shade)
        text += QStringLiteral(" --shade");
    return text;
}
