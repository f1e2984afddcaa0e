// The resonant state-variable filter, run twice per sample on the same input (standing in
// for 2x oversampling) with the two outputs averaged. The band state carries a cubic
// soft limit that bounds self-oscillation.
#pragma once

#include <algorithm>

#include "effect/engine/dsp_math.h"

namespace ruvane {

enum class FilterType : int { LowPass, BandPass, HighPass };

inline constexpr float kMinResonance = 0.05f;
inline constexpr float kMaxQ = 2.0f;
inline constexpr float kCutoffCeilingDivisor = 2.75f;  // fc at most sampleRate / 2.75

// f and q for one sample, shared by both channels. Recomputes only what changed.
class FilterCoefficients {
public:
    void setSampleRate(float sampleRate);
    void reset();

    // cutoffHz before the ceiling; resonance 0.05..1.
    void update(float cutoffHz, float resonance) {
        float fc = cutoffHz < ceilingHz_ ? cutoffHz : ceilingHz_;
        if (!(fc > 0.0f)) fc = 0.0f;
        if (fc != lastCutoff_) {
            lastCutoff_ = fc;
            f_ = 2.0f * sinSmallAngle(fc * radiansPerHz_);
            qMax_ = f_ > 0.0f ? 2.0f / f_ - 0.5f * f_ : kMaxQ;
            if (qMax_ > kMaxQ) qMax_ = kMaxQ;
            q_ = qFromResonance_ < qMax_ ? qFromResonance_ : qMax_;
            minCarry_ = minCarryFor(f_, q_);
        }
        if (resonance != lastResonance_) {
            lastResonance_ = resonance;
            qFromResonance_ = dampingFor(resonance);
            q_ = qFromResonance_ < qMax_ ? qFromResonance_ : qMax_;
            minCarry_ = minCarryFor(f_, q_);
        }
    }

    // q = 2 (1 - res^0.25).
    static float dampingFor(float resonance);
    // The least share of the band state a pass may carry over (see StateVariableFilter).
    // One pass maps (low, band) through [[1, f], [-f, c - f q - f^2]] for a carried share c.
    // It stays stable while c > f q - 1 and c > f^2 / 2 + f q - 1; keep a margin above both.
    static float minCarryFor(float f, float q) {
        constexpr float kMargin = 0.05f;
        const float bound = std::max(f * q - 1.0f, 0.5f * f * f + f * q - 1.0f) + kMargin;
        return std::clamp(bound, 0.0f, 1.0f);
    }

    float f() const { return f_; }
    float q() const { return q_; }
    float qMax() const { return qMax_; }
    float minCarry() const { return minCarry_; }
    float ceilingHz() const { return ceilingHz_; }

private:
    float ceilingHz_ = 0.0f;
    float radiansPerHz_ = 0.0f;  // pi / (2 sampleRate): the filter runs at twice the rate
    float lastCutoff_ = -1.0f;
    float lastResonance_ = -1.0f;
    float f_ = 0.0f;
    float q_ = 0.0f;
    float qMax_ = kMaxQ;
    float qFromResonance_ = 0.0f;
    float minCarry_ = 0.0f;
};

// Both channels at once (one coefficient set); the lanes never mix.
class StateVariableFilter {
public:
    // The cubic soft limit: band = f high + band - 0.075 band^3, i.e. each pass carries
    // the share (1 - 0.075 band^2) of the band state over. Loud signals push that share
    // down; below the least share the coefficients allow (FilterCoefficients::minCarry) the
    // recursion would run away, so the share is held there.
    static constexpr float kCubic = 0.075f;
    // The soft limit squares the band state flushed with this offset: states below about
    // 1e-13 become 0 there. Their share could not differ from 1 anyway (0.075 band^2 lies
    // far below the rounding of 1), and squaring them could give subnormal products,
    // whose arithmetic is many times slower: a decaying tail would cost more than music.
    static constexpr float kSoftLimitFlushOffset = 1.0f / (1 << 20);

    void reset() {
        low_ = _mm_setzero_ps();
        band_ = _mm_setzero_ps();
    }

    Pair process(Pair x, const FilterCoefficients& c, FilterType type) {
        const Pair f = splat(c.f()), q = splat(c.q()), minCarry = splat(c.minCarry());
        // Flushed once a sample: a state at 0 or above 1e-25 in size cannot reach the
        // denormal range within the sample's two passes.
        band_ = flush(band_);
        low_ = flush(low_);
        switch (type) {
            case FilterType::LowPass: return twoPasses<FilterType::LowPass>(x, f, q, minCarry);
            case FilterType::BandPass: return twoPasses<FilterType::BandPass>(x, f, q, minCarry);
            case FilterType::HighPass: return twoPasses<FilterType::HighPass>(x, f, q, minCarry);
        }
        return twoPasses<FilterType::LowPass>(x, f, q, minCarry);
    }
    // One channel: the same input in both lanes.
    float process(float x, const FilterCoefficients& c, FilterType type) { return leftOf(process(splat(x), c, type)); }

    float low() const { return leftOf(low_); }
    float band() const { return leftOf(band_); }

private:
    // The type is chosen once a sample, not once a pass.
    template <FilterType Type>
    Pair twoPasses(Pair x, Pair f, Pair q, Pair minCarry) {
        const Pair first = pass<Type>(x, f, q, minCarry);
        const Pair second = pass<Type>(x, f, q, minCarry);
        return _mm_mul_ps(splat(0.5f), _mm_add_ps(first, second));
    }
    template <FilterType Type>
    Pair pass(Pair x, Pair f, Pair q, Pair minCarry) {
        low_ = _mm_add_ps(low_, _mm_mul_ps(f, band_));
        const Pair high = _mm_sub_ps(_mm_sub_ps(x, _mm_mul_ps(q, band_)), low_);
        // max(share, minCarry) as std::max orders it: a NaN share passes through.
        const Pair limited = flush(band_, kSoftLimitFlushOffset);
        const Pair share = _mm_sub_ps(splat(1.0f), _mm_mul_ps(_mm_mul_ps(splat(kCubic), limited), limited));
        const Pair carry = _mm_max_ps(minCarry, share);
        band_ = _mm_add_ps(_mm_mul_ps(f, high), _mm_mul_ps(carry, band_));
        if constexpr (Type == FilterType::BandPass) return band_;
        if constexpr (Type == FilterType::HighPass) return high;
        return low_;
    }

    Pair low_ = _mm_setzero_ps();
    Pair band_ = _mm_setzero_ps();
};

}  // namespace ruvane
