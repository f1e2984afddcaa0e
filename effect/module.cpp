// Placeholder entry until the effect class lands.
#include "vst/aeffect.h"
extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) { return nullptr; }
