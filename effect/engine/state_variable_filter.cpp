#include "effect/engine/state_variable_filter.h"

#include <algorithm>
#include <cmath>

namespace ruvane {

void FilterCoefficients::setSampleRate(float sampleRate) {
    ceilingHz_ = sampleRate / kCutoffCeilingDivisor;
    radiansPerHz_ = kPi / (2.0f * sampleRate);
    reset();
}

void FilterCoefficients::reset() {
    lastCutoff_ = -1.0f;
    lastResonance_ = -1.0f;
    f_ = 0.0f;
    q_ = 0.0f;
    qMax_ = kMaxQ;
    qFromResonance_ = 0.0f;
    minCarry_ = 0.0f;
}

float FilterCoefficients::minCarryFor(float f, float q) {
    // One pass maps (low, band) through [[1, f], [-f, c - f q - f^2]] for a carried share c.
    // It stays stable while c > f q - 1 and c > f^2 / 2 + f q - 1; keep a margin above both.
    constexpr float kMargin = 0.05f;
    const float bound = std::max(f * q - 1.0f, 0.5f * f * f + f * q - 1.0f) + kMargin;
    return std::clamp(bound, 0.0f, 1.0f);
}

float FilterCoefficients::dampingFor(float resonance) {
    if (!(resonance > 0.0f)) return kMaxQ;
    return 2.0f * (1.0f - std::sqrt(std::sqrt(resonance)));
}

}  // namespace ruvane
