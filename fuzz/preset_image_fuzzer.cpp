// Preset images (.zav, MemoA/B, DefaultPreset): decoded and applied to the current preset.
// A byte past the image, when there is one, chooses which preset is current first.
#include <cstring>

#include "fuzz_support.h"

using namespace ruvane;
using namespace ruvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    ZAV& zav = effect();
    Editor& ed = editor();
    if (size > kPresetImageBytes) zav.loadPreset(data[kPresetImageBytes] % kNumPresets);
    const std::vector<uint8_t> image = imageOf(data, size, kPresetImageBytes);

    for (const bool reverse : {false, true}) {
        PresetRecord decoded{};
        const bool decodable = decodePresetImage(image.data(), zav.getPluginId(), reverse, decoded);
        const int current = zav.getCurrentPreset();
        const PresetRecord before = zav.bank()[current];
        require(ed.readPresetImage(image.data(), reverse) == decodable, "preset accepted exactly when decodable");
        require(zav.getCurrentPreset() == current, "a preset load keeps the current index");
        const PresetRecord& after = zav.bank()[current];
        for (int i = 0; i < kNumSoundParameters; ++i) {
            const float expected = decodable ? normalisedOr(decoded.values[i], before.values[i]) : before.values[i];
            require(after.values[i] == expected, "preset values are the image's, bounded");
        }
        if (decodable)
            require(strncmp(after.name, decoded.name, kPresetNameBytes) == 0, "preset name is the image's");
        else
            require(std::memcmp(after.name, before.name, kPresetNameBytes) == 0, "a rejected preset keeps its name");
        checkInvariants();
    }

    requireImageRoundTrip(kPresetImageBytes, &Editor::writePresetImage, &Editor::readPresetImage);
    return 0;
}
