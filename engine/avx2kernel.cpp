// Compiled with -mavx2 (and nothing else of the program is): everything here but
// runAvx2Kernel has internal linkage, and only intrinsics and code of this file are used, so no
// function compiled for AVX2 can be shared with the rest of the program.

#include "kerneljob.h"

#include "sim/simstate.h"

#include <immintrin.h>

namespace {

constexpr int lanesPerVector = 4;
/// Vectors followed at once. A step is a chain of divisions and square roots, each waiting for
/// the last; with four independent chains the divider always has work.
constexpr int vectorCount = 4;

/// Four trajectories in one vector, one per lane, kept in memory between steps so that a lane
/// can be retired and refilled on its own.
struct alignas(32) Vector
{
    double x[lanesPerVector];
    double y[lanesPerVector];
    /// The input saved for the cycle test (the last one at a power-of-two step count).
    double savedX[lanesPerVector];
    double savedY[lanesPerVector];
    std::int64_t steps[lanesPerVector];
    std::int64_t following[lanesPerVector]; ///< all ones while the lane follows a start point
    std::int64_t point[lanesPerVector];
    int live;
};

/// The step's parameters, one copy a lane.
struct Parameters
{
    __m256d xrot, yrot, xblau, yblau;
    __m128 xrotSingle, xblauSingle;
    __m256d massesOne, massesTwo; ///< massgreen x massrot and massgreen x massblau
    __m256d radiusOne, radiusTwo;
    __m256i limit;
};

/// How the steps of one vector ended, lane by lane, as bit masks.
struct Ends
{
    int ended;  ///< the trajectory is over
    int noStep; ///< over without a step: repeated input or step limit
    int one;    ///< captured by mass one (among those that took a step)
};

__m256i bits(__m256d v)
{
    return _mm256_castpd_si256(v);
}

__m256d mask(__m256i v)
{
    return _mm256_castsi256_pd(v);
}

/// The point reached by the pull of the fixed mass at (fx, fy): the same operations, in the
/// same order, as the scalar step, the mass itself where the pull equals the distance.
void pointReached(__m256d pull, __m256d distance, __m256d gx, __m256d gy, __m256d fx, __m256d fy,
                  __m256d &px, __m256d &py)
{
    const __m256d gap = _mm256_sub_pd(distance, pull);
    const __m256d lambda = _mm256_div_pd(pull, gap);
    const __m256d divisor = _mm256_add_pd(lambda, _mm256_set1_pd(1));
    px = _mm256_div_pd(_mm256_add_pd(gx, _mm256_mul_pd(fx, lambda)), divisor);
    py = _mm256_div_pd(_mm256_add_pd(gy, _mm256_mul_pd(fy, lambda)), divisor);
    const __m256d atMass = _mm256_cmp_pd(gap, _mm256_setzero_pd(), _CMP_EQ_OQ);
    px = _mm256_blendv_pd(px, fx, atMass);
    py = _mm256_blendv_pd(py, fy, atMass);
}

/// One turn of a vector: for each lane the step limit and the cycle test as sim::Trajectory
/// makes them before a step, then the step itself.
Ends turn(Vector &v, const Parameters &p)
{
    const __m256d x = _mm256_load_pd(v.x);
    const __m256d y = _mm256_load_pd(v.y);
    const __m256i n = _mm256_load_si256(reinterpret_cast<const __m256i *>(v.steps));
    const __m256i one = _mm256_set1_epi64x(1);
    const __m256i zero = _mm256_setzero_si256();

    // The cycle detector saves the input at step counts 1, 2, 4, 8, ... and, from the second
    // step on, ends a trajectory whose input equals the saved one bit for bit.
    __m256d savedX = _mm256_load_pd(v.savedX);
    __m256d savedY = _mm256_load_pd(v.savedY);
    const __m256i repeated = _mm256_and_si256(
        _mm256_cmpgt_epi64(n, one), _mm256_and_si256(_mm256_cmpeq_epi64(bits(x), bits(savedX)),
                                                     _mm256_cmpeq_epi64(bits(y), bits(savedY))));
    const __m256i noStep = _mm256_or_si256(_mm256_cmpeq_epi64(n, p.limit), repeated);
    const __m256d save =
        mask(_mm256_cmpeq_epi64(_mm256_and_si256(n, _mm256_sub_epi64(n, one)), zero));
    _mm256_store_pd(v.savedX, _mm256_blendv_pd(savedX, x, save));
    _mm256_store_pd(v.savedY, _mm256_blendv_pd(savedY, y, save));

    // On the first step x is still the start point's single value, and the x differences are
    // formed in single precision.
    const __m256d first = mask(_mm256_cmpeq_epi64(n, zero));
    const __m128 xSingle = _mm256_cvtpd_ps(x);
    const __m256d dxOne = _mm256_blendv_pd(
        _mm256_sub_pd(p.xrot, x), _mm256_cvtps_pd(_mm_sub_ps(p.xrotSingle, xSingle)), first);
    const __m256d dxTwo = _mm256_blendv_pd(
        _mm256_sub_pd(p.xblau, x), _mm256_cvtps_pd(_mm_sub_ps(p.xblauSingle, xSingle)), first);
    const __m256d dyOne = _mm256_sub_pd(p.yrot, y);
    const __m256d dyTwo = _mm256_sub_pd(p.yblau, y);
    const __m256d distOne =
        _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(dxOne, dxOne), _mm256_mul_pd(dyOne, dyOne)));
    const __m256d distTwo =
        _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(dxTwo, dxTwo), _mm256_mul_pd(dyTwo, dyTwo)));
    const __m256d capturedOne = _mm256_cmp_pd(distOne, p.radiusOne, _CMP_LE_OQ);
    const __m256d capturedTwo = _mm256_cmp_pd(distTwo, p.radiusTwo, _CMP_LE_OQ);

    const __m256d g = _mm256_set1_pd(sim::G);
    const __m256d pullOne =
        _mm256_mul_pd(_mm256_div_pd(p.massesOne, _mm256_mul_pd(distOne, distOne)), g);
    const __m256d pullTwo =
        _mm256_mul_pd(_mm256_div_pd(p.massesTwo, _mm256_mul_pd(distTwo, distTwo)), g);
    __m256d xOne, yOne, xTwo, yTwo;
    pointReached(pullOne, distOne, x, y, p.xrot, p.yrot, xOne, yOne);
    pointReached(pullTwo, distTwo, x, y, p.xblau, p.yblau, xTwo, yTwo);
    const __m256d two = _mm256_set1_pd(2);
    const __m256d nextX =
        _mm256_add_pd(xOne, _mm256_sub_pd(_mm256_add_pd(xTwo, x), _mm256_mul_pd(two, x)));
    const __m256d nextY =
        _mm256_add_pd(yOne, _mm256_sub_pd(_mm256_add_pd(yTwo, y), _mm256_mul_pd(two, y)));

    const __m256i following = _mm256_load_si256(reinterpret_cast<const __m256i *>(v.following));
    const __m256i ended = _mm256_and_si256(
        following, _mm256_or_si256(noStep, bits(_mm256_or_pd(capturedOne, capturedTwo))));
    // Lanes that go on move; retired and idle ones keep their place.
    const __m256d moves = mask(_mm256_andnot_si256(ended, following));
    _mm256_store_pd(v.x, _mm256_blendv_pd(x, nextX, moves));
    _mm256_store_pd(v.y, _mm256_blendv_pd(y, nextY, moves));
    _mm256_store_si256(reinterpret_cast<__m256i *>(v.steps),
                       _mm256_add_epi64(n, _mm256_andnot_si256(noStep, one)));

    return {_mm256_movemask_pd(mask(ended)), _mm256_movemask_pd(mask(noStep)),
            _mm256_movemask_pd(capturedOne)};
}

