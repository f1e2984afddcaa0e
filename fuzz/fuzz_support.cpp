#include "fuzz_support.h"

#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace ruvane::fuzz {

namespace {

std::filesystem::path& settingsFolder() {
    static std::filesystem::path folder;
    return folder;
}

void removeSettingsFolder() {
    std::error_code ignored;
    if (!settingsFolder().empty()) std::filesystem::remove_all(settingsFolder(), ignored);
}

// Stored user defaults of the person running the fuzzer must neither shape the effect
// nor be touched by it.
void usePrivateSettings() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ruvane-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    settingsFolder() = pattern;
    ::setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    std::atexit(removeSettingsFolder);
}

bool isNormalised(float value) { return std::isfinite(value) && value >= 0.0f && value <= 1.0f; }

}  // namespace

ZAV& effect() {
    // Made once and never destroyed: the run is one long life of one instance.
    static ZAV* instance = [] {
        usePrivateSettings();
        return new ZAV(nullptr, [](ZAV& zav) { return new Editor(&zav); });
    }();
    return *instance;
}

Editor& editor() {
    auto* found = dynamic_cast<Editor*>(effect().getEditor());
    require(found != nullptr, "the effect has its editor");
    return *found;
}

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void checkInvariants() {
    ZAV& zav = effect();
    for (int i = 0; i < CPresetSystemEffect::kNumParameters; ++i)
        require(isNormalised(zav.getParameter(i)), "parameter value finite and in 0..1");
    for (const PresetRecord& record : zav.bank())
        for (const float value : record.values) require(isNormalised(value), "bank value finite and in 0..1");
    const int current = zav.getCurrentPreset();
    require(current >= 0 && current < kNumPresets, "current preset in range");

    for (int p = 0; p < kNumSoundParameters; ++p) {
        const int controller = zav.getParameterCC(p);
        require(controller == MidiControllerMap::kNone || (controller >= 0 && controller < 128),
                "a parameter's controller is a controller or none");
        require(MidiControllerMap::decode(zav.getParameter(kNumSoundParameters + p)) == controller,
                "controller value names the parameter's controller");
        if (controller != MidiControllerMap::kNone)
            require(zav.getControllerParameter(controller) == p, "controller drives the parameter back");
    }
    for (int c = 0; c < MidiControllerMap::kNumControllers; ++c) {
        const int parameter = zav.getControllerParameter(c);
        if (parameter == MidiControllerMap::kNone) continue;
        require(parameter >= 0 && parameter < kNumSoundParameters, "a controller drives a sound parameter");
        require(zav.getParameterCC(parameter) == c, "parameter names the controller back");
    }
}

void requireImageRoundTrip(std::size_t imageBytes, void (Editor::*write)(uint8_t*),
                           bool (Editor::*read)(const uint8_t*, bool)) {
    Editor& ed = editor();
    std::vector<uint8_t> written(imageBytes), again(imageBytes);
    (ed.*write)(written.data());
    require((ed.*read)(written.data(), false), "the effect's own image is accepted");
    (ed.*write)(again.data());
    require(written == again, "an image survives writing and reading unchanged");
}

std::vector<uint8_t> imageOf(const uint8_t* data, std::size_t size, std::size_t imageBytes) {
    std::vector<uint8_t> image(imageBytes, 0);
    if (size > 0) std::memcpy(image.data(), data, size < imageBytes ? size : imageBytes);
    return image;
}

}  // namespace ruvane::fuzz
