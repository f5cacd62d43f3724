#pragma once

#include "job.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

/// The command line of velmora-render: its options, their defaults and ranges, read into one
/// job. The scene's options come from the parameter tables, so that their names, ranges and help
/// are the ones every front end uses.
class RenderCommandLine
{
public:
    RenderCommandLine();

    enum class Result { render, merge, mergePicture, help, version, error };

    /// Parses the whole argument list, the program name first.
    Result parse(const QStringList &arguments);

    /// After Result::error: one line naming the option and what it accepts.
    const QString &errorText() const { return error_; }
    QString helpText() const { return parser_.helpText(); }

    /// After Result::render: what to compute and where to write it.
    const RenderJob &job() const { return job_; }

    /// The widest and tallest view a single picture may be; it is computed in bands of rows.
    static constexpr int maxViewSide = 65536;

    /// After Result::merge or Result::mergePicture: the file to write and the shards' statistics files, in the order
    /// given.
    const QString &mergeOutput() const { return job_.output; }
    const QStringList &mergeParts() const { return mergeParts_; }

    static constexpr qint64 maxSeed = 999999999999999999;

private:
    /// The options of the table's parameters, the colours and everything else, with their help.
    void addOptions();
    bool read();
    /// --client and --picture, --view and --size, or --view-file: the scene the options start
    /// from, which start points the picture shows, and the area the positions may lie in.
    bool readFraming(QSize &area);
    bool readPicture(QSize &area);
    bool readView(QSize &area);
    bool readViewFile(QSize &area);
    bool readViewFile(QSize &area, const QCommandLineOption &file);
    /// --zoom FROM.json with TO.json, the first of the positional arguments, and --frames.
    bool readZoom(QSize &area);
    bool readSize(QSize &size);
    bool readMasses(QSize area);
    /// --mass, repeated: the masses of a view, in mass order; refuses the two-mass options
    /// beside it, or beside a view file of another number of masses.
    bool readMassList(QSize area);
    /// The default colours of the masses --mass gives none, once the background is known.
    void fillMassColours();
    bool readColours();
    bool readWorkers();
    bool readOutputs();
    bool readOutputName();
    bool readSweep(QSize area);
    /// --fps and --lossless, with --zoom to an .mp4.
    bool readMovie();
    bool fail(const QCommandLineOption &option, const QString &accepts, const QString &value);
    /// Reads every value given for option, in order, so the last one counts; each must be
    /// valid on its own. read returns false for a bad value, which is named in the error.
    bool readEach(const QCommandLineOption &option, const QString &accepts,
                  const std::function<bool(const QString &)> &read);
    bool readKernel();
    bool readShard();
    /// OUTPUT and its PARTs of a merge: no option but this one, OUTPUT accepted by its ending.
    bool readMergeArguments(const QString &option, bool (*accepted)(const QString &),
                            const char *endings);
    bool readMerge();
    /// --merge-picture OUTPUT PART...
    bool readMergePicture();
    /// --tile and --band-rows, and the limits of a picture computed in bands: a sweep's or a
    /// zoom's frames at most maxClientSide a side, a bitmap within its header's limit.
    bool readPoster();
    bool readRandomPoints();
    bool readPlotMeasure();
    /// The option of this name.
    const QCommandLineOption &option(const char *name) const;

    QCommandLineParser parser_;
    /// Every option but --help and --version, in the help's order.
    QList<QCommandLineOption> options_;
    QCommandLineOption help_;
    QCommandLineOption version_;

    RenderJob job_;
    QStringList mergeParts_;
    /// The colour --mass gives each mass, in mass order, if it gives one.
    std::vector<std::optional<std::int32_t>> massColours_;
    QString error_;
};
