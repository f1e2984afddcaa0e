#include "effect/editor/preset_images.h"

#include <cstring>

#include "effect/plugin/byte_order.h"

namespace ruvane {

namespace {

constexpr std::size_t kIdOffset = 0;
constexpr std::size_t kTagOffset = 4;
constexpr std::size_t kBodyOffset = 5;
constexpr std::size_t kValueBytes = sizeof(float);

static_assert(kBodyOffset + sizeof(PresetRecord) == kPresetImageBytes);
static_assert(kBodyOffset + kNumPresets * sizeof(PresetRecord) == kBankImageBytes);
static_assert(kBodyOffset + kNumSoundParameters * kValueBytes == kMidiImageBytes);

void writeHeader(uint8_t* image, int32_t uniqueId, uint8_t tag) {
    storeWord(image + kIdOffset, static_cast<uint32_t>(uniqueId));
    image[kTagOffset] = tag;
}

// The byte order in which the image's values have to be read, or false when the image
// is not one of ours of this kind.
bool readHeader(const uint8_t* image, int32_t uniqueId, uint8_t tag, bool reverse, bool& reversed) {
    const std::optional<bool> swapped = isReversedId(loadWord(image + kIdOffset), static_cast<uint32_t>(uniqueId));
    if (!swapped || image[kTagOffset] != tag) return false;
    reversed = *swapped != reverse;
    return true;
}

}  // namespace

void encodePresetImage(const PresetRecord& preset, int32_t uniqueId, uint8_t* image) {
    writeHeader(image, uniqueId, kPresetImageTag);
    writePresetRecord(preset, image + kBodyOffset);
}

void encodeBankImage(const PresetBank& bank, int32_t uniqueId, uint8_t* image) {
    writeHeader(image, uniqueId, kBankImageTag);
    for (std::size_t p = 0; p < bank.size(); ++p) writePresetRecord(bank[p], image + kBodyOffset + p * sizeof(PresetRecord));
}

void encodeMidiImage(const ControllerValues& values, int32_t uniqueId, uint8_t* image) {
    writeHeader(image, uniqueId, kMidiImageTag);
    for (std::size_t i = 0; i < values.size(); ++i) storeFloat(image + kBodyOffset + i * kValueBytes, values[i]);
}

bool decodePresetImage(const uint8_t* image, int32_t uniqueId, bool reverse, PresetRecord& preset) {
    bool reversed = false;
    if (!readHeader(image, uniqueId, kPresetImageTag, reverse, reversed)) return false;
    readPresetRecord(image + kBodyOffset, reversed, preset);
    return true;
}

bool decodeBankImage(const uint8_t* image, int32_t uniqueId, bool reverse, PresetBank& bank) {
    bool reversed = false;
    if (!readHeader(image, uniqueId, kBankImageTag, reverse, reversed)) return false;
    for (std::size_t p = 0; p < bank.size(); ++p)
        readPresetRecord(image + kBodyOffset + p * sizeof(PresetRecord), reversed, bank[p]);
    return true;
}

bool decodeMidiImage(const uint8_t* image, int32_t uniqueId, bool reverse, ControllerValues& values) {
    bool reversed = false;
    if (!readHeader(image, uniqueId, kMidiImageTag, reverse, reversed)) return false;
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = loadFloat(image + kBodyOffset + i * kValueBytes, reversed);
    return true;
}

}  // namespace ruvane
