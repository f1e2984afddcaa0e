#include "effect/engine/envelope_follower.h"

#include <cmath>

namespace ruvane {

void EnvelopeFollower::setSpeed(float speedMs, float sampleRate, int windowLength) {
    coefficient_ = std::exp(-kTwoPi * 1000.0f / (speedMs * sampleRate));
    weight_ = (1.0f - coefficient_) / static_cast<float>(windowLength);
}

}  // namespace ruvane
