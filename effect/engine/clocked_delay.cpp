#include "effect/engine/clocked_delay.h"

namespace ruvane {

void ClockedDelay::reset() {
    for (float& x : x_) x = 0.0f;
    for (float& y : y_) y = 0.0f;
    previousRate_ = 1.0f;
    inversePreviousRate_ = 1.0f;
    phase_ = 0.0f;
}

}  // namespace ruvane
