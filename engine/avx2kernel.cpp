// Compiled with -mavx2 (and nothing else of the program is): everything here but
// runAvx2Kernel has internal linkage, and only intrinsics and code of this file are used, so no
// function compiled for AVX2 can be shared with the rest of the program.

#include "kerneljob.h"

#include "sim/simstate.h"

#include <immintrin.h>

#include <array>
#include <utility>

namespace {

constexpr int lanesPerVector = 4;
/// Vectors followed at once. A step is a chain of divisions and square roots, each waiting for
/// the last; with four independent chains the divider always has work (three to eight run as
/// fast).
constexpr int vectorCount = 4;

/// Four doubles, one a lane, with the scalar step's arithmetic: each operator is the IEEE
/// operation lane by lane, so a formula written with them rounds as sim::stepField's does.
struct Lanes
{
    __m256d v;
};

Lanes operator+(Lanes a, Lanes b)
{
    return {_mm256_add_pd(a.v, b.v)};
}

Lanes operator-(Lanes a, Lanes b)
{
    return {_mm256_sub_pd(a.v, b.v)};
}

Lanes operator*(Lanes a, Lanes b)
{
    return {_mm256_mul_pd(a.v, b.v)};
}

Lanes operator/(Lanes a, Lanes b)
{
    return {_mm256_div_pd(a.v, b.v)};
}

Lanes sqrt(Lanes a)
{
    return {_mm256_sqrt_pd(a.v)};
}

Lanes all(double value)
{
    return {_mm256_set1_pd(value)};
}

Lanes load(const double *lanes)
{
    return {_mm256_load_pd(lanes)};
}

void store(double *lanes, Lanes a)
{
    _mm256_store_pd(lanes, a.v);
}

/// All ones in the lanes where a <= b.
__m256i lessOrEqual(Lanes a, Lanes b)
{
    return _mm256_castpd_si256(_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ));
}

/// a where the mask is set, else b.
Lanes select(__m256i mask, Lanes a, Lanes b)
{
    return {_mm256_blendv_pd(b.v, a.v, _mm256_castsi256_pd(mask))};
}

/// All ones in the lanes where a and b hold the same bits.
__m256i sameBits(Lanes a, Lanes b)
{
    return _mm256_cmpeq_epi64(_mm256_castpd_si256(a.v), _mm256_castpd_si256(b.v));
}

__m256i loadInts(const std::int64_t *lanes)
{
    return _mm256_load_si256(reinterpret_cast<const __m256i *>(lanes));
}

void storeInts(std::int64_t *lanes, __m256i ints)
{
    _mm256_store_si256(reinterpret_cast<__m256i *>(lanes), ints);
}

/// One bit a lane, lane 0 the lowest.
int laneBits(__m256i mask)
{
    return _mm256_movemask_pd(_mm256_castsi256_pd(mask));
}

/// What rounding the first step's x difference f - x to single precision adds to the double
/// difference: exact, as both round the same difference (they lie within a factor of two of each
/// other, or the single one is 0), so (f - x) + it is the single difference bit for bit. Scalar
/// SSE arithmetic, which rounds each operation to its type whatever the compiler's settings.
double singleRounding(double f, float x)
{
    const __m128d difference =
        _mm_sub_sd(_mm_set_sd(f), _mm_cvtss_sd(_mm_setzero_pd(), _mm_set_ss(x)));
    const __m128 single = _mm_sub_ss(_mm_set_ss(float(f)), _mm_set_ss(x));
    return _mm_cvtsd_f64(_mm_sub_sd(_mm_cvtss_sd(_mm_setzero_pd(), single), difference));
}

/// Four trajectories in one vector, one per lane, kept in memory between steps so that a lane
/// can be retired and refilled on its own.
struct alignas(32) Vector
{
    double x[lanesPerVector];
    double y[lanesPerVector];
    /// The input saved for the cycle test (the last one at a power-of-two step count).
    double savedX[lanesPerVector];
    double savedY[lanesPerVector];
    /// Added to each mass's x differences of the next step: singleRounding() before the first
    /// step, 0 after it.
    double rounding[sim::maxFixedMasses][lanesPerVector];
    std::int64_t steps[lanesPerVector];
    std::int64_t following[lanesPerVector]; ///< all ones while the lane follows a start point
    std::int64_t point[lanesPerVector];
    int live;
    bool firstSteps; ///< whether a lane's next step is its first
};

