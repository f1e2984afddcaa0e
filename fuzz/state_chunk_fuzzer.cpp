// The state chunk a host hands back: decoded on its own, then given to the effect as
// it came and as a chunk of the right size.
#include <cstring>
#include <memory>

#include "effect/plugin/state_chunk.h"
#include "fuzz_support.h"

using namespace ruvane;
using namespace ruvane::fuzz;

namespace {

std::vector<uint8_t> currentChunk(ZAV& zav) {
    void* data = nullptr;
    const VstInt32 size = zav.getChunk(&data);
    require(size == static_cast<VstInt32>(kStateChunkBytes) && data != nullptr, "the chunk has its size");
    const auto* bytes = static_cast<const uint8_t*>(data);
    return {bytes, bytes + size};
}

VstInt32 expectedAnswer(ChunkReadResult result) { return result == ChunkReadResult::Rejected ? -1 : 0; }

void giveChunk(ZAV& zav, std::vector<uint8_t> chunk) {
    auto state = std::make_unique<EffectState>();
    const ChunkReadResult result = readStateChunk(chunk.data(), chunk.size(), zav.getPluginId(), *state);
    if (chunk.size() != kStateChunkBytes) require(result == ChunkReadResult::Rejected, "a chunk of another size is rejected");

    auto before = std::make_unique<PresetBank>(zav.bank());
    const std::vector<uint8_t> stateBefore = currentChunk(zav);
    require(zav.setChunk(chunk.empty() ? nullptr : chunk.data(), static_cast<VstInt32>(chunk.size())) ==
                expectedAnswer(result),
            "setChunk answers as the chunk reads");
    if (result != ChunkReadResult::Accepted) {
        require(currentChunk(zav) == stateBefore, "a chunk not applied changes nothing");
    } else {
        for (int p = 0; p < kNumPresets; ++p)
            for (int i = 0; i < kNumSoundParameters; ++i)
                require(zav.bank()[p].values[i] == normalisedOr(state->bank[p].values[i], (*before)[p].values[i]),
                        "bank values are the chunk's, bounded");
        if (state->currentPreset >= 0 && state->currentPreset < kNumPresets)
            require(zav.getCurrentPreset() == state->currentPreset, "the chunk's preset is current");
    }
    checkInvariants();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    ZAV& zav = effect();
    giveChunk(zav, std::vector<uint8_t>(data, data + size));
    if (size != kStateChunkBytes) giveChunk(zav, imageOf(data, size, kStateChunkBytes));

    // What the effect gives out, it takes back unchanged.
    const std::vector<uint8_t> saved = currentChunk(zav);
    std::vector<uint8_t> copy = saved;
    require(zav.setChunk(copy.data(), static_cast<VstInt32>(copy.size())) == 0, "the effect's own chunk is accepted");
    require(currentChunk(zav) == saved, "a chunk survives saving and restoring unchanged");
    return 0;
}
