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
        const TrajectoryParameters &p = scene.trajectory;
        sim::simstate s = p.stepState();
        s.xgreen = double(x);
        s.ygreen = y;
        ProbedTrajectory result;
        result.start = QPointF(double(x), y);
        result.path.append(result.start);
        sim::Trajectory t;
        while (t.advance(s, p.radiusOne, p.radiusTwo, p.stepLimit)) {
            if (result.path.size() < maxPathPoints)
                result.path.append(QPointF(s.xgreen, s.ygreen));
            if ((t.steps() & 4095) == 0 && cancelled->load())
                return;
        }
        result.capture = t.capture();
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
