#pragma once

#include "renderer.h"

#include "picture/rowwriter.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class PointColours;

/// The rows first to end - 1 of a view's picture (counted in the whole picture, so that each
/// start point has the bits it has there), computed and written in bands of rows: each band's
/// rows are painted and handed to the file as the band completes, so that memory holds a band
/// and not the picture. Shaded pictures keep each band's outcomes and steps in a scratch file
/// until the latest capture is known, and are painted from it afterwards. The file is the one
/// a whole-picture run writes, byte for byte.
class BandedPicture
{
public:
    /// bandRows 0: as many rows as fit in bandBytes.
    BandedPicture(const RenderParameters &parameters, int first, int end, int bandRows = 0);

    /// Computes the rows and writes them to path in format, with texts for a PNG, through the
    /// safe replace; false with *reason set when it could not be written. onBand, when given, is
    /// called with each band's outcomes and steps (null unless kept) in row order, before its
    /// rows are written. onProgress as Renderer::render().
    using BandFunction = std::function<void(int firstRow, int rows, const std::uint8_t *outcomes,
                                            const std::uint64_t *steps)>;
    /// complete, when given, runs once every row is written and before the file takes its
    /// place; false from it leaves the file unwritten.
    bool write(const QString &path, const char *format, const PngTexts &texts, QString *reason,
               const BandFunction &onBand = {}, const std::function<void()> &onProgress = {},
               const std::function<bool()> &complete = {});

    /// Rows beside its own that onBand is to be given as well, computed but not written: the
    /// rows [first, end) of the whole picture, which hold its own (a tile's statistics look at
    /// the rows next to it).
    void setFedRows(int first, int end)
    {
        fedFirst_ = first;
        fedEnd_ = end;
    }

    /// As Renderer's: any thread, at any time; write() then returns false soon, leaving nothing.
    void abandon() { engine_.abandon(); }
    bool abandoned() const { return engine_.abandoned(); }
    Engine &engine() { return engine_; }
    std::int64_t pointsDone() const { return engine_.pointsDone(); }
    std::uint64_t longestRunning() const { return engine_.longestRunning(); }
    std::int64_t pointCount() const { return std::int64_t(view_.width) * (end_ - first_); }
    int width() const { return view_.width; }
    int bandRows() const { return bandRows_; }

    /// The counts of the rows written; complete once write() returned true.
    const RenderSummary &summary() const { return summary_; }

    /// What the bands of a picture this wide hold at most, outcomes and steps.
    static constexpr std::int64_t bandBytes = 24 << 20;

private:
    /// Computes the band of rows from firstRow (of this picture part) into outcomes_, steps_.
    bool computeBand(int firstRow, int rows);
    bool writeRows(RowWriter &writer, const PointColours &colours, int rows);
    void count(int rows);
    bool writePlain(RowWriter &writer, const BandFunction &onBand);
    /// Computes the rows [from, to) of the whole picture for onBand alone.
    bool feedRows(int from, int to, const BandFunction &onBand);
    bool writeShaded(RowWriter &writer, const BandFunction &onBand, QString *reason);

    RenderParameters parameters_;
    View view_;
    int first_;
    int end_;
    int bandRows_;
    int fedFirst_;
    int fedEnd_;
    bool keepSteps_;
    Engine engine_;
    std::vector<float> columns_;
    std::vector<std::uint8_t> outcomes_;
    std::vector<std::uint64_t> steps_;
    std::vector<QRgb> row_;
    RenderSummary summary_;
};
