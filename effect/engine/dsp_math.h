// Small numeric helpers shared by the processing blocks: constants, the denormal
// guards and fast approximations of the powers and sines evaluated per sample.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include <emmintrin.h>

namespace ruvane {

inline constexpr float kPi = 3.14159265358979f;
inline constexpr float kTwoPi = 6.28318530717959f;
inline constexpr float kHalfPi = 1.57079632679490f;

// Values far below 1e-18 become exactly 0, so recursive states never reach the
// denormal range (evaluated in float: the add rounds them away). A recursion may add the
// offset to one of its terms before the sum instead, which keeps it off the critical path.
inline constexpr float kFlushOffset = 1e-18f;
inline float flush(float x, float offset = kFlushOffset) { return (x + offset) - offset; }

// A tiny offset whose sign flips every sample: added to a recursion it keeps the
// state out of the denormal range without accumulating.
class AlternatingGuard {
public:
    explicit constexpr AlternatingGuard(float magnitude) : value_(magnitude) {}
    float next() {
        value_ = -value_;
        return value_;
    }
    float value() const { return value_; }

private:
    float value_;
};

inline constexpr float kSmootherGuard = 1e-10f;  // guard A
inline constexpr float kReverbGuard = 1e-8f;     // guard B

// 2^f = 1 + f q(f) on 0..1, q fitted for relative error 8e-8 (exact at whole numbers).
inline constexpr float kExp2C0 = 0.69315131f, kExp2C1 = 0.24016445f, kExp2C2 = 0.055799915f,
                       kExp2C3 = 0.0090170285f, kExp2C4 = 0.0018671308f;

// Below this size 2^x rounds to 1.
inline constexpr float kExp2RoundsToOne = 1.0f / (1 << 25);

// 2^x to about 2e-7 relative, for any x (results saturate below 2^-126 and above 2^127;
// NaN gives the lower end). Exact at whole numbers, and 1 for |x| below 2^-25, where 1 is
// the float nearest to 2^x. The polynomial keeps Horner's order: the clock rates come from
// here, and the clocked delay's phase would turn any change of their rounding into a drift.
inline float fastExp2(float x) {
    // The polynomial would round to 1 here; a modulation depth at its centre lands here
    // on every sample.
    if (std::fabs(x) < kExp2RoundsToOne) return 1.0f;
    if (!(x >= -126.0f)) x = -126.0f;  // also NaN
    if (x > 127.0f) x = 127.0f;
    int whole = static_cast<int>(x);  // truncates; step down for negative fractions
    if (static_cast<float>(whole) > x) --whole;
    float f = x - static_cast<float>(whole);  // 0..1
    if (f >= 1.0f) {  // x a hair below a whole number, rounded up to it: 2^x is 2^(whole + 1)
        f = 0.0f;
        ++whole;
    }
    const float p = 1.0f + f * (kExp2C0 + f * (kExp2C1 + f * (kExp2C2 + f * (kExp2C3 + f * kExp2C4))));
    const auto exponent = static_cast<std::uint32_t>(whole + 127) << 23;
    return p * std::bit_cast<float>(exponent);
}

// A left/right pair in the two low lanes of an SSE register, so both channels of a
// block run in one instruction stream (lane for lane the same arithmetic as scalar code).
using Pair = __m128;
inline Pair makePair(float left, float right) { return _mm_unpacklo_ps(_mm_set_ss(left), _mm_set_ss(right)); }
inline Pair splat(float x) { return _mm_set1_ps(x); }
inline float leftOf(Pair p) { return _mm_cvtss_f32(p); }
inline float rightOf(Pair p) { return _mm_cvtss_f32(_mm_shuffle_ps(p, p, _MM_SHUFFLE(1, 1, 1, 1))); }
template <int Lane>
float laneOf(__m128 v) {
    return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(Lane, Lane, Lane, Lane)));
}
// The flush with another offset: values far below `offset` times 2^-24 become 0.
inline Pair flush(Pair x, float offset = kFlushOffset) {
    const Pair tiny = _mm_set1_ps(offset);
    return _mm_sub_ps(_mm_add_ps(x, tiny), tiny);
}

// fastExp2 on four values at once (SSE2), lane for lane the same results.
inline __m128 fastExp2x4(__m128 x) {
    const __m128 bottom = _mm_set1_ps(-126.0f);
    const __m128 inRange = _mm_cmpge_ps(x, bottom);  // false for NaN
    x = _mm_or_ps(_mm_and_ps(inRange, x), _mm_andnot_ps(inRange, bottom));
    x = _mm_min_ps(x, _mm_set1_ps(127.0f));
    const __m128i truncated = _mm_cvttps_epi32(x);
    const __m128 truncatedFloat = _mm_cvtepi32_ps(truncated);
    // Step down where truncation went up (negative fractions): the mask is -1 there. The
    // fraction x - whole is exact either way, so adding the 1 afterwards gives the same f.
    const __m128 stepDown = _mm_cmpgt_ps(truncatedFloat, x);
    __m128i whole = _mm_add_epi32(truncated, _mm_castps_si128(stepDown));
    __m128 f = _mm_add_ps(_mm_sub_ps(x, truncatedFloat), _mm_and_ps(stepDown, _mm_set1_ps(1.0f)));
    // x a hair below a whole number rounds f up to 1: 2^x is then 2^(whole + 1), f 0.
    const __m128 roundedUp = _mm_cmpge_ps(f, _mm_set1_ps(1.0f));
    whole = _mm_sub_epi32(whole, _mm_castps_si128(roundedUp));
    f = _mm_andnot_ps(roundedUp, f);
    __m128 q = _mm_set1_ps(kExp2C4);
    q = _mm_add_ps(_mm_mul_ps(q, f), _mm_set1_ps(kExp2C3));
    q = _mm_add_ps(_mm_mul_ps(q, f), _mm_set1_ps(kExp2C2));
    q = _mm_add_ps(_mm_mul_ps(q, f), _mm_set1_ps(kExp2C1));
    q = _mm_add_ps(_mm_mul_ps(q, f), _mm_set1_ps(kExp2C0));
    const __m128 p = _mm_add_ps(_mm_set1_ps(1.0f), _mm_mul_ps(f, q));
    const __m128i exponent = _mm_slli_epi32(_mm_add_epi32(whole, _mm_set1_epi32(127)), 23);
    return _mm_mul_ps(p, _mm_castsi128_ps(exponent));
}

// sin(x) for 0 <= x <= pi/4 (the filter's range), Taylor series to the 7th power:
// error below 1e-8 there.
inline float sinSmallAngle(float x) {
    const float x2 = x * x;
    return x * (1.0f + x2 * (-1.0f / 6.0f + x2 * (1.0f / 120.0f + x2 * (-1.0f / 5040.0f))));
}

}  // namespace ruvane
