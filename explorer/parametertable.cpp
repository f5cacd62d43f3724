#include "parametertable.h"

namespace {

using P = RenderParameters;

template <class T> ExplorerParameter entry(const char *name, const char *label, const char *unit,
                                           const char *help, ExplorerParameter::Kind kind,
                                           std::uint64_t min, std::uint64_t max, T P::*field)
{
    ExplorerParameter e;
    e.name = QString::fromLatin1(name);
    e.label = QString::fromUtf8(label);
    e.unit = QString::fromUtf8(unit);
    e.help = QString::fromUtf8(help);
    e.kind = kind;
    e.min = min;
    e.max = max;
    e.get = [field](const Scene &s) { return std::uint64_t(s.parameters.*field); };
    e.set = [field](Scene &s, std::uint64_t v) { s.parameters.*field = T(v); };
    return e;
}

} // namespace

const std::vector<ExplorerParameter> &explorerParameters()
{
    using K = ExplorerParameter::Kind;
    static const std::vector<ExplorerParameter> table = {
        entry("mass-one", "Mass one", "", "Mass one; kilograms = value x 10000.", K::number, 1,
              P::maxMass, &P::massOne),
        entry("mass-two", "Mass two", "", "Mass two; kilograms = value x 10000.", K::number, 1,
              P::maxMass, &P::massTwo),
        entry("mass-moving", "Moving mass", "", "The moving mass; kilograms = value x 1e7.",
              K::number, 1, P::maxMass, &P::massMoving),
        entry("radius-one", "Radius one", "px", "Capture radius of mass one.", K::number, 1,
              P::maxRadius, &P::radiusOne),
        entry("radius-two", "Radius two", "px", "Capture radius of mass two.", K::number, 1,
              P::maxRadius, &P::radiusTwo),
        entry("one-x", "Mass one x", "px", "Position of mass one.", K::number, 0, 16384, &P::xrot),
        entry("one-y", "Mass one y", "px", "Position of mass one.", K::number, 0, 16384, &P::yrot),
        entry("two-x", "Mass two x", "px", "Position of mass two.", K::number, 0, 16384, &P::xblau),
        entry("two-y", "Mass two y", "px", "Position of mass two.", K::number, 0, 16384, &P::yblau),
        entry("step-limit", "Step limit", "", "Steps per start point before it stays unpainted.",
              K::stepLimit, 1, sim::stepLimit, &P::stepLimit),
        entry("color-one", "Colour one", "", "Colour of mass one.", K::colour, 0, 0xFFFFFF,
              &P::colorOne),
        entry("color-two", "Colour two", "", "Colour of mass two.", K::colour, 0, 0xFFFFFF,
              &P::colorTwo),
        entry("background", "Background", "", "Colour where no mass captures.", K::colour, 0,
              0xFFFFFF, &P::background),
    };
    return table;
}
