// Compiled with -mavx2 in an object of its own, as the renderer's AVX2 kernel is: everything but
// runDividerFloor has internal linkage.

#include "dividerfloor.h"

#include <immintrin.h>


namespace {

/// The divider work of two masses on one vector: x becomes (c x)^(1/4) after three divisions,
/// a square root, five divisions and a square root, so that it settles at the cube root of c
/// with every quotient and root a full-length mantissa, never a value the divider might take
/// a shortcut on.
__m256d twoMassesWork(__m256d x, __m256d c)
{
    for (int i = 0; i < 3; ++i)
        x = _mm256_div_pd(c, x);
    x = _mm256_sqrt_pd(x);
    for (int i = 0; i < 5; ++i)
        x = _mm256_div_pd(c, x);
    return _mm256_sqrt_pd(x);
}

/// One mass's: x becomes (c x)^(1/2) after three divisions, a square root and a division.
__m256d oneMassWork(__m256d x, __m256d c)
{
    for (int i = 0; i < 3; ++i)
        x = _mm256_div_pd(c, x);
    x = _mm256_sqrt_pd(x);
    return _mm256_div_pd(c, x);
}

/// One step's divider work on one vector: two masses at a time, then the odd one.
template <int masses>
__m256d stepWork(__m256d x, __m256d c)
{
    for (int k = 0; k + 1 < masses; k += 2)
        x = twoMassesWork(x, c);
    return masses % 2 ? oneMassWork(x, c) : x;
}

template <int masses>
double floorTurns(std::int64_t turns)
{
    const __m256d c = _mm256_set_pd(3.3, 3.1, 2.9, 2.7);
    __m256d a = _mm256_set1_pd(1.3);
    __m256d b = _mm256_set1_pd(1.7);
    __m256d d = _mm256_set1_pd(1.9);
    __m256d e = _mm256_set1_pd(2.3);
    for (std::int64_t t = 0; t < turns; ++t) {
        a = stepWork<masses>(a, c);
        b = stepWork<masses>(b, c);
        d = stepWork<masses>(d, c);
        e = stepWork<masses>(e, c);
    }
    double lanes[4];
    _mm256_storeu_pd(lanes, _mm256_add_pd(_mm256_add_pd(a, b), _mm256_add_pd(d, e)));
    return lanes[0] + lanes[1] + lanes[2] + lanes[3];
}

} // namespace

double runDividerFloor(std::int64_t turns, int masses)
{
    switch (masses) {
    case 2:
        return floorTurns<2>(turns);
    case 3:
        return floorTurns<3>(turns);
    case 5:
        return floorTurns<5>(turns);
    default:
        return __builtin_nan(""); // a constant: numeric_limits would be a function of this object
    }
}
