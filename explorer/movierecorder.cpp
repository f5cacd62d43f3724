#include "movierecorder.h"

#include "scene/framepattern.h"
#include "scene/painter.h"

#include "engine/engine.h"
#include "files/safefile.h"
#include "picture/moviefile.h"
#include "picture/surface.h"

#include <new>

MovieRecorder::MovieRecorder(QObject *parent) : QObject(parent) {}

MovieRecorder::~MovieRecorder()
{
    work_.stop();
}

bool MovieRecorder::start(const Recording &recording)
{
    if (work_.busy())
        return false;
    frames_ = 0;
    return work_.start(std::int64_t(recording.path.frames) * recording.path.from.pointCount(),
                       [this, recording] { run(recording); });
}

bool MovieRecorder::produce(const Recording &recording,
                            const std::function<bool(const QImage &)> &write)
{
    Engine engine(recording.scene.trajectory);
    work_.attach(engine);
    bool ok = true;
    PointMaps maps;
    for (int k = 0; k < recording.path.frames && ok; ++k) {
        ok = engine.computeView(recording.path.view(k), maps, recording.scene.shade) &&
             write(paintView(maps, recording.scene));
        if (ok)
            ++frames_;
    }
    work_.detach(ok ? work_.pointCount()
                    : std::int64_t(frames_.load()) * recording.path.from.pointCount());
    return ok;
}

QString MovieRecorder::writeFrames(const Recording &recording)
{
    FramePattern pattern;
    if (!pattern.read(recording.output))
        return QStringLiteral("a name for frames needs one frame number, as in zoom%05d.png");
    // The folder and the longest name, before hours of computing.
    for (const int k : {0, recording.path.frames - 1}) {
        if (const QString why = whyNotWritable(pattern.fileName(k)); !why.isEmpty())
            return QStringLiteral("cannot write '%1': %2").arg(pattern.fileName(k), why);
    }
    QString problem;
    int k = 0;
    const bool ok = produce(recording, [&](const QImage &frame) {
        const QString name = pattern.fileName(k++);
        if (writeImageFile(frame, name, "PNG", &problem))
            return true;
        problem = QStringLiteral("cannot write '%1': %2").arg(name, problem);
        return false;
    });
    return ok ? QString() : problem.isEmpty() ? QStringLiteral("cancelled") : problem;
}

void MovieRecorder::run(const Recording &recording)
{
    QString reason;
    try {
        if (isMovieName(recording.output)) {
            MovieFormat format;
            format.size = QSize(recording.path.from.width, recording.path.from.height);
            format.fps = recording.fps;
            writeMovieFile(
                recording.output, format,
                [&](MovieFrames &sink) {
                    return produce(recording,
                                   [&](const QImage &frame) { return sink.add(frame); });
                },
                &reason);
        } else {
            reason = writeFrames(recording);
        }
    } catch (const std::bad_alloc &) {
        reason = QStringLiteral("not enough memory for frames of this size");
    }
    QMetaObject::invokeMethod(
        this,
        [this, reason] {
            work_.join();
            emit finished(reason.isEmpty(), reason);
        },
        Qt::QueuedConnection);
}
