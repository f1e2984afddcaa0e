// The effect's 48 sound parameters: their order, names, labels and switch sizes,
// the switch quantisation rule and the tempo-sync tables. Shared by the engine, the
// plug-in's host texts, the presets and the editor.
#pragma once

#include <array>
#include <cmath>
#include <optional>

namespace ruvane {

enum Parameter : int {
    kMainIn = 0,
    kMainOut,
    kMainMix,
    kDlyLFb,
    kDlyRFb,
    kDlyLFbPan,
    kDlyRFbPan,
    kDlyLFbInv,
    kDlyRFbInv,
    kModLfoWave,
    kModLfoRate,
    kModLfoOffset,
    kModSource,
    kFltMod,
    kFltType,
    kFltCutoff,
    kFltRes,
    kVcoManual,
    kVcoMod,
    kDlyLDlyInv,
    kDlyRDlyInv,
    kDrvGain,
    kModEnvSpeed,
    kFltMode,
    kDlyLMode,
    kDlyRMode,
    kDlyLNum,
    kDlyRNum,
    kDlyLDen,
    kDlyRDen,
    kDlyLRange,
    kDlyRRange,
    kModLfoMode,
    kModLfoNum,
    kModLfoDen,
    kDlyLTime,
    kDlyRTime,
    kRvbMode,
    kRvbType,
    kRvbDamp,
    kRvbAmt,
    kMainBypass,
    kFltOn,
    kDrvOn,
    kModOn,
    kVcoOn,
    kRvbOn,
    kModSens,
    kNumSoundParameters
};

struct ParameterInfo {
    const char* name;
    const char* label;
    int steps;  // switch positions; 0 for a continuous parameter
};

inline constexpr std::array<ParameterInfo, kNumSoundParameters> kParameterInfo{{
    {"Main In", "dB", 0},       {"Main Out", "dB", 0},       {"Main Mix", "%", 0},
    {"DlyL Fb", "dB", 0},       {"DlyR Fb", "dB", 0},        {"DlyL FbPan", "%", 0},
    {"DlyR FbPan", "%", 0},     {"DlyL FbInv", "", 2},       {"DlyR FbInv", "", 2},
    {"Mod LfoWave", "", 5},     {"Mod LfoRate", "Hz", 0},    {"Mod LfoOffset", "deg", 0},
    {"Mod Source", "%", 0},     {"Flt Mod", "%", 0},         {"Flt Type", "", 3},
    {"Flt Cutoff", "Hz", 0},    {"Flt Res", "", 0},          {"Vco Manual", "x", 0},
    {"Vco Mod", "%", 0},        {"DlyL DlyInv", "", 2},      {"DlyR DlyInv", "", 2},
    {"Drv Gain", "dB", 0},      {"Mod EnvSpeed", "ms", 0},   {"Flt Mode", "", 3},
    {"DlyL Mode", "", 2},       {"DlyR Mode", "", 2},        {"DlyL Num", "", 5},
    {"DlyR Num", "", 5},        {"DlyL Den", "", 13},        {"DlyR Den", "", 13},
    {"DlyL Range", "ms", 3},    {"DlyR Range", "ms", 3},     {"Mod LfoMode", "", 2},
    {"Mod LfoNum", "", 5},      {"Mod LfoDen", "", 13},      {"DlyL Time", "ms", 0},
    {"DlyR Time", "ms", 0},     {"Rvb Mode", "", 2},         {"Rvb Type", "", 2},
    {"Rvb Damp", "%", 0},       {"Rvb Amt", "%", 0},         {"Main Bypass", "", 2},
    {"Flt On", "", 2},          {"Drv On", "", 2},           {"Mod On", "", 2},
    {"Vco On", "", 2},          {"Rvb On", "", 2},           {"Mod Sens", "%", 0},
}};

// An n-position switch reads min(floor(n v), n - 1); values below 0 read position 0.
inline int switchPosition(float value, int steps) {
    const float scaled = std::floor(static_cast<float>(steps) * value);
    if (!(scaled > 0.0f)) return 0;
    return scaled >= static_cast<float>(steps - 1) ? steps - 1 : static_cast<int>(scaled);
}

// The value the effect writes for a switch position: its centre.
inline float switchValue(int position, int steps) {
    return (static_cast<float>(position) + 0.5f) / static_cast<float>(steps);
}

// Host and file values can be anything a float holds: NaN carries no value (none is
// returned); everything else is limited to 0..1.
inline std::optional<float> normalisedValue(float value) {
    if (std::isnan(value)) return std::nullopt;
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

// The same rule where a value must come out: NaN keeps what was there.
inline float normalisedOr(float value, float previous) { return normalisedValue(value).value_or(previous); }

inline bool switchIsOn(float value) { return switchPosition(value, 2) == 1; }

// The entry of a table that a switch value selects.
template <std::size_t N>
float tableEntry(const std::array<float, N>& table, float value) {
    return table[static_cast<std::size_t>(switchPosition(value, static_cast<int>(N)))];
}

// Tempo-sync and range tables.
inline constexpr std::array<float, 5> kLfoNumerators{1, 2, 3, 4, 8};
inline constexpr std::array<float, 5> kDelayNumerators{1, 3, 5, 7, 9};
inline constexpr std::array<float, 13> kSyncDenominators{1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96};
inline constexpr std::array<float, 3> kDelayRangesMs{100, 1000, 5000};

inline constexpr float kMinTempoBpm = 30.0f;
inline constexpr float kMaxTempoBpm = 400.0f;
inline constexpr float kDefaultTempoBpm = 120.0f;
inline constexpr float kMaxDelayMs = 5000.0f;

}  // namespace ruvane
