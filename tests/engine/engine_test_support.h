// Helpers shared by the engine tests: a plain, predictable engine set-up and block runs.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "effect/engine/delay_engine.h"
#include "effect/engine/parameters.h"

namespace ruvane::test {

inline constexpr float kOn = 0.75f;
inline constexpr float kOff = 0.25f;

// Unity gains, wet only, no feedback (each line's feedback would stay on its own line),
// every section off, free 1000 ms range with the given times.
inline void setPlain(DelayEngine& e, float leftMs = 10.0f, float rightMs = 10.0f) {
    const int sections[] = {kMainBypass, kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn, kDlyLFbInv, kDlyRFbInv,
                              kDlyLDlyInv, kDlyRDlyInv, kDlyLMode, kDlyRMode, kModLfoMode, kRvbMode};
    for (int p : sections) e.setParameter(p, kOff);
    e.setParameter(kMainIn, 0.5f);
    e.setParameter(kMainOut, 0.5f);
    e.setParameter(kMainMix, 1.0f);
    e.setParameter(kDlyLFb, 0.0f);
    e.setParameter(kDlyRFb, 0.0f);
    e.setParameter(kDlyLFbPan, 0.0f);
    e.setParameter(kDlyRFbPan, 1.0f);
    e.setParameter(kDlyLRange, 0.5f);
    e.setParameter(kDlyRRange, 0.5f);
    e.setParameter(kDlyLTime, leftMs / 1000.0f);
    e.setParameter(kDlyRTime, rightMs / 1000.0f);
    e.setParameter(kVcoManual, 0.5f);
    e.setParameter(kVcoMod, 0.5f);
    e.setParameter(kFltMod, 0.5f);
    e.setParameter(kModSource, 0.0f);
}

struct Stereo {
    std::vector<float> left, right;
};

// Runs the inputs through the engine in blocks; returns the outputs.
inline Stereo run(DelayEngine& e, const std::vector<float>& left, const std::vector<float>& right, int block = 64,
                  const HostTime& time = {}) {
    Stereo out{std::vector<float>(left.size()), std::vector<float>(left.size())};
    for (std::size_t i = 0; i < left.size(); i += static_cast<std::size_t>(block)) {
        const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), left.size() - i));
        e.process(left.data() + i, right.data() + i, out.left.data() + i, out.right.data() + i, n, time);
    }
    return out;
}

inline std::vector<float> impulse(std::size_t length, std::size_t at = 0, float value = 1.0f) {
    std::vector<float> v(length, 0.0f);
    v[at] = value;
    return v;
}

inline std::size_t peakIndex(const std::vector<float>& v, std::size_t from = 0) {
    std::size_t best = from;
    for (std::size_t i = from; i < v.size(); ++i)
        if (std::fabs(v[i]) > std::fabs(v[best])) best = i;
    return best;
}

inline bool allFinite(const std::vector<float>& v) {
    for (float x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

}  // namespace ruvane::test
