#include "effect/plugin/state_chunk.h"

#include <cstring>

#include "effect/plugin/byte_order.h"

namespace ruvane {

namespace {

constexpr std::size_t kMarkerOffset = 0;
constexpr std::size_t kIdOffset = 4;
constexpr std::size_t kCountOffset = 8;
constexpr std::size_t kCurrentOffset = 12;
constexpr std::size_t kBankOffset = 32;
constexpr std::size_t kControllerOffset = kBankOffset + kNumPresets * sizeof(PresetRecord);
static_assert(kControllerOffset == 13208);
static_assert(kControllerOffset + kNumSoundParameters * sizeof(float) == kStateChunkBytes);

}  // namespace

void writeStateChunk(const EffectState& state, int32_t uniqueId, uint8_t* chunk) {
    std::memset(chunk, 0, kStateChunkBytes);
    storeWord(chunk + kMarkerOffset, kStateChunkMarker);
    storeWord(chunk + kIdOffset, static_cast<uint32_t>(uniqueId));
    storeWord(chunk + kCountOffset, kNumPresets);
    storeWord(chunk + kCurrentOffset, static_cast<uint32_t>(state.currentPreset));
    for (int p = 0; p < kNumPresets; ++p)
        writePresetRecord(state.bank[static_cast<size_t>(p)], chunk + kBankOffset + p * sizeof(PresetRecord));
    for (int i = 0; i < kNumSoundParameters; ++i)
        storeFloat(chunk + kControllerOffset + i * sizeof(float), state.controllerValues[i]);
}

ChunkReadResult readStateChunk(const uint8_t* chunk, std::size_t size, int32_t uniqueId, EffectState& state) {
    if (chunk == nullptr || size != kStateChunkBytes) return ChunkReadResult::Rejected;
    const std::optional<bool> isReversed = isReversedId(loadWord(chunk + kIdOffset), static_cast<uint32_t>(uniqueId));
    if (!isReversed) return ChunkReadResult::Rejected;
    const bool reversed = *isReversed;

    auto word = [&](std::size_t offset) {
        const uint32_t value = loadWord(chunk + offset);
        return reversed ? reverseBytes(value) : value;
    };
    if (word(kMarkerOffset) != kStateChunkMarker) return ChunkReadResult::UnknownFormat;
    if (word(kCountOffset) != static_cast<uint32_t>(kNumPresets)) return ChunkReadResult::Rejected;

    state.currentPreset = static_cast<int32_t>(word(kCurrentOffset));
    for (int p = 0; p < kNumPresets; ++p)
        readPresetRecord(chunk + kBankOffset + p * sizeof(PresetRecord), reversed, state.bank[static_cast<size_t>(p)]);
    for (int i = 0; i < kNumSoundParameters; ++i)
        state.controllerValues[i] = loadFloat(chunk + kControllerOffset + i * sizeof(float), reversed);
    return ChunkReadResult::Accepted;
}

}  // namespace ruvane
