#include "picturesaver.h"

#include "scene/painter.h"

#include "engine/engine.h"
#include "files/safefile.h"
#include "picture/surface.h"

#include <new>

PictureSaver::PictureSaver(QObject *parent) : QObject(parent) {}

PictureSaver::~PictureSaver()
{
    work_.stop();
}

bool PictureSaver::start(const Place &place, const QString &path)
{
    return work_.start(std::int64_t(place.view.size.width()) * place.view.size.height(),
                       [this, place, path] { run(place, path); });
}

void PictureSaver::run(const Place &place, const QString &path)
{
    bool ok = false;
    QString reason = whyNotWritable(path);
    try {
        Engine engine(place.scene.trajectory);
        work_.attach(engine);
        PointMaps maps;
        const bool complete =
            reason.isEmpty() && engine.computeView(place.view.toView(), maps, place.scene.shade);
        work_.detach(complete ? work_.pointCount() : 0);
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
            work_.join();
            emit finished(ok, reason);
        },
        Qt::QueuedConnection);
}
