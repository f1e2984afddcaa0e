// Writes the fuzzers' seed corpus: valid images and state chunks of a fresh effect, in
// this machine's byte order and in the other one, plus a few near misses.
//   ruvane-fuzz-seeds <corpus folder>   (writes <folder>/<target>/<seed>)
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "effect/editor/editor.h"
#include "effect/plugin/byte_order.h"
#include "effect/plugin/state_chunk.h"
#include "effect/plugin/zav.h"

using namespace ruvane;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::size_t kRecordBytes = sizeof(PresetRecord);
constexpr std::size_t kImageBodyOffset = 5;
constexpr std::size_t kChunkBankOffset = 32;
constexpr std::size_t kChunkControllerOffset = kChunkBankOffset + kNumPresets * kRecordBytes;

void swapWord(Bytes& bytes, std::size_t offset) { storeWord(&bytes[offset], reverseBytes(loadWord(&bytes[offset]))); }

void swapRecordValues(Bytes& bytes, std::size_t recordOffset) {
    for (int i = 0; i < kNumSoundParameters; ++i) swapWord(bytes, recordOffset + kPresetNameBytes + 4 * i);
}

// The same image as a machine of the other byte order writes it.
Bytes otherOrderImage(Bytes image) {
    swapWord(image, 0);
    if (image.size() == kMidiImageBytes) {
        for (int i = 0; i < kNumSoundParameters; ++i) swapWord(image, kImageBodyOffset + 4 * i);
    } else {
        for (std::size_t offset = kImageBodyOffset; offset < image.size(); offset += kRecordBytes)
            swapRecordValues(image, offset);
    }
    return image;
}

Bytes otherOrderChunk(Bytes chunk) {
    for (std::size_t offset = 0; offset < kChunkBankOffset; offset += 4) swapWord(chunk, offset);
    for (int p = 0; p < kNumPresets; ++p) swapRecordValues(chunk, kChunkBankOffset + p * kRecordBytes);
    for (int i = 0; i < kNumSoundParameters; ++i) swapWord(chunk, kChunkControllerOffset + 4 * i);
    return chunk;
}

bool writeSeed(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

Bytes chunkOf(ZAV& effect) {
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return {bytes, bytes + size};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path corpus = argv[1];

    // The effect stores its remembered folder on destruction: keep that away from the user.
    std::string settings = (std::filesystem::temp_directory_path() / "ruvane-seeds-XXXXXX").string();
    if (::mkdtemp(settings.data()) == nullptr) return 1;
    ::setenv("XDG_CONFIG_HOME", settings.c_str(), 1);

    bool ok = true;
    {
        auto effect = std::make_unique<ZAV>(nullptr, [](ZAV& zav) { return new Editor(&zav); });
        auto& editor = dynamic_cast<Editor&>(*effect->getEditor());
        auto add = [&](const char* target, const std::string& name, const Bytes& bytes) {
            ok = writeSeed(corpus / target, name, bytes) && ok;
        };

        Bytes bank(kBankImageBytes);
        editor.writeBankImage(bank.data());
        add("bank_image", "factory-native", bank);
        add("bank_image", "factory-other-order", otherOrderImage(bank));

        for (const int preset : {0, 1, 17, 60}) {
            effect->loadPreset(preset);
            Bytes image(kPresetImageBytes);
            editor.writePresetImage(image.data());
            add("preset_image", "preset" + std::to_string(preset) + "-native", image);
            add("preset_image", "preset" + std::to_string(preset) + "-other-order", otherOrderImage(image));
        }

        Bytes midi(kMidiImageBytes);
        editor.writeMidiImage(midi.data());
        add("midi_image", "default-map-native", midi);
        add("midi_image", "default-map-other-order", otherOrderImage(midi));
        for (int i = 0; i < kNumSoundParameters; ++i)
            effect->setParameter(kNumSoundParameters + i, MidiControllerMap::encode(127 - i));
        editor.writeMidiImage(midi.data());
        add("midi_image", "moved-map-native", midi);

        effect->loadPreset(0);
        const Bytes chunk = chunkOf(*effect);
        add("state_chunk", "current0-native", chunk);
        add("state_chunk", "current0-other-order", otherOrderChunk(chunk));
        effect->loadPreset(33);
        const Bytes moved = chunkOf(*effect);
        add("state_chunk", "current33-native", moved);
        add("state_chunk", "current33-other-order", otherOrderChunk(moved));
        Bytes unknownMarker = chunk;
        storeWord(unknownMarker.data(), 0x02000000);
        add("state_chunk", "unknown-marker", unknownMarker);
        add("state_chunk", "one-byte-short", Bytes(chunk.begin(), chunk.end() - 1));

        // The adapter's "Complete State": Ruvane's chunk with the chunk-form trailer, and
        // small parameter-form blocks (one program of two values) with both tags.
        Bytes complete = chunk;
        for (int word = 0; word < 2; ++word) complete.insert(complete.end(), {0x00, 0x00, 0x30, 0x00});
        add("complete_state", "chunk-form", complete);
        Bytes parameters = {0, 0, 0, 2, 0, 0, 0, 1};
        const std::string name = "Seed program";
        parameters.insert(parameters.end(), name.begin(), name.end());
        parameters.resize(8 + 64, 0);
        parameters.insert(parameters.end(), {0x3f, 0x00, 0x00, 0x00, 0x3e, 0x80, 0x00, 0x00});  // 0.5, 0.25
        parameters.insert(parameters.end(), {0x00, 0x00, 0x20, 0x01, 0x00, 0x00, 0x00, 0x00});
        add("complete_state", "parameter-form", parameters);
        parameters[parameters.size() - 5] = 0x00;  // tag 0x2000, read like 0x2001
        add("complete_state", "parameter-form-older-tag", parameters);

        // "MIDI Connection Data": the block an instance writes, and the other two keys.
        auto connection = [](const std::string& key, uint8_t id) {
            Bytes block = {1, 1, 1, 1};
            block.insert(block.end(), key.begin(), key.end());
            block.resize(4 + (key.size() + 6) / 4 * 4, 0);
            block.insert(block.end(), {0, 0, 0, id});
            return block;
        };
        add("midi_connection", "instance-id", connection("l_Instance ID", 7));
        add("midi_connection", "node-id", connection("l_Node ID", 8));
        Bytes both = connection("f_Level", 0);
        const Bytes oms = connection("l_OMS Node ID", 9);
        both.insert(both.end(), oms.begin() + 4, oms.end());
        add("midi_connection", "float-then-oms", both);
    }
    std::error_code ignored;
    std::filesystem::remove_all(settings, ignored);
    return ok ? 0 : 1;
}
