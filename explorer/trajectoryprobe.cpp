#include "trajectoryprobe.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

TrajectoryProbe::TrajectoryProbe(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<ProbedTrajectory>();
}

TrajectoryProbe::~TrajectoryProbe()
{
    cancel();
}

void TrajectoryProbe::cancel()
{
    if (cancelled_)
        cancelled_->store(true);
    cancelled_.reset();
}

void TrajectoryProbe::probe(float x, double y, const Scene &scene)
{
    cancel();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    cancelled_ = cancelled;
    QPointer<TrajectoryProbe> self(this);
    QThreadPool::globalInstance()->start([self, cancelled, x, y, scene] {
        const sim::MassField field = scene.trajectory.field();
        double px = x;
        double py = y;
        ProbedTrajectory result;
        result.start = QPointF(px, py);
        result.path.append(result.start);
        sim::FieldTrajectory t;
        while (t.advance(field, px, py, scene.trajectory.stepLimit)) {
            if (result.path.size() < maxPathPoints)
                result.path.append(QPointF(px, py));
            if ((t.steps() & 4095) == 0 && cancelled->load())
                return;
        }
        result.outcome = t.outcome();
        result.steps = t.steps();
        if (cancelled->load())
            return;
        // The probe is only looked at on the GUI thread, where it may have gone meanwhile.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, cancelled, result] {
                if (self && !cancelled->load())
                    emit self->ready(result);
            },
            Qt::QueuedConnection);
    });
}
