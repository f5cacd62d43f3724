#include "statisticsfile.h"

#include "text.h"

#include <algorithm>
#include <charconv>
#include <functional>

namespace {

void appendWhole(QByteArray &out, std::int64_t value)
{
    char text[24];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    out.append(text, end.ptr - text);
}

void appendWhole(QByteArray &out, std::uint64_t value)
{
    char text[24];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    out.append(text, end.ptr - text);
}

void appendReal(QByteArray &out, double value)
{
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    out.append(text, end.ptr - text);
    if (std::find_if(text, end.ptr, [](char c) { return c == '.' || c == 'e'; }) == end.ptr)
        out.append(".0");
}

void appendOptional(QByteArray &out, const std::optional<double> &value, const char *absent)
{
    if (value)
        appendReal(out, *value);
    else
        out.append(absent);
}

void appendSteps(QByteArray &out, const char *mass, const StepRange &range)
{
    out.append("\"").append(mass).append("\": {\"min\": ");
    appendWhole(out, range.min);
    out.append(", \"median\": ");
    appendReal(out, range.median);
    out.append(", \"max\": ");
    appendWhole(out, range.max);
    out.append("}");
}

void appendSlope(QByteArray &out, const char *name, const std::optional<Slope> &slope)
{
    out.append("\"").append(name).append("\": ");
    appendOptional(out, slope ? std::optional<double>(slope->slope) : std::nullopt, "null");
    out.append(", \"").append(name).append("_error\": ");
    appendOptional(out, slope ? std::optional<double>(slope->error) : std::nullopt, "null");
}

/// The key of an outcome in the files: "one", "two", ... for the masses, "never".
const char *outcomeKey(sim::Capture outcome)
{
    return outcome == sim::Capture::none ? "never" : massWord(int(outcome));
}

/// {"one": a, "two": b, ..., "never": c}
void appendOutcomes(QByteArray &out, int masses, const std::function<double(sim::Capture)> &value,
                    bool real = true)
{
    const char *separator = "{\"";
    for (const sim::Capture outcome : outcomeOrder(masses)) {
        out.append(separator).append(outcomeKey(outcome)).append("\": ");
        if (real)
            appendReal(out, value(outcome));
        else
            appendWhole(out, std::int64_t(value(outcome)));
        separator = ", \"";
    }
    out.append("}");
}

void appendWadaCsv(QByteArray &out, const Statistics &s)
{
    if (!s.wada)
        return;
    for (const double meet : s.wada->meet) {
        out.append(',');
        appendReal(out, meet);
    }
    for (const std::optional<double> &share : s.wada->notWada) {
        out.append(',');
        appendOptional(out, share, "");
    }
}

/// ,\n "wada": {"meet": [...], "not_wada": {"1": ..., "16": ...}}
void appendWadaJson(QByteArray &out, const Statistics &s)
{
    if (!s.wada)
        return;
    out.append(",\n \"wada\": {\"meet\": [");
    for (std::size_t m = 0; m < s.wada->meet.size(); ++m) {
        out.append(m > 0 ? ", " : "");
        appendReal(out, s.wada->meet[m]);
    }
    out.append("], \"not_wada\": {");
    for (std::size_t i = 0; i < wadaRadii.size(); ++i) {
        out.append(i > 0 ? ", \"" : "\"").append(QByteArray::number(wadaRadii[i])).append("\": ");
        appendOptional(out, s.wada->notWada[i], "null");
    }
    out.append("}}");
}

/// ",N,SEED" of a measure of random start points, or ",," without one.
void appendCountAndSeed(QByteArray &out, const std::int64_t *n, const std::uint64_t *seed)
{
    out.append(',');
    if (n)
        appendWhole(out, *n);
    out.append(',');
    if (seed)
        appendWhole(out, *seed);
}

void appendRandomMeasuresJson(QByteArray &out, const Statistics &s)
{
    if (const std::optional<Uncertainty> &u = s.uncertainty) {
        out.append(",\n \"uncertainty\": {\"n\": ");
        appendWhole(out, u->n);
        out.append(", \"seed\": ");
        appendWhole(out, u->seed);
        out.append(", ");
        appendSlope(out, "alpha", u->alpha);
        out.append(", \"dimension\": ");
        appendOptional(out, u->dimension(), "null");
        out.append(",\n  \"table\": [");
        for (std::size_t i = 0; i < u->table.size(); ++i) {
            out.append(i == 0 ? "[" : ", [");
            appendReal(out, u->table[i].epsilon);
            out.append(", ");
            appendReal(out, u->table[i].fraction);
            out.append(", ");
            appendWhole(out, u->table[i].uncertain);
            out.append("]");
        }
        out.append("]}");
    }
    if (const std::optional<SampledFractions> &f = s.sample) {
        out.append(",\n \"sample\": {\"n\": ");
        appendWhole(out, f->n);
        out.append(", \"seed\": ");
        appendWhole(out, f->seed);
        out.append(", \"fraction\": ");
        appendOutcomes(out, f->masses(), [&](sim::Capture o) { return f->fraction(o); });
        out.append(", \"standard_error\": ");
        appendOutcomes(out, f->masses(), [&](sim::Capture o) { return f->standardError(o); });
        out.append("}");
    }
}

} // namespace

