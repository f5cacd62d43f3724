#pragma once

#include "framepattern.h"
#include "job.h"
#include "measures.h"
#include "renderer.h"
#include "engine/statistics.h"
#include "sweepplot.h"
#include "sweeprange.h"
#include "viewfileoption.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <functional>

/// The command line of velmora-render: its options, their defaults and the ranges the window's
/// scrollbars allow.
class RenderCommandLine
{
public:
    RenderCommandLine();

    enum class Result { render, merge, help, version, error };

    /// Parses the whole argument list, the program name first.
    Result parse(const QStringList &arguments);

    /// After Result::error: one line naming the option and what it accepts.
    const QString &errorText() const { return error_; }
    QString helpText() const { return withViewFileHelp(parser_.helpText()); }

    /// After Result::render: what to compute, where to write it and in which format ("BMP" or
    /// "PNG").
    const RenderParameters &parameters() const { return job_.parameters; }
    const QString &output() const { return job_.output; }
    const char *format() const { return job_.format; }
    /// Whether to shade captured start points by their capture step.
    bool shade() const { return job_.shade; }
    /// Where to write the statistics: empty for nowhere, "-" for standard output.
    const QString &statistics() const { return job_.statistics; }
    int entropyBox() const { return job_.entropyBox; }

    /// With --sweep: the swept range, and OUTPUT as a pattern of frame names; else null.
    const SweepRange *sweep() const { return sweeping_ ? &sweep_ : nullptr; }
    const FramePattern &frames() const { return job_.frames; }
    /// The --plot file; empty when none was asked for.
    const QString &plot() const { return job_.plot; }
    PlotMeasure plotMeasure() const { return job_.plotMeasure; }

    /// The random start points asked for by --uncertainty, --sample and --seed.
    const RandomPointOptions &randomPoints() const { return job_.randomPoints; }
    /// True when OUTPUT is "-": no picture, only the random start points' statistics.
    bool noPicture() const { return job_.output == QStringLiteral("-"); }

    /// After Result::render: the whole job.
    RenderJob job() const;

    /// After Result::merge: the file to write and the shards' statistics files, in the order
    /// given.
    const QString &mergeOutput() const { return job_.output; }
    const QStringList &mergeParts() const { return mergeParts_; }

    /// The largest client width and height accepted.
    static constexpr int maxClientSize = maxClientSide;
    static constexpr int maxThreads = 1024;
    static constexpr qint64 maxSeed = 999999999999999999;

private:
    bool read();
    /// --client and --picture, or --view and --size: the picture, the masses' start-up
    /// positions, and the area the positions may lie in.
    bool readPicture(QSize &area);
    bool readView(QSize &area);
    bool readSweep(QSize area);
    bool fail(const QCommandLineOption &option, const QString &accepts, const QString &value);
    /// Reads every value given for option, in order, so the last one counts; each must be
    /// valid on its own. read returns false for a bad value, which is named in the error.
    bool readEach(const QCommandLineOption &option, const QString &accepts,
                  const std::function<bool(const QString &)> &read);
    bool readKernel();
    bool readShard();
    bool readMerge();
    bool readRandomPoints();
    bool readPlotMeasure();

    QCommandLineParser parser_;
    QCommandLineOption client_;
    QCommandLineOption picture_;
    QCommandLineOption view_;
    QCommandLineOption size_;
    QCommandLineOption one_;
    QCommandLineOption two_;
    QCommandLineOption massOne_;
    QCommandLineOption massTwo_;
    QCommandLineOption massMoving_;
    QCommandLineOption radiusOne_;
    QCommandLineOption radiusTwo_;
    QCommandLineOption colorOne_;
    QCommandLineOption colorTwo_;
    QCommandLineOption background_;
    QCommandLineOption stepLimit_;
    QCommandLineOption threads_;
    QCommandLineOption shadeOption_;
    QCommandLineOption statisticsOption_;
    QCommandLineOption entropyBoxOption_;
    QCommandLineOption sweepOption_;
    QCommandLineOption plotOption_;
    QCommandLineOption kernel_;
    QCommandLineOption uncertaintyOption_;
    QCommandLineOption sampleOption_;
    QCommandLineOption seedOption_;
    QCommandLineOption plotMeasureOption_;
    QCommandLineOption shardOption_;
    QCommandLineOption mergeOption_;
    QCommandLineOption help_;
    QCommandLineOption version_;

    /// What is read, but for the sweep, which job() adds when one was given.
    RenderJob job_;
    bool sweeping_ = false;
    SweepRange sweep_;
    QStringList mergeParts_;
    QString error_;
};