/// Start points taken from the job's queue chunk by chunk; counts what is finished.
class Source
{
public:
    explicit Source(const KernelJob &job) : job_(job) {}

    /// Sets lane i of v to the next start point, or makes it idle when none is left.
    void refill(Vector &v, int i)
    {
        if (next_ == end_) {
            report();
            if (!job_.take(job_.queue, &next_, &end_)) {
                next_ = end_;
                v.following[i] = 0;
                --v.live;
                return;
            }
        }
        const std::int64_t point = next_++;
        v.point[i] = point;
        // One division gives both the column and the row.
        const std::int64_t row = point / job_.columnCount;
        v.x[i] = job_.columns[point % job_.columnCount];
        v.y[i] = job_.rows[job_.pointsPerRow == 1 ? point : row];
        v.steps[i] = 0;
        v.following[i] = -1;
    }

    /// Records how the trajectory of lane i ended.
    void retire(const Vector &v, int i, const Ends &e)
    {
        const std::int64_t point = v.point[i];
        job_.captures[point] = e.noStep & (1 << i) ? 0 : e.one & (1 << i) ? 1 : 2;
        const auto steps = std::uint64_t(v.steps[i]);
        if (job_.steps)
            job_.steps[point] = steps;
        steps_ += steps;
        ++done_;
    }

    void report()
    {
        job_.report(job_.queue, done_, steps_);
        done_ = 0;
        steps_ = 0;
    }

private:
    const KernelJob &job_;
    std::int64_t next_ = 0;
    std::int64_t end_ = 0;
    std::int64_t done_ = 0;
    std::uint64_t steps_ = 0;
};

} // namespace

void runAvx2Kernel(const KernelJob &job)
{
    Parameters p;
    p.xrot = _mm256_set1_pd(job.xrot);
    p.yrot = _mm256_set1_pd(job.yrot);
    p.xblau = _mm256_set1_pd(job.xblau);
    p.yblau = _mm256_set1_pd(job.yblau);
    p.xrotSingle = _mm_set1_ps(job.xrot);
    p.xblauSingle = _mm_set1_ps(job.xblau);
    p.massesOne = _mm256_set1_pd(job.massgreen * job.massrot);
    p.massesTwo = _mm256_set1_pd(job.massgreen * job.massblau);
    p.radiusOne = _mm256_set1_pd(job.radiusOne);
    p.radiusTwo = _mm256_set1_pd(job.radiusTwo);
    p.limit = _mm256_set1_epi64x(std::int64_t(job.limit));

    Source source(job);
    Vector vectors[vectorCount] = {};
    int live = 0;
    for (Vector &v : vectors) {
        v.live = lanesPerVector;
        for (int i = 0; i < lanesPerVector; ++i)
            source.refill(v, i);
        live += v.live;
    }
    for (unsigned turns = 1; live > 0; ++turns) {
        if (turns % abandonCheckTurns == 0 && job.abandoned(job.queue))
            break;
        for (Vector &v : vectors) {
            if (v.live == 0)
                continue;
            const Ends e = turn(v, p);
            if (e.ended == 0)
                continue;
            for (int i = 0; i < lanesPerVector; ++i) {
                if (e.ended & (1 << i)) {
                    source.retire(v, i, e);
                    const int before = v.live;
                    source.refill(v, i);
                    live -= before - v.live;
                }
            }
        }
    }
}
