// How each normalised parameter value becomes an engine quantity (gain, hertz, ms,
// octaves, coefficients), and which of them are smoothed per sample.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

#include "effect/engine/dsp_math.h"
#include "effect/engine/parameters.h"

namespace ruvane {

inline constexpr float kMinSampleRate = 4096.0f;
inline constexpr float kMaxSampleRate = 200000.0f;
inline constexpr float kDefaultSampleRate = 44100.0f;
inline constexpr int kMinMeterDelay = 1;
inline constexpr int kMaxMeterDelay = 44100;
inline constexpr int kDefaultMeterDelay = 1024;

inline constexpr float kMaxCutoffHz = 16000.0f;
inline constexpr float kMinLfoRateHz = 0.01f;
inline constexpr float kMaxSyncedLfoRateHz = 15.0f;
inline constexpr float kWholeNoteMsAtOneBpm = 240000.0f;  // 4 beats x 60000 ms
inline constexpr float kModFilterOctaves = 3.0f;            // octaves per unit of modulation

namespace mapping {

// "Main In", "Main Out": 4 v^2 (0.5 is unity).
inline float gain(float v, float = 0.0f) { return 4.0f * v * v; }
// Amounts used as given: mix, feedback, pan, modulation source.
inline float identity(float v, float = 0.0f) { return v; }
// Depths and the manual clock setting: -1..+1 around the centre.
inline float bipolar(float v, float = 0.0f) { return (v - 0.5f) * 2.0f; }
// "Flt Cutoff": 64 x 2^(8v) - 14 Hz, at most 16 kHz and half the sample rate.
inline float cutoffHz(float v, float sampleRate) {
    return std::min({64.0f * std::exp2(8.0f * v) - 14.0f, kMaxCutoffHz, 0.5f * sampleRate});
}
// "Flt Res": at least 0.05.
inline float resonance(float v, float = 0.0f) { return std::max(v, 0.05f); }
// "Drv Gain" and "Mod Sens": 2^(4v), 1..16.
inline float powerOfSixteen(float v, float = 0.0f) { return std::exp2(4.0f * v); }
// "Mod EnvSpeed": 100..1000 ms.
inline float envelopeSpeedMs(float v) { return 100.0f + 900.0f * v; }
// "Mod LfoRate" in freq mode: 16^v - 1 Hz, at least 0.01 Hz.
inline float freeLfoRateHz(float v) { return std::max(std::exp2(4.0f * v) - 1.0f, kMinLfoRateHz); }
// "Mod LfoOffset": the stereo offset, -pi/2..+pi/2.
inline float lfoOffsetRadians(float v) { return (v - 0.5f) * kPi; }
// Sign switches (feedback and wet inversion): position 1 inverts.
inline float sign(float v) { return switchIsOn(v) ? -1.0f : 1.0f; }

// Tempo-synced delay: num/den of a whole note, before the 5000 ms limit.
inline float syncedDelayMs(float numerator, float denominator, float bpm) {
    return numerator * kWholeNoteMsAtOneBpm / (denominator * bpm);
}
// Tempo-synced LFO, before the 0.01..15 Hz limit.
inline float syncedLfoRateHz(float numerator, float denominator, float bpm) {
    return denominator * bpm / (numerator * 240.0f);
}
// The range a free time falls into: above 1000 ms 5000, above 100 ms 1000, else 100.
inline int rangeIndexForTime(float ms) {
    if (ms > kDelayRangesMs[1]) return 2;
    if (ms > kDelayRangesMs[0]) return 1;
    return 0;
}
inline float rangeMaxMs(float rangeValue) { return kDelayRangesMs[static_cast<std::size_t>(switchPosition(rangeValue, 3))]; }

inline float tempoFromNormalised(float x) { return kMinTempoBpm + (kMaxTempoBpm - kMinTempoBpm) * x; }
inline float normalisedFromTempo(float bpm) { return (bpm - kMinTempoBpm) / (kMaxTempoBpm - kMinTempoBpm); }

}  // namespace mapping

// The 13 quantities smoothed per sample (30 Hz one-pole), in smoother-lane order.
enum SmoothedQuantity : int {
    kSmoothInputGain,
    kSmoothOutputGain,
    kSmoothMix,
    kSmoothFeedbackLeft,
    kSmoothFeedbackRight,
    kSmoothPanLeft,
    kSmoothPanRight,
    kSmoothModSource,
    kSmoothFilterDepth,
    kSmoothCutoff,
    kSmoothResonance,
    kSmoothVcoDepth,
    kSmoothDrive,
    kSmoothedCount
};

struct SmoothedMapping {
    Parameter parameter;
    float (*target)(float value, float sampleRate);
};

inline constexpr std::array<SmoothedMapping, kSmoothedCount> kSmoothedMappings{{
    {kMainIn, &mapping::gain},
    {kMainOut, &mapping::gain},
    {kMainMix, &mapping::identity},
    {kDlyLFb, &mapping::identity},
    {kDlyRFb, &mapping::identity},
    {kDlyLFbPan, &mapping::identity},
    {kDlyRFbPan, &mapping::identity},
    {kModSource, &mapping::identity},
    {kFltMod, &mapping::bipolar},
    {kFltCutoff, &mapping::cutoffHz},
    {kFltRes, &mapping::resonance},
    {kVcoMod, &mapping::bipolar},
    {kDrvGain, &mapping::powerOfSixteen},
}};

}  // namespace ruvane
