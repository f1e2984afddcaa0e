// The effect's whole state as the host stores it: the bank, the current preset and the
// MIDI controller assignments, 13400 bytes in the byte order of the writing machine.
//
//   0      format marker 0x01000000
//   4      the effect's unique id (tells the byte order)
//   8      preset count, 61
//   12     current preset index
//   16     16 zero bytes
//   32     61 preset records of 216 bytes: 24-byte name, 48 float32 values
//   13208  48 float32: the controller-assignment values
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "effect/plugin/preset_record.h"

namespace ruvane {

inline constexpr std::size_t kStateChunkBytes = 13400;
inline constexpr uint32_t kStateChunkMarker = 0x01000000;

struct EffectState {
    PresetBank bank;
    int32_t currentPreset = 0;
    std::array<float, kNumSoundParameters> controllerValues{};
};

void writeStateChunk(const EffectState& state, int32_t uniqueId, uint8_t* chunk);

enum class ChunkReadResult {
    Accepted,
    Rejected,       // wrong size, another effect's id, wrong preset count: answer -1
    UnknownFormat,  // a marker this version does not know: answer 0, nothing applied
};

// Decodes a chunk of either byte order into state. Anything but Accepted leaves state as it was.
ChunkReadResult readStateChunk(const uint8_t* chunk, std::size_t size, int32_t uniqueId, EffectState& state);

}  // namespace ruvane
