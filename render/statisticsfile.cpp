#include "statisticsfile.h"

#include "picture/safefile.h"

#include <algorithm>
#include <charconv>

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

} // namespace

QByteArray statisticsCsvHeader()
{
    return QByteArrayLiteral("frame,value,points,one,two,never,fraction_one,fraction_two,"
                             "fraction_never,basin_entropy,boundary_basin_entropy,"
                             "boundary_fraction\n");
}

QByteArray statisticsCsvRow(const Statistics &s, const StatisticsFrame &frame)
{
    QByteArray out;
    appendWhole(out, frame.number);
    out.append(',');
    if (frame.value)
        appendWhole(out, *frame.value);
    for (const std::int64_t count : {s.points, s.one, s.two, s.never}) {
        out.append(',');
        appendWhole(out, count);
    }
    for (const std::int64_t count : {s.one, s.two, s.never}) {
        out.append(',');
        appendReal(out, s.fraction(count));
    }
    out.append(',');
    appendOptional(out, s.basinEntropy, "");
    out.append(',');
    appendOptional(out, s.boundaryBasinEntropy, "");
    out.append(',');
    appendReal(out, s.boundaryFraction);
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
    out.append("\"points\": ");
    appendWhole(out, s.points);
    out.append(",\n \"captured\": {\"one\": ");
    appendWhole(out, s.one);
    out.append(", \"two\": ");
    appendWhole(out, s.two);
    out.append(", \"never\": ");
    appendWhole(out, s.never);
    out.append("},\n \"fraction\": {\"one\": ");
    appendReal(out, s.fraction(s.one));
    out.append(", \"two\": ");
    appendReal(out, s.fraction(s.two));
    out.append(", \"never\": ");
    appendReal(out, s.fraction(s.never));
    out.append("},\n \"steps\": {");
    if (s.stepsOne)
        appendSteps(out, "one", *s.stepsOne);
    if (s.stepsOne && s.stepsTwo)
        out.append(", ");
    if (s.stepsTwo)
        appendSteps(out, "two", *s.stepsTwo);
    out.append("},\n \"basin_entropy\": ");
    appendOptional(out, s.basinEntropy, "null");
    out.append(", \"boundary_basin_entropy\": ");
    appendOptional(out, s.boundaryBasinEntropy, "null");
    out.append(", \"entropy_box\": ");
    appendWhole(out, std::int64_t(s.entropyBox));
    out.append(",\n \"boundary_fraction\": ");
    appendReal(out, s.boundaryFraction);
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
                          bool series)
{
    if (format == StatisticsFormat::csv) {
        QByteArray text = statisticsCsvHeader();
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
