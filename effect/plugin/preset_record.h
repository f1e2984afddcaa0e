// One preset of the bank: a 24-byte name (zero-padded; no terminator when all 24
// bytes are used) and the 48 normalised sound-parameter values in index order.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "effect/engine/parameters.h"
#include "effect/plugin/byte_order.h"

namespace ruvane {

inline constexpr int kPresetNameBytes = 24;
inline constexpr int kNumPresets = 61;

struct PresetRecord {
    char name[kPresetNameBytes];
    float values[kNumSoundParameters];
};
static_assert(sizeof(PresetRecord) == 216);

using PresetBank = std::array<PresetRecord, kNumPresets>;

// A record as stored in chunks and files: the name, then the values in the writer's
// byte order.
inline void writePresetRecord(const PresetRecord& record, uint8_t* bytes) {
    std::memcpy(bytes, record.name, kPresetNameBytes);
    for (int i = 0; i < kNumSoundParameters; ++i) storeFloat(bytes + kPresetNameBytes + i * sizeof(float), record.values[i]);
}

inline void readPresetRecord(const uint8_t* bytes, bool reversed, PresetRecord& record) {
    std::memcpy(record.name, bytes, kPresetNameBytes);
    for (int i = 0; i < kNumSoundParameters; ++i)
        record.values[i] = loadFloat(bytes + kPresetNameBytes + i * sizeof(float), reversed);
}

}  // namespace ruvane
