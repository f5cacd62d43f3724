#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

/// How a movie is encoded: H.264 in MP4, every frame the same size.
struct MovieFormat
{
    QSize size;
    int fps = defaultFps;
    /// Lossless RGB (decodes back to the very pixels, but fewer players show it) instead of
    /// the usual YUV 4:2:0, which every player shows.
    bool lossless = false;

    static constexpr int defaultFps = 30;
    static constexpr int maxFps = 240;

    /// ffmpeg's arguments after the program's name, writing to output.
    QStringList ffmpegArguments(const QString &output) const;
};

/// Whether a file name asks for a movie rather than pictures: it ends in .mp4.
bool isMovieName(const QString &path);

/// The ffmpeg program on PATH; empty when there is none.
QString ffmpegProgram();
/// The one line for the user when ffmpeg is missing.
QString ffmpegMissing();

/// Where the frames of a movie go, in order: each must be format.size, in the drawing surface's
/// image format. add() is false once ffmpeg has failed; writeMovieFile() then says why.
class MovieFrames
{
public:
    virtual ~MovieFrames() = default;
    virtual bool add(const QImage &frame) = 0;
};

/// Writes a movie to path: produce hands every frame to the sink and returns true, or false to
/// give up (a cancel, a signal, a failure of its own). The frames go to ffmpeg, raw and
/// unaltered, on a pipe, and ffmpeg writes the file into the safe temporary beside path, which
/// takes path's place only when ffmpeg succeeded (files/safefile.h): nothing partial is ever
/// left. On giving up ffmpeg is ended and waited for. ffmpeg runs in a process group of its own,
/// so that Ctrl-C at a terminal reaches the caller alone. False with *reason set on failure
/// ("cancelled" when produce gave up).
bool writeMovieFile(const QString &path, const MovieFormat &format,
                    const std::function<bool(MovieFrames &)> &produce, QString *reason);
