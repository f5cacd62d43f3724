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
    QString text = QStringLiteral("--client %1x%2 --picture %3x%4 --one %5,%6 --two %7,%8")
                       .arg(p.client.width())
                       .arg(p.client.height())
                       .arg(p.picture.width())
                       .arg(p.picture.height())
                       .arg(p.xrot)
                       .arg(p.yrot)
                       .arg(p.xblau)
                       .arg(p.yblau);
    text += QStringLiteral(" --mass-one %1 --mass-two %2 --mass-moving %3 --radius-one %4 "
                           "--radius-two %5 --step-limit %6 --entropy-box %7")
                .arg(p.massOne)
                .arg(p.massTwo)
                .arg(p.massMoving)
                .arg(p.radiusOne)
                .arg(p.radiusTwo)
                .arg(p.stepLimit)
                .arg(entropyBox);
    if (sweep)
        text += QStringLiteral(" --sweep ") + sweep->text();
    return text;
}
