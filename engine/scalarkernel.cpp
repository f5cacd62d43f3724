#include "kerneljob.h"

#include "sim/fieldstep.h"

#include <algorithm>
#include <array>

namespace {

/// Trajectories followed side by side. Their steps are independent, so the processor overlaps
/// the divisions and square roots of one with those of the others; a single trajectory waits
/// on each in turn.
constexpr int laneCount = 3;

/// One trajectory in progress.
struct Lane
{
    double x;
    double y;
    sim::FieldTrajectory trajectory;
    std::int64_t point = -1; ///< -1 while idle
};

} // namespace

void runScalarKernel(const KernelJob &job)
{
    std::int64_t next = 0;
    std::int64_t end = 0;
    std::int64_t done = 0;
    std::uint64_t steps = 0;
    const auto report = [&] {
        job.report(job.queue, done, steps);
        done = 0;
        steps = 0;
    };
    const auto begin = [&](Lane &lane) {
        if (next == end) {
            report();
            if (!job.take(job.queue, &next, &end)) {
                lane.point = -1;
                return false;
            }
        }
        lane.point = next++;
        // One division gives both the column and the row.
        const std::int64_t row = lane.point / job.columnCount;
        lane.x = job.columns[lane.point % job.columnCount];
        lane.y = job.rows[job.pointsPerRow == 1 ? lane.point : row];
        lane.trajectory = sim::FieldTrajectory();
        return true;
    };

    std::array<Lane, laneCount> lanes;
    int active = 0;
    for (Lane &lane : lanes)
        active += begin(lane) ? 1 : 0;
    // One step of each lane per turn.
    for (unsigned turns = 1; active > 0; ++turns) {
        if (turns % abandonCheckTurns == 0) {
            if (job.abandoned(job.queue))
                break;
            std::uint64_t longest = 0;
            for (const Lane &lane : lanes) {
                if (lane.point >= 0)
                    longest = std::max(longest, lane.trajectory.steps());
            }
            job.running(job.queue, longest);
        }
        for (Lane &lane : lanes) {
            if (lane.point < 0 ||
                lane.trajectory.advance(job.field, lane.x, lane.y, job.limit)) {
                continue;
            }
            job.captures[lane.point] = lane.trajectory.outcome();
            if (job.steps)
                job.steps[lane.point] = lane.trajectory.steps();
            steps += lane.trajectory.steps();
            ++done;
            if (!begin(lane))
                --active;
        }
    }
}
