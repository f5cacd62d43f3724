#pragma once

#include "backgroundwork.h"

#include "scene/scene.h"
#include "scene/zoompath.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

/// What a zoom movie is made of: the path, the scene of every frame and where it goes, an MP4
/// (through ffmpeg) or PNG frames named by a pattern (scene/framepattern.h).
struct Recording
{
    ZoomPath path;
    Scene scene;
    QString output;
    int fps = 30;
};

/// Records a zoom movie away from the GUI thread: frame k is the engine's picture of
/// path.view(k), the very frame velmora-render --zoom writes for the same views. Nothing partial
/// is left when anything fails or the recording is cancelled: the movie takes its place whole,
/// and frames written before a failure are each complete.
class MovieRecorder : public QObject
{
    Q_OBJECT

public:
    explicit MovieRecorder(QObject *parent = nullptr);
    ~MovieRecorder() override;

    /// Starts recording; false when one is under way already.
    bool start(const Recording &recording);
    /// Any thread.
    void cancel() { work_.cancel(); }
    bool busy() const { return work_.busy(); }

    /// Start points of all frames finished so far, and in all.
    std::int64_t pointsDone() const { return work_.pointsDone(); }
    std::int64_t pointCount() const { return work_.pointCount(); }
    int framesDone() const { return frames_.load(); }

signals:
    /// ok false: reason says why ("cancelled" when it was).
    void finished(bool ok, const QString &reason);

private:
    void run(const Recording &recording);
    /// The frames one after another into write; false once cancelled or write fails.
    bool produce(const Recording &recording, const std::function<bool(const QImage &)> &write);
    /// The frames as PNG files: empty, or the problem.
    QString writeFrames(const Recording &recording);

    std::atomic<int> frames_{0};
    BackgroundWork work_;
};
