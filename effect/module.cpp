// Ruvane.so: the VST entry point, exported as VSTPluginMain and as main. It puts the
// effect together with its editor.
#include <new>

#include "effect/editor/editor.h"
#include "effect/plugin/zav.h"

namespace {

bool hostIsUsable(audioMasterCallback audioMaster) {
    return audioMaster != nullptr && audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) != 0;
}

AEffect* createEffect(audioMasterCallback audioMaster) {
    if (!hostIsUsable(audioMaster)) return nullptr;
    // Creating the instance asks the host once more, as hosts expect of this entry.
    if (!hostIsUsable(audioMaster)) return nullptr;
    try {
        auto* effect = new ruvane::ZAV(audioMaster, [](ruvane::ZAV& zav) { return new ruvane::Editor(&zav); });
        return effect->getAeffect();
    } catch (const std::exception&) {
        return nullptr;  // out of memory: the host gets no effect
    }
}

}  // namespace

#define RUVANE_EXPORT extern "C" __attribute__((visibility("default")))

RUVANE_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) { return createEffect(audioMaster); }

// Older hosts look for the entry under the name main.
RUVANE_EXPORT AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) __asm__("main");
RUVANE_EXPORT AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) { return createEffect(audioMaster); }
