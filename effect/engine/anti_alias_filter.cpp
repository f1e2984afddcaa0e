#include "effect/engine/anti_alias_filter.h"

#include <algorithm>
#include <cmath>

namespace ruvane {

float antiAliasDesignHz(float sampleRate) { return std::min(kAntiAliasHz, kAntiAliasMaxShareOfRate * sampleRate); }

BiquadCoefficients butterworthLowPass(float cornerHz, float sampleRate) {
    const float sqrt2 = 1.41421356237310f;
    const float k = 1.0f / std::tan(kPi * cornerHz / sampleRate);
    const float c0 = k * k + sqrt2 * k + 1.0f;
    BiquadCoefficients c;
    c.b0 = 1.0f / c0;
    c.b1 = 2.0f / c0;
    c.b2 = 1.0f / c0;
    c.a1 = -2.0f * (k * k - 1.0f) / c0;
    c.a2 = (k * k - sqrt2 * k + 1.0f) / c0;
    return c;
}

void AntiAliasFilter::setSampleRate(float sampleRate) {
    coefficients_ = butterworthLowPass(antiAliasDesignHz(sampleRate), sampleRate);
    const BiquadCoefficients& c = coefficients_;
    lanes_ = {splat(c.b0), splat(c.b1), splat(c.b2), splat(c.a1), splat(c.a2)};
}

void AntiAliasFilter::reset() {
    first_ = Biquad{};
    second_ = Biquad{};
}

void AntiAliasFilter::settleTo(float left, float right) {
    const Pair v = makePair(left, right);
    first_ = Biquad{v, v, v, v};
    second_ = Biquad{v, v, v, v};
}

}  // namespace ruvane
