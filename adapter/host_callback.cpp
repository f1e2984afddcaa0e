#include "adapter/host_callback.h"

#include <cstring>

#include "adapter/plugin_wrapper.h"

namespace {

struct CanDoEntry {
    const char* text;
    VstIntPtr reply;
};

// Searched in order; the null entry ends it.
constexpr CanDoEntry kCanDoTable[] = {
    {"sendVstEvents", 1},     {"sendVstMidiEvent", 1},        {"sendVstTimeInfo", 1},
    {"receiveVstEvents", 0},  {"receiveVstMidiEvent", 0},     {"receiveVstTimeInfo", 0},
    {"reportConnectionChanges", 0}, {"acceptIOChanges", 0},   {"sizeWindow", 1},
    {"asyncProcessing", 0},   {"offline", 0},                 {"supplyIdle", 1},
    {"supportShell", 0},      {nullptr, 0},
};

constexpr VstIntPtr kHostVersionAnswer = 2;
constexpr VstInt32 kHostCurrentId = fourCharCode('R', 'V', '7', 'S');
constexpr VstIntPtr kSampleRateWithoutWrapper = 44100;
constexpr VstIntPtr kBlockSizeWithoutWrapper = 1024;
constexpr char kVendorString[] = "Orvanta";
constexpr char kProductString[] = "Vst2Rilo";

CPluginWrapper* wrapperOf(AEffect* effect) {
    return effect ? reinterpret_cast<CPluginWrapper*>(effect->resvd1) : nullptr;
}

}  // namespace

VstIntPtr CanDoReply(const char* text) {
    if (!text) return 0;
    for (const CanDoEntry* entry = kCanDoTable; entry->text; ++entry)
        if (std::strcmp(entry->text, text) == 0) return entry->reply;
    return 0;
}

VstIntPtr AudioMaster(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    (void)value;
    CPluginWrapper* wrapper = wrapperOf(effect);
    switch (opcode) {
        case audioMasterAutomate:
            if (wrapper) wrapper->EffectAutomates(index, opt);
            return 0;
        case audioMasterVersion: return kHostVersionAnswer;
        case audioMasterCurrentId: return kHostCurrentId;
        case audioMasterIdle:
            if (wrapper) wrapper->EffectWantsIdle();
            return 0;
        case audioMasterPinConnected: return index == 0 || index == 1 ? 0 : 1;
        case audioMasterGetTime: return wrapper ? reinterpret_cast<VstIntPtr>(wrapper->GetTimeInfo()) : 0;
        case audioMasterGetSampleRate: return wrapper ? wrapper->SampleRateAsInteger() : kSampleRateWithoutWrapper;
        case audioMasterGetBlockSize: return wrapper ? wrapper->GetBlockSize() : kBlockSizeWithoutWrapper;
        case audioMasterGetVendorString:
            if (ptr) std::memcpy(ptr, kVendorString, sizeof kVendorString);
            return 0;
        case audioMasterGetProductString:
            if (ptr) std::memcpy(ptr, kProductString, sizeof kProductString);
            return 0;
        case audioMasterVendorSpecific: return 1;
        case audioMasterCanDo: return CanDoReply(static_cast<const char*>(ptr));
        case audioMasterUpdateDisplay:
            if (wrapper) wrapper->EffectUpdatesDisplay();
            return 0;
        default: return 0;  // among them ProcessEvents, SizeWindow, BeginEdit and EndEdit
    }
}
