// Bank images (.zvb, DefaultBank): decoded and applied to the whole bank.
#include <cstring>
#include <memory>

#include "fuzz_support.h"

using namespace ruvane;
using namespace ruvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    ZAV& zav = effect();
    Editor& ed = editor();
    if (size > kBankImageBytes) zav.loadPreset(data[kBankImageBytes] % kNumPresets);
    const std::vector<uint8_t> image = imageOf(data, size, kBankImageBytes);

    auto decoded = std::make_unique<PresetBank>();
    auto before = std::make_unique<PresetBank>();
    for (const bool reverse : {false, true}) {
        const bool decodable = decodeBankImage(image.data(), zav.getPluginId(), reverse, *decoded);
        *before = zav.bank();
        require(ed.readBankImage(image.data(), reverse) == decodable, "bank accepted exactly when decodable");
        require(zav.getCurrentPreset() == 0, "a bank load makes preset 0 current");
        for (int p = 0; p < kNumPresets; ++p) {
            const PresetRecord& was = (*before)[p];
            const PresetRecord& now = zav.bank()[p];
            const PresetRecord& source = decodable ? (*decoded)[p] : was;
            require(std::memcmp(now.name, source.name, kPresetNameBytes) == 0, "bank names are the image's");
            for (int i = 0; i < kNumSoundParameters; ++i)
                require(now.values[i] == (decodable ? normalisedOr(source.values[i], was.values[i]) : was.values[i]),
                        "bank values are the image's, bounded");
        }
        checkInvariants();
    }

    requireImageRoundTrip(kBankImageBytes, &Editor::writeBankImage, &Editor::readBankImage);
    return 0;
}
