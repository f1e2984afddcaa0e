// The anti-alias low-pass in front of the clocked delay: two identical 2nd-order
// Butterworth biquads in series (bilinear transform), one pair per channel.
#pragma once

#include "effect/engine/dsp_math.h"

namespace ruvane {

struct BiquadCoefficients {
    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
};

inline constexpr float kAntiAliasHz = 14000.0f;
// Where 14 kHz is too close to half the rate, the design moves down to this share of it.
inline constexpr float kAntiAliasMaxShareOfRate = 0.45f;

// The design frequency used at a sample rate.
float antiAliasDesignHz(float sampleRate);
// The Butterworth low-pass for a corner frequency at a sample rate.
BiquadCoefficients butterworthLowPass(float cornerHz, float sampleRate);

// Both channels at once (one coefficient set); the lanes never mix.
class AntiAliasFilter {
public:
    void setSampleRate(float sampleRate);
    void reset();
    // Sets every state of both biquads to the channel's value (a settled filter for a
    // constant input).
    void settleTo(float left, float right);
    void settleTo(float value) { settleTo(value, value); }

    Pair process(Pair x) {
        x = first_.process(x, lanes_);
        return second_.process(x, lanes_);
    }
    // One channel: the same input in both lanes.
    float process(float x) { return leftOf(process(splat(x))); }
    // frames samples from the two inputs to the two outputs. The states run in locals:
    // the output stores could otherwise alias them and force a reload on every sample.
    void run(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames) {
        const CoefficientLanes c = lanes_;
        Biquad first = first_, second = second_;
        for (int n = 0; n < frames; ++n) {
            const Pair y = second.process(first.process(makePair(inLeft[n], inRight[n]), c), c);
            outLeft[n] = leftOf(y);
            outRight[n] = rightOf(y);
        }
        first_ = first;
        second_ = second;
    }

    const BiquadCoefficients& coefficients() const { return coefficients_; }

private:
    // The coefficients in every lane, as the biquads use them.
    struct CoefficientLanes {
        Pair b0, b1, b2, a1, a2;
    };
    struct Biquad {
        Pair x1 = _mm_setzero_ps(), x2 = _mm_setzero_ps(), y1 = _mm_setzero_ps(), y2 = _mm_setzero_ps();
        // Everything but the a1 term is summed first, so the recursion through y1 is one
        // multiply and one subtraction (plus the flush, whose offset joins early too).
        Pair process(Pair x, const CoefficientLanes& c) {
            const Pair tiny = splat(kFlushOffset);
            Pair rest = _mm_mul_ps(c.b0, x);
            rest = _mm_add_ps(rest, _mm_mul_ps(c.b1, x1));
            rest = _mm_add_ps(rest, _mm_mul_ps(c.b2, x2));
            rest = _mm_sub_ps(rest, _mm_mul_ps(c.a2, y2));
            const Pair recursive = _mm_mul_ps(c.a1, y1);
            const Pair y = _mm_sub_ps(rest, recursive);
            x2 = x1;
            x1 = x;
            y2 = y1;
            // The stored output is flushed, the returned one is not.
            y1 = _mm_sub_ps(_mm_sub_ps(_mm_add_ps(rest, tiny), recursive), tiny);
            return y;
        }
    };
    BiquadCoefficients coefficients_;
    CoefficientLanes lanes_{splat(1.0f), splat(0.0f), splat(0.0f), splat(0.0f), splat(0.0f)};
    Biquad first_, second_;
};

}  // namespace ruvane
