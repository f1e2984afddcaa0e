// The Vco clock rate while modulation is on, per line:
//   r = 2^(manual + min(1, lfo + (e - 0.5) k) depth),  e = a e' + w s m,
// where m, this sample's line-input magnitude, is the one term that waits for the
// feedback loop. Everything else (the previous envelope e', the LFO, the depths) is known
// before the sample, so r = 2^x0 2^(q m): 2^x0 is computed off the loop's path (the
// engine does it one sample ahead), and 2^(q m), a power close to 1, as a short
// polynomial. A few operations instead of a whole power of two then stand between the
// loop's signal and the clock phase.
#pragma once

#include <algorithm>
#include <cmath>

#include "effect/engine/dsp_math.h"

namespace ruvane {

class ModulatedClockRate {
public:
    // Up to this exponent 1 + y ln2 + (y ln2)^2 / 2 is 2^y to 3e-8 relative.
    static constexpr float kSmallExponent = 1.0f / 128.0f;
    static constexpr float kLn2 = 0.693147180559945f;

    // The exponent x0: everything but this sample's input. decayedEnvelope = a e'.
    static float baseOctaves(float manualOctaves, float lfo, float envelopeScale, float depth, float decayedEnvelope) {
        return manualOctaves + (lfo + (decayedEnvelope - 0.5f) * envelopeScale) * depth;
    }

    // base = 2^x0; inputWeight = w s (the envelope's input weight times the sensitivity).
    ModulatedClockRate(float base, float manualOctaves, float lfo, float envelopeScale, float depth, float inputWeight)
        : manualOctaves_(manualOctaves), lfo_(lfo), envelopeScale_(envelopeScale), depth_(depth), base_(base) {
        q_ = inputWeight * envelopeScale * depth;
        linear_ = q_ * kLn2;
        quadratic_ = 0.5f * linear_ * linear_;
    }

    // The rate for this sample's magnitude m, given the envelope e it produced.
    float rate(float magnitude, float envelope) const {
        const float octaves = lfo_ + (envelope - 0.5f) * envelopeScale_;
        if (octaves < 1.0f && std::fabs(q_ * magnitude) <= kSmallExponent)
            return base_ * (1.0f + magnitude * (linear_ + magnitude * quadratic_));
        // Limited at one octave, or an input loud enough that the polynomial would not do.
        return fastExp2(manualOctaves_ + std::min(1.0f, octaves) * depth_);
    }

private:
    float manualOctaves_, lfo_, envelopeScale_, depth_;
    float base_;
    float q_ = 0.0f;  // octaves per unit of input magnitude
    float linear_ = 0.0f, quadratic_ = 0.0f;
};

}  // namespace ruvane
