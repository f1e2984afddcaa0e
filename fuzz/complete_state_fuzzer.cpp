// "Complete State" as a host hands it back: restored into a wrapper hosting Ruvane.so,
// in both forms (chunk form and, for its tags, parameter form). Whatever arrives, the
// effect's parameters stay in range, and the state the wrapper gives out it takes back.
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "adapter/plugin_wrapper.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "complete_state: %s\n", what);
        std::abort();
    }
}

CPluginWrapper& wrapper() {
    static CPluginWrapper* hosted = [] {
        auto* made = new CPluginWrapper;  // kept for the whole run, like the host's instance
        made->LoadEffect(RUVANE_FUZZ_PLUGIN_PATH);
        require(made->HasEffect(), "Ruvane.so is bound");
        made->SetSampleRate(44100.0);
        made->SetBlockSize(512);
        made->Resume();
        return made;
    }();
    return *hosted;
}

std::vector<uint8_t> stateOf(CPluginWrapper& hosted) {
    std::vector<uint8_t> state(static_cast<std::size_t>(hosted.GetStateSize()));
    require(hosted.GetState(state.data(), static_cast<int32_t>(state.size())) == static_cast<int32_t>(state.size()),
            "the state fills the size it announced");
    return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CPluginWrapper& hosted = wrapper();
    // A copy of exactly the given size, so any read beyond it is caught.
    std::unique_ptr<uint8_t[]> block(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(block.get(), data, size);
    hosted.SetState(size ? block.get() : nullptr, static_cast<int32_t>(size));

    for (int32_t index = 0; index < hosted.GetParameterCount(); ++index) {
        const float value = hosted.GetParameter(index);
        require(std::isfinite(value) && value >= 0.0f && value <= 1.0f, "parameters stay in 0..1");
    }
    const std::vector<uint8_t> saved = stateOf(hosted);
    hosted.SetState(saved.data(), static_cast<int32_t>(saved.size()));
    require(stateOf(hosted) == saved, "the wrapper's own state survives restoring unchanged");
    return 0;
}
