#include "parametertable.h"

namespace {

ExplorerParameter colour(const char *name, const char *label, const char *help,
                         std::int32_t Scene::*field)
{
    ExplorerParameter e;
    e.name = QString::fromLatin1(name);
    e.label = QString::fromLatin1(label);
    e.help = QString::fromLatin1(help);
    e.kind = ExplorerParameter::Kind::colour;
    e.max = 0xFFFFFF;
    e.get = [field](const Scene &s) { return std::uint64_t(s.*field); };
    e.set = [field](Scene &s, std::uint64_t v) { s.*field = std::int32_t(v); };
    return e;
}

} // namespace

QSize explorerClient()
{
    return {maxClientSide, maxClientSide};
}

const std::vector<ExplorerParameter> &explorerParameters()
{
    static const std::vector<ExplorerParameter> table = [] {
        std::vector<ExplorerParameter> t;
        for (const ParameterInfo &p : parameterTable()) {
            ExplorerParameter e;
            e.name = QString::fromLatin1(p.name);
            // The help's words, but for the step limit, whose sentence is too long for a label.
            e.label = p.kind == ParameterKind::steps ? QStringLiteral("Step limit")
                                                     : QString::fromLatin1(p.description);
            e.unit = p.kind == ParameterKind::radius || p.kind == ParameterKind::x ||
                             p.kind == ParameterKind::y
                         ? QStringLiteral("px")
                         : QString();
            e.help = parameterHelp(p, explorerClient());
            e.kind = p.kind == ParameterKind::steps ? ExplorerParameter::Kind::stepLimit
                                                    : ExplorerParameter::Kind::number;
            e.min = std::uint64_t(p.min);
            e.max = std::uint64_t(maxValue(p, explorerClient()));
            e.get = [&p](const Scene &s) { return std::uint64_t(p.get(s.trajectory)); };
            e.set = [&p](Scene &s, std::uint64_t v) { p.set(s.trajectory, std::int64_t(v)); };
            t.push_back(e);
        }
        t.push_back(colour("color-one", "Colour one", "Colour of mass one.", &Scene::colorOne));
        t.push_back(colour("color-two", "Colour two", "Colour of mass two.", &Scene::colorTwo));
        t.push_back(colour("background", "Background", "Colour where no mass captures.",
                           &Scene::background));
        return t;
    }();
    return table;
}
