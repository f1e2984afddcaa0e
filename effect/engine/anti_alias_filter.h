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

class AntiAliasFilter {
public:
    void setSampleRate(float sampleRate);
    void reset();
    // Sets every state of both biquads to value (a settled filter for a constant input).
    void settleTo(float value);

    float process(float x) {
        const BiquadCoefficients& c = coefficients_;
        float y = c.b0 * x + c.b1 * first_.x1 + c.b2 * first_.x2 - c.a1 * first_.y1 - c.a2 * first_.y2;
        first_.x2 = first_.x1;
        first_.x1 = x;
        first_.y2 = first_.y1;
        first_.y1 = flush(y);
        x = y;
        y = c.b0 * x + c.b1 * second_.x1 + c.b2 * second_.x2 - c.a1 * second_.y1 - c.a2 * second_.y2;
        second_.x2 = second_.x1;
        second_.x1 = x;
        second_.y2 = second_.y1;
        second_.y1 = flush(y);
        return y;
    }

    const BiquadCoefficients& coefficients() const { return coefficients_; }

private:
    struct State {
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };
    BiquadCoefficients coefficients_;
    State first_, second_;
};

}  // namespace ruvane
