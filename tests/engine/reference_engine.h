// A straightforward reference for the signal path: every step of the designed per-sample
// loop written out one sample at a time, one channel at a time, in plain scalar float
// code, with none of the engine's block stages, lane pairing, cached coefficients or
// fast paths. It takes its controls from its own EngineControls (the control side is not
// what it checks), so a test drives it with the same parameter writes as the engine.
//
// It uses the engine's approximations of 2^x and of the filter's sine (each tested
// against the exact function elsewhere) and the units whose block runs are tested
// against their own per-sample runs (LFO, reverb, delay buffer). The clocked delay's
// phase, its clock rate (one power of two of the summed octaves) and the smoothers
// that reach the rate are computed in the engine's order: any other rounding of an
// accumulating phase turns into a drift of the delay time, which is not a fault but
// would hide one.
#pragma once

#include <array>

#include "effect/engine/block_settings.h"
#include "effect/engine/delay_line.h"
#include "effect/engine/engine_controls.h"
#include "effect/engine/lfo.h"
#include "effect/engine/reverb.h"

namespace ruvane::test {

class ReferenceEngine : public EngineControls {
public:
    ReferenceEngine();
    void resume(double hostSampleRate, const HostTime& time);
    // Smoothers at their targets, fades settled, read positions placed, state cleared.
    void suspend();
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                 const HostTime& time);

private:
    struct Biquad {
        float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };
    struct Channel {
        DelayLine line;
        Biquad antiAlias[2];
        float x[4] = {}, y[4] = {};  // clocked-delay histories
        float rate = 1.0f, phase = 0.0f;
        float feedback = 0.0f;  // line output for the next sample, before its sign
        float envelope = 0.0f;
        float low = 0.0f, band = 0.0f;
        std::array<float, 16> ring{};
        float sum = 0.0f;
        float lineInput = 0.0f;
        int distance = 0;
    };

    void applySampleRate(float rate);
    void clear();
    void beginBlock(const HostTime& time);
    float antiAlias(Channel& c, float x) const;
    float clocked(Channel& c, float rate);
    float filter(Channel& c, float x);
    void filterCoefficients(float cutoffHz, float resonance);

    float rate_ = 0.0f;
    int window_ = 4;
    int ringPosition_ = 0;
    BlockSettings s_;
    std::array<float, kSmoothedCount> smoothed_{}, target_{};
    float smoothing_ = 0.0f;
    float guardA_ = kSmootherGuard, guardB_ = kReverbGuard;
    float envelopeCoefficient_ = 0.0f;
    float b0_ = 0, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    float f_ = 0.0f, q_ = 0.0f, minCarry_ = 0.0f;
    float cutoffFactor_ = 1.0f;
    std::array<Channel, 2> ch_;
    Lfo lfo_;
    Reverb reverb_;
    bool plate_ = false;
};

}  // namespace ruvane::test
