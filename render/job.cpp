#include "job.h"

JobFrame RenderJob::frame(int number) const
{
    if (!sweep)
        return {0, std::nullopt, output, parameters};
    const int value = sweep->value(number);
    return {number, value, frames.fileName(number), sweep->frame(parameters, value)};
}

QString RenderJob::identity() const
{
    const RenderParameters &p = parameters;
    QString text;
    if (p.view) {
        text = QStringLiteral("--view %1,%2,%3 --size %4x%5")
                   .arg(QString::fromStdString(shortestText(p.view->x + double(p.view->column) *
                                                                          p.view->spacing)),
                        QString::fromStdString(shortestText(p.view->y + double(p.view->row) *
                                                                          p.view->spacing)),
                        QString::fromStdString(shortestText(p.view->spacing)))
                   .arg(p.view->width)
                   .arg(p.view->height);
    } else {
        text = QStringLiteral("--client %1x%2 --picture %3x%4")
                   .arg(p.client.width())
                   .arg(p.client.height())
                   .arg(p.picture.width())
                   .arg(p.picture.height());
    }
    for (const ParameterInfo &parameter : parameterTable())
        text += QStringLiteral(" --%1 %2").arg(QLatin1String(parameter.name)).arg(parameter.get(p));
    text += QStringLiteral(" --entropy-box %1").arg(entropyBox);
    if (sweep)
        text += QStringLiteral(" --sweep ") + sweep->text();
    if (randomPoints.uncertainty > 0)
        text += QStringLiteral(" --uncertainty %1").arg(randomPoints.uncertainty);
    if (randomPoints.sample > 0)
        text += QStringLiteral(" --sample %1").arg(randomPoints.sample);
    if (randomPoints.uncertainty > 0 || randomPoints.sample > 0)
        text += QStringLiteral(" --seed %1").arg(randomPoints.seed);
    return text;
}
