#include "effect/engine/smoother.h"

#include <cmath>

#include "effect/engine/dsp_math.h"

namespace ruvane {

float smoothingCoefficient(float sampleRate) {
    return std::exp(-kTwoPi * kSmoothingHz / sampleRate);
}

}  // namespace ruvane