/// A fixed mass as the step reads it, one copy a lane.
struct MassLanes
{
    Lanes x, y;
    Lanes kilograms; ///< the moving mass's kilograms times the fixed one's
    Lanes radius;
};

/// The step's parameters.
struct Parameters
{
    MassLanes masses[sim::maxFixedMasses];
    __m256i limit;
};

/// How the steps of one vector ended, lane by lane, as bit masks.
template <int count>
struct Ends
{
    int ended;           ///< the trajectory is over
    int noStep;          ///< over without a step: repeated input or step limit
    int captures[count]; ///< within the capture radius of each mass, in mass order

    /// 0 for a lane that ended without a capture, else the first mass in order that captured it,
    /// counted from 1.
    std::uint8_t outcome(int lane) const
    {
        const int bit = 1 << lane;
        if (noStep & bit)
            return 0;
        for (int k = 0; k < count; ++k) {
            if (captures[k] & bit)
                return std::uint8_t(k + 1);
        }
        return 0;
    }
};

/// The point reached by the pull of the fixed mass at (fx, fy) with this section ratio, as
/// sim::stepField finds it: the mass itself where the pull equals the distance (gap 0).
void pointReached(Lanes lambda, Lanes gap, Lanes gx, Lanes gy, Lanes fx, Lanes fy, Lanes &px,
                  Lanes &py)
{
    px = (gx + fx * lambda) / (lambda + all(1));
    py = (gy + fy * lambda) / (lambda + all(1));
    // Only a start point made for it lands on a mass: a branch that is never taken costs the
    // step less than two blends.
    const __m256d atMass = _mm256_cmp_pd(gap.v, _mm256_setzero_pd(), _CMP_EQ_OQ);
    if (_mm256_movemask_pd(atMass) != 0) {
        px = select(_mm256_castpd_si256(atMass), fx, px);
        py = select(_mm256_castpd_si256(atMass), fy, py);
    }
}

