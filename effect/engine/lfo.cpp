#include "effect/engine/lfo.h"

#include <cmath>

#include "effect/engine/dsp_math.h"
#include "effect/engine/smoother.h"

namespace ruvane {

float wrapPhase(float phase) {
    if (phase > kPi) return phase - kTwoPi;
    if (phase < -kPi) return phase + kTwoPi;
    return phase;
}

Lfo::Lfo() {
    for (int j = 0; j < kSineTableSize; ++j)
        sineTable_[static_cast<std::size_t>(j)] = std::sin(static_cast<float>(j) / kSineTableScale);
    setSampleRate(44100.0f);
}

void Lfo::setSampleRate(float sampleRate) { smoothing_ = smoothingCoefficient(sampleRate); }

void Lfo::reset(float offset) {
    left_ = 0.0f;
    right_ = 0.0f;
    accumulator_ = 0.0f;
    generator_.reseed();
    mainPhase_ = 0.0f;
    leftPhase_ = wrapPhase(-offset);
    rightPhase_ = wrapPhase(offset);
}

void Lfo::restart(float offset) {
    mainPhase_ = 0.0f;
    leftPhase_ = wrapPhase(-offset);
    rightPhase_ = wrapPhase(offset);
}

void Lfo::setOffset(float offset) {
    leftPhase_ = wrapPhase(mainPhase_ - offset);
    rightPhase_ = wrapPhase(mainPhase_ + offset);
}

}  // namespace ruvane
