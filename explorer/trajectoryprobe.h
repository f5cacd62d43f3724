#pragma once

#include "scene/scene.h"

#include "sim/fieldstep.h"

#include <QObject>
#include <QPointF>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <memory>

/// The trajectory of one start point, step by step: where the moving mass was after each step
/// (the first few thousand), how it ended and after how many steps.
struct ProbedTrajectory
{
    QPointF start;
    QVector<QPointF> path;
    std::uint8_t outcome = 0; ///< 0 never captured, k captured by mass k
    std::uint64_t steps = 0;
};
Q_DECLARE_METATYPE(ProbedTrajectory)

/// Follows the trajectory under the cursor away from the GUI thread; a new probe abandons the
/// one under way.
class TrajectoryProbe : public QObject
{
    Q_OBJECT

public:
    explicit TrajectoryProbe(QObject *parent = nullptr);
    ~TrajectoryProbe() override;

    /// Follows the trajectory from (x, y) under scene; ready() brings it.
    void probe(float x, double y, const Scene &scene);
    void cancel();

    /// The path positions kept for drawing.
    static constexpr int maxPathPoints = 20000;

signals:
    void ready(const ProbedTrajectory &trajectory);

private:
    std::shared_ptr<std::atomic<bool>> cancelled_;
};