/// One turn of a vector: for each lane the step limit and the cycle test as sim::Trajectory
/// makes them before a step, then the step itself with the first count masses. Every lane
/// steps; the caller refills those that ended before their values are read again. The count is
/// fixed at compile time, so that the masses' parts of a step are unrolled and stay in
/// registers.
template <int count>
Ends<count> turn(Vector &v, const Parameters &p)
{
    const Lanes x = load(v.x);
    const Lanes y = load(v.y);
    const __m256i n = loadInts(v.steps);
    const __m256i one = _mm256_set1_epi64x(1);

    // The cycle detector saves the input at step counts 1, 2, 4, 8, ... and, from the second
    // step on, ends a trajectory whose input equals the saved one bit for bit.
    const Lanes savedX = load(v.savedX);
    const Lanes savedY = load(v.savedY);
    const __m256i repeated = _mm256_and_si256(
        _mm256_cmpgt_epi64(n, one), _mm256_and_si256(sameBits(x, savedX), sameBits(y, savedY)));
    const __m256i noStep = _mm256_or_si256(_mm256_cmpeq_epi64(n, p.limit), repeated);
    const __m256i save =
        _mm256_cmpeq_epi64(_mm256_and_si256(n, _mm256_sub_epi64(n, one)), _mm256_setzero_si256());
    store(v.savedX, select(save, x, savedX));
    store(v.savedY, select(save, y, savedY));

    // The step, in sim::stepField's order and grouping, each stage for every mass before the
    // next, so that the divisions and square roots of all masses are under way at once. On the
    // first step the lane's rounding turns the x differences into the single ones.
    Ends<count> e;
    Lanes distance[count];
    __m256i captured = _mm256_setzero_si256();
    #pragma GCC unroll 16
    for (int k = 0; k < count; ++k) {
        const MassLanes &m = p.masses[k];
        Lanes dx = m.x - x;
        if (v.firstSteps) {
            dx = dx + load(v.rounding[k]);
            store(v.rounding[k], all(0));
        }
        const Lanes dy = m.y - y;
        distance[k] = sqrt(dx * dx + dy * dy);
        const __m256i captures = lessOrEqual(distance[k], m.radius);
        e.captures[k] = laneBits(captures);
        captured = _mm256_or_si256(captured, captures);
    }
    Lanes gap[count];
    Lanes lambda[count];
    #pragma GCC unroll 16
    for (int k = 0; k < count; ++k) {
        const Lanes pull = (p.masses[k].kilograms / (distance[k] * distance[k])) * all(sim::G);
        gap[k] = distance[k] - pull;
        lambda[k] = pull / gap[k];
    }
    // The first mass's point, then each other's offset from x added in mass order.
    Lanes nx;
    Lanes ny;
    #pragma GCC unroll 16
    for (int k = 0; k < count; ++k) {
        Lanes px;
        Lanes py;
        pointReached(lambda[k], gap[k], x, y, p.masses[k].x, p.masses[k].y, px, py);
        nx = k == 0 ? px : nx + ((px + x) - all(2) * x);
        ny = k == 0 ? py : ny + ((py + y) - all(2) * y);
    }
    store(v.x, nx);
    store(v.y, ny);
    v.firstSteps = false;

    // A lane without a step counts one too many, which retiring it takes back.
    storeInts(v.steps, _mm256_add_epi64(n, one));
    e.ended = laneBits(_mm256_and_si256(loadInts(v.following), _mm256_or_si256(noStep, captured)));
    e.noStep = laneBits(noStep);
    return e;
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
        const float x = job_.columns[point % job_.columnCount];
        v.x[i] = x;
        v.y[i] = job_.rows[job_.pointsPerRow == 1 ? point : row];
        for (int k = 0; k < job_.field.count; ++k)
            v.rounding[k][i] = singleRounding(job_.field.masses[k].x, x);
        v.steps[i] = 0;
        v.following[i] = -1;
        v.firstSteps = true;
    }

    /// Records how the trajectory of lane i ended.
    template <int count>
    void retire(const Vector &v, int i, const Ends<count> &e)
    {
        const std::int64_t point = v.point[i];
        job_.captures[point] = e.outcome(i);
        const auto steps = std::uint64_t(v.steps[i] - (e.noStep & (1 << i) ? 1 : 0));
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

/// Every start point the job hands out, followed with its first count masses.
template <int count>
void follow(const KernelJob &job, const Parameters &p)
{
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
        if (turns % abandonCheckTurns == 0) {
            if (job.abandoned(job.queue))
                break;
            std::int64_t longest = 0;
            for (const Vector &v : vectors) {
                for (int i = 0; i < lanesPerVector; ++i)
                    longest = v.following[i] != 0 && v.steps[i] > longest ? v.steps[i] : longest;
            }
            job.running(job.queue, std::uint64_t(longest));
        }
        for (Vector &v : vectors) {
            if (v.live == 0)
                continue;
            const Ends<count> e = turn<count>(v, p);
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

using Follow = void (*)(const KernelJob &, const Parameters &);

/// follow<1> to follow<maxFixedMasses>, by the number of masses less one.
template <int... less>
constexpr std::array<Follow, sizeof...(less)> followers(std::integer_sequence<int, less...>)
{
    return {&follow<less + 1>...};
}

} // namespace

void runAvx2Kernel(const KernelJob &job)
{
    Parameters p;
    for (int k = 0; k < job.field.count; ++k) {
        const sim::FieldMass &m = job.field.masses[k];
        p.masses[k] = {all(m.x), all(m.y), all(job.field.movingKilograms * m.kilograms),
                       all(m.radius)};
    }
    p.limit = _mm256_set1_epi64x(std::int64_t(job.limit));
    static constexpr auto byCount =
        followers(std::make_integer_sequence<int, sim::maxFixedMasses>());
    byCount[std::size_t(job.field.count - 1)](job, p);
}
