#include "sweeprange.h"
#include "scene/parametertext.h"
#include "scene/text.h"

#include <QRegularExpression>

namespace {

/// The largest STEP.
constexpr int maxStep = 32767;

} // namespace

QString SweepRange::names()
{
    return names(2) + QStringLiteral("; with --mass, mass-K, radius-K, K-x and K-y for every "
                                     "mass K given, from one, two and three to sixteen");
}

QString SweepRange::names(int masses)
{
    QStringList list;
    TrajectoryParameters scene;
    scene.masses.resize(std::size_t(masses));
    for (const ParameterInfo &p : parameterTable()) {
        if (p.sweepable && appliesTo(p, scene))
            list << QLatin1String(p.name);
    }
    for (const ParameterInfo &p : laterMassParameters()) {
        if (appliesTo(p, scene))
            list << QLatin1String(p.name);
    }
    return list.join(QStringLiteral(", "));
}

bool SweepRange::read(const QString &text, QSize client, int masses, QString &accepts)
{
    static const QRegularExpression form(QStringLiteral("^([a-z-]+)=([^:]*):([^:]*):([^:]*)\\z"));
    const QRegularExpressionMatch m = form.match(text);
    const ParameterInfo *found =
        m.hasMatch() ? findParameter(m.captured(1).toStdString()) : nullptr;
    if (!found || !found->sweepable || found->mass >= masses) {
        accepts = QStringLiteral("NAME=FROM:TO:STEP with NAME one of %1").arg(names(masses));
        return false;
    }

    const std::int64_t max = maxValue(*found, client);
    qint64 from = 0;
    qint64 to = 0;
    if (!readWhole(m.captured(2), found->min, max, from) ||
        !readWhole(m.captured(3), found->min, max, to)) {
        accepts = QStringLiteral("FROM and TO of %1 whole numbers from %2 to %3")
                      .arg(QLatin1String(found->name))
                      .arg(found->min)
                      .arg(max);
        return false;
    }
    qint64 step = 0;
    if (!readWhole(m.captured(4), 1, maxStep, step)) {
        accepts = QStringLiteral("a STEP from 1 to %1").arg(maxStep);
        return false;
    }
    const auto frames = int(std::abs(to - from) / step + 1);
    if (frames > maxFrames) {
        accepts =
            QStringLiteral("at most %1 frames (this range has %2)").arg(maxFrames).arg(frames);
        return false;
    }

    parameter_ = found;
    from_ = int(from);
    step_ = int(step);
    direction_ = to < from ? -1 : 1;
    frameCount_ = frames;
    text_ = QStringLiteral("%1=%2:%3:%4").arg(name()).arg(from).arg(to).arg(step);
    return true;
}

RenderParameters SweepRange::frame(const RenderParameters &base, int value) const
{
    RenderParameters p = base;
    parameter_->set(p.scene.trajectory, value);
    return p;
}

QString SweepRange::title() const
{
    return parameterAxisTitle(*parameter_);
}