QByteArray statisticsCsvHeader(int masses, bool wada)
{
    const std::vector<sim::Capture> order = outcomeOrder(masses);
    QByteArray out("frame,value,points");
    const auto columns = [&](const char *prefix) {
        for (const sim::Capture outcome : order)
            out.append(',').append(prefix).append(outcomeKey(outcome));
    };
    columns("");
    columns("fraction_");
    out.append(",basin_entropy,boundary_basin_entropy,boundary_fraction,box_dimension,"
               "box_dimension_error,uncertainty_n,uncertainty_seed,alpha,alpha_error,"
               "uncertainty_dimension,sample_n,sample_seed");
    columns("sample_");
    columns("sample_error_");
    for (const sim::Capture from : order) {
        const QByteArray prefix = QByteArray("tipping_") + outcomeKey(from) + '_';
        columns(prefix.constData());
    }
    if (wada) {
        for (int m = 1; m <= masses; ++m)
            out.append(",wada_meet_").append(QByteArray::number(m));
        for (const int r : wadaRadii)
            out.append(",wada_not_wada_").append(QByteArray::number(r));
    }
    return out.append('\n');
}

QByteArray statisticsCsvRow(const Statistics &s, const StatisticsFrame &frame)
{
    const std::vector<sim::Capture> order = outcomeOrder(s.masses());
    QByteArray out;
    appendWhole(out, frame.number);
    out.append(',');
    if (frame.value)
        appendWhole(out, *frame.value);
    if (s.grid) {
        out.append(',');
        appendWhole(out, s.points);
        for (const sim::Capture outcome : order) {
            out.append(',');
            appendWhole(out, s.count(outcome));
        }
        for (const sim::Capture outcome : order) {
            out.append(',');
            appendReal(out, s.fraction(s.count(outcome)));
        }
        out.append(',');
        appendOptional(out, s.basinEntropy, "");
        out.append(',');
        appendOptional(out, s.boundaryBasinEntropy, "");
        out.append(',');
        appendReal(out, s.boundaryFraction);
    } else {
        out.append(QByteArray(2 * int(order.size()) + 4, ','));
    }
    const auto field = [&](const std::optional<double> &value) {
        out.append(',');
        appendOptional(out, value, "");
    };
    field(s.boxDimension ? std::optional<double>(s.boxDimension->slope) : std::nullopt);
    field(s.boxDimension ? std::optional<double>(s.boxDimension->error) : std::nullopt);
    appendCountAndSeed(out, s.uncertainty ? &s.uncertainty->n : nullptr,
                       s.uncertainty ? &s.uncertainty->seed : nullptr);
    const std::optional<Slope> alpha = s.uncertainty ? s.uncertainty->alpha : std::nullopt;
    field(alpha ? std::optional<double>(alpha->slope) : std::nullopt);
    field(alpha ? std::optional<double>(alpha->error) : std::nullopt);
    field(s.uncertainty ? s.uncertainty->dimension() : std::nullopt);
    appendCountAndSeed(out, s.sample ? &s.sample->n : nullptr, s.sample ? &s.sample->seed : nullptr);
    for (const auto &value : {&SampledFractions::fraction, &SampledFractions::standardError}) {
        for (const sim::Capture outcome : order)
            field(s.sample ? std::optional<double>(((*s.sample).*value)(outcome)) : std::nullopt);
    }
    for (std::size_t row = 0; row < order.size(); ++row) {
        for (std::size_t column = 0; column < order.size(); ++column)
            field(s.tippingFromPrevious ? (*s.tippingFromPrevious)[row][column] : std::nullopt);
    }
    appendWadaCsv(out, s);
    out.append('\n');
    return out;
}

