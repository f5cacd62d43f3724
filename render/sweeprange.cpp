#include "sweeprange.h"
#include "wholenumber.h"

#include <QRegularExpression>

#include <array>

namespace {

/// An option that can be swept: its values run from 1 (positions from 0) to its maximum, or to
/// the surface's width or height.
struct Sweepable
{
    const char *name;
    std::int16_t RenderParameters::*field;
    int min;
    int max; ///< 0: the surface's width; -1: its height
    const char *title; ///< for an axis, as a person names it: the parameter (its unit)
};

constexpr int surfaceWidth = 0;
constexpr int surfaceHeight = -1;

const std::array<Sweepable, 9> &sweepables()
{
    static const std::array<Sweepable, 9> table{{
        {"mass-one", &RenderParameters::massOne, 1, RenderParameters::maxMass,
         "mass one (10^4 kg)"},
        {"mass-two", &RenderParameters::massTwo, 1, RenderParameters::maxMass,
         "mass two (10^4 kg)"},
        {"mass-moving", &RenderParameters::massMoving, 1, RenderParameters::maxMass,
         "moving mass (10^7 kg)"},
        {"radius-one", &RenderParameters::radiusOne, 1, RenderParameters::maxRadius,
         "capture radius of mass one (pixels)"},
        {"radius-two", &RenderParameters::radiusTwo, 1, RenderParameters::maxRadius,
         "capture radius of mass two (pixels)"},
        {"one-x", &RenderParameters::xrot, 0, surfaceWidth, "x of mass one (pixels)"},
        {"one-y", &RenderParameters::yrot, 0, surfaceHeight, "y of mass one (pixels)"},
        {"two-x", &RenderParameters::xblau, 0, surfaceWidth, "x of mass two (pixels)"},
        {"two-y", &RenderParameters::yblau, 0, surfaceHeight, "y of mass two (pixels)"},
    }};
    return table;
}

} // namespace

QString SweepRange::names()
{
    QStringList list;
    for (const Sweepable &s : sweepables())
        list << QLatin1String(s.name);
    return list.join(QStringLiteral(", "));
}

bool SweepRange::read(const QString &text, QSize client, QString &accepts)
{
    static const QRegularExpression form(QStringLiteral("^([a-z-]+)=([^:]*):([^:]*):([^:]*)$"));
    const QRegularExpressionMatch m = form.match(text);
    const Sweepable *found = nullptr;
    for (const Sweepable &s : sweepables()) {
        if (m.hasMatch() && m.captured(1) == QLatin1String(s.name))
            found = &s;
    }
    if (!found) {
        accepts = QStringLiteral("NAME=FROM:TO:STEP with NAME one of %1").arg(names());
        return false;
    }

    const int max = found->max == surfaceWidth    ? client.width()
                    : found->max == surfaceHeight ? client.height()
                                                  : found->max;
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
    if (!readWhole(m.captured(4), 1, RenderParameters::maxMass, step)) {
        accepts = QStringLiteral("a STEP from 1 to %1").arg(RenderParameters::maxMass);
        return false;
    }
    const auto frames = int(std::abs(to - from) / step + 1);
    if (frames > maxFrames) {
        accepts =
            QStringLiteral("at most %1 frames (this range has %2)").arg(maxFrames).arg(frames);
        return false;
    }

    name_ = QLatin1String(found->name);
    title_ = QLatin1String(found->title);
    field_ = found->field;
    from_ = int(from);
    step_ = int(step);
    direction_ = to < from ? -1 : 1;
    frameCount_ = frames;
    return true;
}

RenderParameters SweepRange::frame(const RenderParameters &base, int value) const
{
    RenderParameters p = base;
    p.*field_ = std::int16_t(value);
    return p;
}

QString SweepRange::title() const
{
    return title_;
}
