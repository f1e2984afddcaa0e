// The preset (.zav), bank (.zvb) and MIDI-settings (.zvm) file formats as memory
// images. Each starts with the effect's unique id and a one-byte kind tag; numbers are
// in the byte order of the writing machine.
//
//   preset  221 bytes: id, '!', 24-byte name, 48 float32 values
//   bank  13181 bytes: id, '7', 61 preset records (24-byte name, 48 float32 values)
//   MIDI    197 bytes: id, 0x0B, 48 float32 controller-assignment values
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "effect/plugin/preset_record.h"

namespace ruvane {

inline constexpr std::size_t kPresetImageBytes = 221;
inline constexpr std::size_t kBankImageBytes = 13181;
inline constexpr std::size_t kMidiImageBytes = 197;

// The kind tag in the fifth byte of each image.
inline constexpr uint8_t kPresetImageTag = '!';
inline constexpr uint8_t kBankImageTag = '7';
inline constexpr uint8_t kMidiImageTag = 0x0B;

using ControllerValues = std::array<float, kNumSoundParameters>;

void encodePresetImage(const PresetRecord& preset, int32_t uniqueId, uint8_t* image);
void encodeBankImage(const PresetBank& bank, int32_t uniqueId, uint8_t* image);
void encodeMidiImage(const ControllerValues& values, int32_t uniqueId, uint8_t* image);

// Decoding takes a whole image (a shorter file is zero-padded to the full size). An
// image whose id is this effect's with its bytes reversed comes from a machine of the
// other byte order and is read as such; reverse asks for one more reversal of every
// value. Another effect's id or another kind's tag answers false and writes nothing.
bool decodePresetImage(const uint8_t* image, int32_t uniqueId, bool reverse, PresetRecord& preset);
bool decodeBankImage(const uint8_t* image, int32_t uniqueId, bool reverse, PresetBank& bank);
bool decodeMidiImage(const uint8_t* image, int32_t uniqueId, bool reverse, ControllerValues& values);

}  // namespace ruvane
