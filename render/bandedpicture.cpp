#include "bandedpicture.h"

#include "spillfile.h"

#include "engine/shading.h"
#include "picture/surface.h"
#include "scene/painter.h"

#include <algorithm>

BandedPicture::BandedPicture(const RenderParameters &parameters, int first, int end, int bandRows)
    : parameters_(parameters), view_(parameters.framing.startPoints()), first_(first), end_(end),
      fedFirst_(first), fedEnd_(end),
      keepSteps_(parameters.keepPointSteps || parameters.scene.shade),
      engine_(parameters.scene.trajectory, parameters.workers)
{
    const std::int64_t perPoint = keepSteps_ ? 9 : 1;
    const std::int64_t fit = std::max<std::int64_t>(1, bandBytes / (perPoint * view_.width));
    bandRows_ = bandRows > 0 ? bandRows : int(std::min<std::int64_t>(fit, end - first));
    columns_.resize(std::size_t(view_.width));
    for (std::size_t i = 0; i < columns_.size(); ++i)
        columns_[i] = view_.columnX(std::int64_t(i));
    const std::size_t band = std::size_t(bandRows_) * std::size_t(view_.width);
    outcomes_.resize(band);
    if (keepSteps_)
        steps_.resize(band);
    row_.resize(columns_.size());
    summary_.captured.assign(parameters.scene.trajectory.masses.size(), 0);
}

bool BandedPicture::computeBand(int firstRow, int rows)
{
    std::vector<double> y(static_cast<std::size_t>(rows));
    // The whole picture's row number: a band never starts a grid of its own.
    for (int j = 0; j < rows; ++j)
        y[std::size_t(j)] = view_.rowY(std::int64_t(first_) + firstRow + j);
    return engine_.computeGrid(columns_.data(), view_.width, y.data(), rows, outcomes_.data(),
                               keepSteps_ ? steps_.data() : nullptr);
}

void BandedPicture::count(int rows)
{
    const std::size_t n = std::size_t(rows) * std::size_t(view_.width);
    for (std::size_t k = 0; k < n; ++k) {
        if (outcomes_[k] == 0)
            ++summary_.neverCaptured;
        else
            ++summary_.captured[outcomes_[k] - 1u];
    }
    summary_.points += std::int64_t(n);
}

bool BandedPicture::writeRows(RowWriter &writer, const PointColours &colours, int rows)
{
    for (int j = 0; j < rows; ++j) {
        const std::int64_t start = std::int64_t(j) * view_.width;
        for (int i = 0; i < view_.width; ++i)
            row_[std::size_t(i)] = toRgb(colours(start + i));
        if (!writer.writeRow(row_.data()))
            return false;
    }
    return true;
}

bool BandedPicture::feedRows(int from, int to, const BandFunction &onBand)
{
    for (int top = from; top < to; top += bandRows_) {
        const int rows = std::min(bandRows_, to - top);
        if (!computeBand(top - first_, rows))
            return false;
        if (onBand)
            onBand(top, rows, outcomes_.data(), keepSteps_ ? steps_.data() : nullptr);
    }
    return true;
}

bool BandedPicture::writePlain(RowWriter &writer, const BandFunction &onBand)
{
    const PointColours colours =
        PointColours::against(parameters_.scene, outcomes_.data(), nullptr, 1);
    for (int top = 0; top < end_ - first_; top += bandRows_) {
        const int rows = std::min(bandRows_, end_ - first_ - top);
        if (!computeBand(top, rows))
            return false;
        count(rows);
        if (onBand)
            onBand(first_ + top, rows, outcomes_.data(), keepSteps_ ? steps_.data() : nullptr);
        if (!writeRows(writer, colours, rows))
            return false;
    }
    return true;
}

bool BandedPicture::writeShaded(RowWriter &writer, const BandFunction &onBand, QString *reason)
{
    SpillFile spill;
    std::uint64_t latest = 1;
    for (int top = 0; top < end_ - first_ && spill.error().isEmpty(); top += bandRows_) {
        const int rows = std::min(bandRows_, end_ - first_ - top);
        if (!computeBand(top, rows))
            return false;
        count(rows);
        const std::size_t n = std::size_t(rows) * std::size_t(view_.width);
        latest = std::max(latest, latestCapture(outcomes_.data(), steps_.data(), std::int64_t(n)));
        if (onBand)
            onBand(first_ + top, rows, outcomes_.data(), steps_.data());
        spill.writeBytes(outcomes_.data(), n);
        spill.writeSteps(steps_.data(), n);
    }
    spill.rewind();
    const PointColours colours =
        PointColours::against(parameters_.scene, outcomes_.data(), steps_.data(), latest);
    for (int top = 0; top < end_ - first_ && spill.error().isEmpty(); top += bandRows_) {
        const int rows = std::min(bandRows_, end_ - first_ - top);
        const std::size_t n = std::size_t(rows) * std::size_t(view_.width);
        if (!spill.readBytes(outcomes_.data(), n) || !spill.readSteps(steps_.data(), n))
            break;
        if (!writeRows(writer, colours, rows))
            return false;
    }
    if (!spill.error().isEmpty() && reason)
        *reason = spill.error();
    return spill.error().isEmpty();
}

bool BandedPicture::write(const QString &path, const char *format, const PngTexts &texts,
                          QString *reason, const BandFunction &onBand,
                          const std::function<void()> &onProgress,
                          const std::function<bool()> &complete)
{
    if (onProgress)
        engine_.setProgress([&onProgress](std::int64_t) { onProgress(); });
    QString spillProblem;
    const bool written = writeRowsSafely(
        path, format, QSize(view_.width, end_ - first_), texts,
        [&](RowWriter &writer) {
            const bool rows = feedRows(fedFirst_, first_, onBand) &&
                              (parameters_.scene.shade ? writeShaded(writer, onBand, &spillProblem)
                                                       : writePlain(writer, onBand)) &&
                              feedRows(end_, fedEnd_, onBand);
            summary_.steps = engine_.stepsTaken();
            return rows && (!complete || complete());
        },
        reason);
    engine_.setProgress({});
    if (!written && reason && !spillProblem.isEmpty())
        *reason = spillProblem;
    return written;
}
