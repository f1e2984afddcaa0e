// The input meters' ballistics: a peak lights the ladder at once, and the ladder falls
// back at a fixed rate, the whole height in meterFallMs.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ruvane {

struct PeakMeterBallistics {
    // -24 dB, the bottom of the 21-step ladder.
    float meterFloorLevel = std::pow(10.0f, -1.2f);
    float meterFallMs = 500.0f;
    float meterRangeDb = 24.0f;

    // The meter's next value (0..1) from its current one, the peak since the last
    // reading and the milliseconds since then.
    float next(float current, float peak, uint32_t elapsedMs) const {
        const float db = !(peak > meterFloorLevel) ? -meterRangeDb : std::min(20.0f * std::log10(peak), 0.0f);
        const float target = db / meterRangeDb + 1.0f;
        const float fallen = std::max(current - static_cast<float>(elapsedMs) / meterFallMs, 0.0f);
        return std::max(fallen, target);
    }
};

}  // namespace ruvane
