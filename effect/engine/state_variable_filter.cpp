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

float FilterCoefficients::dampingFor(float resonance) {
    if (!(resonance > 0.0f)) return kMaxQ;
    return 2.0f * (1.0f - std::sqrt(std::sqrt(resonance)));
}

}  // namespace ruvane
