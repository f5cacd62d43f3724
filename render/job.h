#pragma once

#include "scene/framepattern.h"
#include "measures.h"
#include "renderer.h"
#include "engine/statistics.h"
#include "sweeprange.h"
#include "picture/moviefile.h"
#include "scene/zoompath.h"

#include <QString>

#include <optional>

/// What a sweep's plot shows on its second axis.
enum class PlotMeasure : std::uint8_t { entropy, dimension };

/// The I-th of N contiguous, near-equal blocks of a sweep's frames (I from 1).
struct Shard
{
    int index = 1;
    int count = 1;

    /// The first frame of the block and the one after its last, of frames in all: block I
    /// starts at floor((I - 1) frames / N).
    int first(int frames) const { return int(std::int64_t(index - 1) * frames / count); }
    int end(int frames) const { return int(std::int64_t(index) * frames / count); }
};

/// One frame of a job: where it stands in the series, its value of the swept option (none for a
/// single picture), its file and what it is computed from.
struct JobFrame
{
    int number = 0;
    std::optional<int> value;
    QString path;
    RenderParameters parameters;
};

/// Everything one run of velmora-render computes and writes. A single picture is a series of one
/// frame, numbered 0, without a value.
struct RenderJob
{
    RenderParameters parameters;
    /// The picture file; with a sweep, the pattern of the frames' names.
    QString output;
    const char *format = "BMP";
    /// Empty for none, "-" for standard output.
    QString statistics;
    int entropyBox = defaultEntropyBox;
    std::optional<SweepRange> sweep;
    /// A zoom movie's frames instead of a sweep's: the parameters' view is the first frame's.
    std::optional<ZoomPath> zoom;
    /// A zoom's frames as one movie, output, instead of picture files.
    std::optional<MovieFormat> movie;
    /// Several frames: a sweep or a zoom.
    bool series() const { return sweep || zoom; }
    FramePattern frames;
    /// Empty for none.
    QString plot;
    PlotMeasure plotMeasure = PlotMeasure::entropy;
    /// Random start points beside the grid, or instead of it when output is "-".
    RandomPointOptions randomPoints;
    bool noPicture() const { return output == QStringLiteral("-"); }
    /// Whether the statistics tell how the basins meet (--wada).
    bool wada = false;
    /// The fixed masses of every frame.
    int masses() const { return int(parameters.scene.trajectory.masses.size()); }
    /// Only with --shard: this block of the sweep's frames, whose statistics carry the
    /// sweep's identity for merging.
    std::optional<Shard> shard;

    /// Only with --tile: this band of a single view's rows, written as a part that
    /// --merge-picture joins.
    std::optional<Shard> tile;
    /// The rows of the bands a view is computed in; 0 for as many as a band's memory holds.
    int bandRows = 0;

    bool statisticsToFile() const { return !statistics.isEmpty() && statistics != "-"; }
    /// The frames of the whole series, this shard's or not.
    int frameCount() const { return sweep ? sweep->frameCount() : zoom ? zoom->frames : 1; }
    /// This shard's frames: numbers first() to end() - 1.
    int first() const { return shard.value_or(Shard()).first(frameCount()); }
    int end() const { return shard.value_or(Shard()).end(frameCount()); }
    JobFrame frame(int number) const;

    /// What the statistics depend on, as the options that ask for it in a fixed order: two
    /// shards' statistics belong to one sweep only when this is the same.
    QString identity() const;
    /// What a picture's pixels depend on: identity() with the colours and the shading. Two
    /// tiles belong to one picture only when this is the same.
    QString pictureIdentity() const;
};
