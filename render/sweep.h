#pragma once

#include "frameplot.h"
#include "job.h"
#include "progressbar.h"
#include "renderer.h"

#include "scene/statisticsfile.h"

#include <QElapsedTimer>
#include <QStringList>

#include <memory>
#include <vector>

/// The renderer's one pipeline: a single picture is a sweep of one frame. It checks every file
/// the job writes, then computes the frames one after another on one set of worker threads,
/// writing each, then the statistics and the plot of the frames written, and prints the
/// summary, each step called in turn. While an InterruptGuard lives, Ctrl-C (SIGINT) or SIGTERM
/// abandons the frame under way (its grid or its random start points) without writing it; a
/// second one ends the program at once.
class Sweep
{
public:
    /// job and plot (null without one) outlive this.
    Sweep(const RenderJob &job, FramePlot *plot) : job_(job), plot_(plot) {}

    /// 0 when every file the job writes can be written as far as can be told beforehand and the
    /// plot has its memory; otherwise the exit status, after one line on standard error: 2 when
    /// two outputs are the same file, 1 otherwise.
    int checkOutputs();
    /// Computes and writes the frames one after another, until one fails or a signal comes.
    void computeFrames();
    /// Writes the statistics and the plot of the frames written.
    void writeStatistics();
    /// Prints the summary, and the statistics for standard output (the summary then on standard
    /// error, so that standard output holds the statistics alone), and returns the exit
    /// status: 0 done; 1 a file could not be written, memory ran out or the summary could not be
    /// printed (one line on standard error says what was written and what not); 128 + the
    /// signal's number after SIGINT (130) or SIGTERM (143), as a shell reports a program the
    /// signal ended.
    int summarise();

private:
    /// One frame: computed, written, its statistics kept; false when it failed or was
    /// interrupted.
    bool computeFrame(int index);
    void computeEachFrame();
    /// The frames into one movie file.
    void computeMovie();
    /// A computed frame's statistics, its random-point measures and its tipping from the frame
    /// before; false when a signal abandoned the measures.
    bool measureFrame(int width, int height, const std::vector<sim::Capture> &captures,
                      const std::vector<std::uint64_t> &steps, const JobFrame &frame,
                      Statistics &statistics) const;
    /// A single view's frame, computed and written in bands of rows (sweepbanded.cpp); with
    /// --tile, only its tile's rows, as a part.
    bool computeBandedFrame(const JobFrame &frame);
    /// The outcomes of the frame before a shard's first, which its tipping starts from.
    void computePreviousFrame();
    /// The statistics file's contents for the frames written.
    QByteArray statisticsText(StatisticsFormat format) const;
    /// Notes a file that could not be written: the first failure is the one reported.
    void noteFailure(const QString &path, const QString &why);
    /// What has been written, for a message: "nothing written", "'f.png' is written", ...
    QString writtenText() const;

    const RenderJob &job_;
    FramePlot *plot_;
    std::unique_ptr<ProgressBar> bar_;
    QElapsedTimer timer_;
    double seconds_ = 0;
    std::int64_t framePoints_ = 0; ///< a frame's start points; the same in every frame
    std::vector<FrameStatistics> frames_;
    std::vector<sim::Capture> previous_; ///< the outcomes of the frame before
    RenderSummary total_;
    QString failure_;
    QStringList notWritten_;
    MovieFrames *movie_ = nullptr; ///< while a movie is written
    bool movieWritten_ = false;
    bool statisticsWritten_ = false;
    bool plotWritten_ = false;
    QByteArray statisticsOut_; ///< for standard output
    QByteArray tilePart_;      ///< with --tile and --stats: the tile's statistics part
};
