#include "picturesaver.h"

#include "scene/painter.h"

#include "engine/engine.h"
#include "files/safefile.h"
#include "picture/surface.h"

#include <new>

PictureSaver::PictureSaver(QObject *parent) : QObject(parent) {}

PictureSaver::~PictureSaver()
{
    cancel();
    if (thread_.joinable())
        thread_.join();
}

void PictureSaver::cancel()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    if (engine_)
        engine_->abandon();
}

std::int64_t PictureSaver::pointsDone() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return engine_ ? engine_->pointsDone() : done_;
}

bool PictureSaver::start(const Place &place, const QString &path)
{
    if (thread_.joinable())
        return false;
    cancelled_ = false;
    done_ = 0;
    count_ = std::int64_t(place.view.size.width()) * place.view.size.height();
    thread_ = std::thread([this, place, path] { run(place, path); });
    return true;
}

void PictureSaver::run(const Place &place, const QString &path)
{
    bool ok = false;
    QString reason = whyNotWritable(path);
    try {
        Engine engine(place.scene.trajectory);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            engine_ = &engine;
            if (cancelled_)
                engine.abandon();
        }
        PointMaps maps;
        const bool complete =
            reason.isEmpty() && engine.computeView(place.view.toView(), maps, place.scene.shade);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            engine_ = nullptr;
            done_ = complete ? count_ : 0;
        }
        if (reason.isEmpty() && !complete) {
            reason = QStringLiteral("cancelled");
        } else if (complete) {
            const char *format =
                path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive) ? "BMP" : "PNG";
            ok = writeImageFile(paintView(maps, place.scene), path, format, &reason);
        }
    } catch (const std::bad_alloc &) {
        reason = QStringLiteral("not enough memory for a picture of this size");
    }
    QMetaObject::invokeMethod(
        this,
        [this, ok, reason] {
            thread_.join();
            emit finished(ok, reason);
        },
        Qt::QueuedConnection);
}