QByteArray statisticsJson(const Statistics &s, const std::optional<StatisticsFrame> &frame)
{
    QByteArray out("{");
    if (frame) {
        out.append("\"frame\": ");
        appendWhole(out, frame->number);
        out.append(", \"value\": ");
        if (frame->value)
            appendWhole(out, *frame->value);
        else
            out.append("null");
        out.append(", ");
    }
    if (!s.grid) {
        QByteArray measures;
        appendRandomMeasuresJson(measures, s);
        return out.append(measures.mid(int(qstrlen(",\n ")))).append("}");
    }
    out.append("\"points\": ");
    appendWhole(out, s.points);
    out.append(",\n \"captured\": ");
    appendOutcomes(out, s.masses(), [&](sim::Capture o) { return s.count(o); }, false);
    out.append(",\n \"fraction\": ");
    appendOutcomes(out, s.masses(), [&](sim::Capture o) { return s.fraction(s.count(o)); });
    out.append(",\n \"steps\": {");
    const char *separator = "";
    for (std::size_t k = 0; k < s.steps.size(); ++k) {
        if (s.steps[k]) {
            out.append(separator);
            appendSteps(out, massWord(int(k) + 1), *s.steps[k]);
            separator = ", ";
        }
    }
    out.append("},\n \"basin_entropy\": ");
    appendOptional(out, s.basinEntropy, "null");
    out.append(", \"boundary_basin_entropy\": ");
    appendOptional(out, s.boundaryBasinEntropy, "null");
    out.append(", \"entropy_box\": ");
    appendWhole(out, std::int64_t(s.entropyBox));
    out.append(",\n \"boundary_fraction\": ");
    appendReal(out, s.boundaryFraction);
    out.append(", ");
    appendSlope(out, "box_dimension", s.boxDimension);
    appendWadaJson(out, s);
    appendRandomMeasuresJson(out, s);
    if (frame) {
        out.append(",\n \"tipping_from_previous\": ");
        if (const std::optional<TippingMatrix> &m = s.tippingFromPrevious) {
            for (std::size_t row = 0; row < m->size(); ++row) {
                for (std::size_t column = 0; column < m->size(); ++column) {
                    out.append(column > 0 ? ", " : row > 0 ? "], [" : "[[");
                    appendOptional(out, (*m)[row][column], "null");
                }
            }
            out.append("]]");
        } else {
            out.append("null");
        }
    }
    out.append("}");
    return out;
}

std::optional<StatisticsFormat> statisticsFormat(const QString &path)
{
    if (path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive))
        return StatisticsFormat::json;
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return StatisticsFormat::csv;
    return std::nullopt;
}

QByteArray statisticsText(const std::vector<FrameStatistics> &frames, StatisticsFormat format,
                          bool series, int masses, bool wada)
{
    if (format == StatisticsFormat::csv) {
        QByteArray text = statisticsCsvHeader(masses, wada);
        for (const FrameStatistics &f : frames)
            text += statisticsCsvRow(f.statistics, f.place);
        return text;
    }
    if (!series)
        return frames.empty() ? QByteArray() : statisticsJson(frames[0].statistics) + '\n';
    QByteArray text("[");
    for (std::size_t i = 0; i < frames.size(); ++i)
        text += (i == 0 ? "\n" : ",\n") + statisticsJson(frames[i].statistics, frames[i].place);
    return text + "\n]\n";
}
