// MIDI-settings images (.zvm, DefaultMidi): decoded and applied to the controller map.
#include <cmath>

#include "fuzz_support.h"

using namespace ruvane;
using namespace ruvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    ZAV& zav = effect();
    Editor& ed = editor();
    const std::vector<uint8_t> image = imageOf(data, size, kMidiImageBytes);

    for (const bool reverse : {false, true}) {
        ControllerValues decoded{};
        const bool decodable = decodeMidiImage(image.data(), zav.getPluginId(), reverse, decoded);
        require(ed.readMidiImage(image.data(), reverse) == decodable, "MIDI settings accepted exactly when decodable");
        checkInvariants();
        if (!decodable) continue;
        // A parameter left without a controller cannot lose it to a later one, and
        // the last parameter's value is never taken over: both keep the image's value.
        for (int i = 0; i < kNumSoundParameters; ++i) {
            if (std::isnan(decoded[i])) continue;
            const float value = normalisedOr(decoded[i], 0.0f);
            if (i == kNumSoundParameters - 1 || MidiControllerMap::decode(value) == MidiControllerMap::kNone)
                require(zav.getParameter(kNumSoundParameters + i) == value, "controller value is the image's");
        }
    }

    requireImageRoundTrip(kMidiImageBytes, &Editor::writeMidiImage, &Editor::readMidiImage);
    return 0;
}
