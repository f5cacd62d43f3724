#include "picturesaver.h"

#include "pointkernel.h"

#include "picture/safefile.h"
#include "picture/surface.h"

#include <QThreadPool>

#include <algorithm>
#include <new>
#include <numeric>

PictureSaver::PictureSaver(QObject *parent) : QObject(parent) {}

PictureSaver::~PictureSaver()
{
    cancel();
    if (thread_.joinable())
        thread_.join();
}

bool PictureSaver::start(const Place &place, const QString &path)
{
    if (thread_.joinable())
        return false;
    cancelled_.store(false);
    done_.store(0);
    count_ = std::int64_t(place.view.size.width()) * place.view.size.height();
    thread_ = std::thread([this, place, path] { run(place, path); });
    return true;
}

void PictureSaver::run(Place place, QString path)
{
    bool ok = false;
    QString reason;
    try {
        reason = whyNotWritable(path);
        if (reason.isEmpty()) {
            PointMaps maps;
            maps.moveTo(place.view, place.scene);
            // A band of rows at a time, so that the list of points stays small.
            const int width = place.view.size.width();
            const int band = std::max(1, 65536 / width);
            QThreadPool pool;
            bool complete = true;
            std::vector<std::int32_t> points;
            for (int row = 0; complete && row < place.view.size.height(); row += band) {
                const int rows = std::min(band, place.view.size.height() - row);
                points.resize(std::size_t(rows) * std::size_t(width));
                std::iota(points.begin(), points.end(), row * width);
                complete = followInParallel(
                    maps, points, pool,
                    [this] { return cancelled_.load(std::memory_order_relaxed); }, &done_);
            }
            if (!complete) {
                reason = QStringLiteral("cancelled");
            } else {
                const char *format =
                    path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive) ? "BMP" : "PNG";
                ok = writeImageFile(paintPoints(maps, 1), path, format, &reason);
            }
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
