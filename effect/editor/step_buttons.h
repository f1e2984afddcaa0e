// What the step buttons do to the value they step: in sync (note) mode a numerator or
// denominator position, wrapping at both ends; in free mode the delay time in
// milliseconds or the LFO rate in thousandths of a hertz.
#pragma once

#include <algorithm>
#include <cmath>

namespace ruvane {

// A plain press steps one position up; with Shift or Control (step above 1), one down.
inline int steppedPosition(int position, int count, float step) {
    const int next = step > 1.0f ? position - 1 : position + 1;
    if (next >= count) return 0;
    if (next < 0) return count - 1;
    return next;
}

// The delay time parameter moves by step thousandths of its range, within 0..1.
inline float steppedDelayTime(float time, float step, bool down) {
    const float moved = down ? time - step / 1000.0f : time + step / 1000.0f;
    return std::clamp(moved, 0.0f, 1.0f);
}

// The LFO rate parameter p stands for r = 16^p - 1 hertz; a step moves r by 0.001 Hz
// whatever the modifier, within 0.01 (down) and 15 (up).
struct LfoRateStep {
    static constexpr float kStepHz = 0.001f;
    static constexpr float kLowestHz = 0.01f;
    static constexpr float kHighestHz = 15.0f;
    float lfoRateScale = 1.0f / std::log10(16.0f);

    float next(float parameter, bool down) const {
        const float rate = std::pow(16.0f, parameter) - 1.0f;
        const float moved = down ? std::max(rate - kStepHz, kLowestHz) : std::min(rate + kStepHz, kHighestHz);
        return std::log10(1.0f + moved) * lfoRateScale;
    }
};

}  // namespace ruvane
