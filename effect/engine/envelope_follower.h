// Per-channel envelope follower: a one-pole on the magnitude of the delay-line input,
// scaled by the sensitivity.
#pragma once

#include "effect/engine/dsp_math.h"

namespace ruvane {

inline constexpr float kEnvelopeMinMs = 100.0f;
inline constexpr float kEnvelopeSpanMs = 900.0f;

class EnvelopeFollower {
public:
    // a = exp(-2 pi 1000 / (speedMs * sampleRate)), input weight (1 - a) / windowLength.
    void setSpeed(float speedMs, float sampleRate, int windowLength);
    void reset() { envelope_ = 0.0f; }

    // One sample; sensitivity multiplies the input. The flush offset joins the decayed
    // state first, so the new magnitude meets only one addition and the flush's subtraction.
    float process(float magnitude, float sensitivity) {
        const float decayed = coefficient_ * envelope_ + kFlushOffset;
        envelope_ = (decayed + weight_ * sensitivity * magnitude) - kFlushOffset;
        return envelope_;
    }

    // The envelope as a modulation signal, -1 at silence, scaled by the source share.
    static float modulation(float envelope, float sourceShare) { return (envelope - 0.5f) * 2.0f * sourceShare; }

    float value() const { return envelope_; }
    float coefficient() const { return coefficient_; }
    float weight() const { return weight_; }

private:
    float coefficient_ = 0.0f;
    float weight_ = 0.0f;
    float envelope_ = 0.0f;
};

}  // namespace ruvane
