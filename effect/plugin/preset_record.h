// One preset of the bank: a 24-byte name (zero-padded; no terminator when all 24
// bytes are used) and the 48 normalised sound-parameter values in index order.
#pragma once

#include <array>

#include "effect/engine/parameters.h"

namespace ruvane {

inline constexpr int kPresetNameBytes = 24;
inline constexpr int kNumPresets = 61;

struct PresetRecord {
    char name[kPresetNameBytes];
    float values[kNumSoundParameters];
};
static_assert(sizeof(PresetRecord) == 216);

using PresetBank = std::array<PresetRecord, kNumPresets>;

}  // namespace ruvane
