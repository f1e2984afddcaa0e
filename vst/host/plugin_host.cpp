#include "vst/host/plugin_host.h"

#include <dlfcn.h>

#include <cstring>

namespace ruvane::vsthost {

namespace {

typedef AEffect* (*PluginEntry)(audioMasterCallback);

// Hosts give generous buffers; plug-ins that overrun the published limits still fit.
constexpr size_t kTextBufferBytes = 256;

// The instance whose entry call is running: the effect has no record to point back yet.
thread_local PluginInstance* instanceBeingCreated = nullptr;

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) {
    PluginInstance* instance = PluginInstance::forEffect(effect);
    if (instance == nullptr) instance = instanceBeingCreated;
    if (instance == nullptr) return opcode == audioMasterVersion ? kVstVersion : 0;
    return instance->answer(opcode, index, value, ptr, opt);
}

}  // namespace

PluginInstance* PluginInstance::forEffect(AEffect* effect) {
    return effect != nullptr ? reinterpret_cast<PluginInstance*>(effect->resvd1) : nullptr;
}

std::unique_ptr<PluginInstance> PluginInstance::load(const std::string& path, std::string* error,
                                                     HostState initialState) {
    auto fail = [&](const std::string& why) -> std::unique_ptr<PluginInstance> {
        if (error != nullptr) *error = why;
        return nullptr;
    };
    std::unique_ptr<PluginInstance> instance(new PluginInstance());
    instance->host_ = std::move(initialState);
    instance->library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (instance->library_ == nullptr) {
        const char* why = dlerror();
        return fail(why != nullptr ? why : "cannot load " + path);
    }
    auto entry = reinterpret_cast<PluginEntry>(dlsym(instance->library_, "VSTPluginMain"));
    if (entry == nullptr) entry = reinterpret_cast<PluginEntry>(dlsym(instance->library_, "main"));
    if (entry == nullptr) return fail(path + " exports no VST entry (VSTPluginMain or main)");

    instanceBeingCreated = instance.get();
    AEffect* effect = entry(hostCallback);
    instanceBeingCreated = nullptr;
    if (effect == nullptr) return fail(path + ": the plug-in entry returned no effect");
    if (effect->magic != kEffectMagic) return fail(path + ": the entry returned a record without the VST magic");
    effect->resvd1 = reinterpret_cast<VstIntPtr>(instance.get());
    instance->effect_ = effect;
    return instance;
}

PluginInstance::~PluginInstance() {
    if (effect_ != nullptr) effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
    if (library_ != nullptr) dlclose(library_);
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginInstance::start(double sampleRate, VstInt32 blockSize) {
    host_.sampleRate = sampleRate;
    host_.blockSize = blockSize;
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effSetBlockSize, 0, blockSize);
    resume();
}

void PluginInstance::process(float** inputs, float** outputs, VstInt32 frames) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

void PluginInstance::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                             VstInt32 frames) {
    float* inputs[2] = {const_cast<float*>(inLeft), const_cast<float*>(inRight)};
    float* outputs[2] = {outLeft, outRight};
    process(inputs, outputs, frames);
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index) {
    char buffer[kTextBufferBytes] = {};
    dispatch(opcode, index, 0, buffer);
    buffer[kTextBufferBytes - 1] = '\0';
    return buffer;
}

std::string PluginInstance::parameterName(VstInt32 index) { return text(effGetParamName, index); }
std::string PluginInstance::parameterLabel(VstInt32 index) { return text(effGetParamLabel, index); }
std::string PluginInstance::parameterDisplay(VstInt32 index) { return text(effGetParamDisplay, index); }
std::string PluginInstance::effectName() { return text(effGetEffectName, 0); }
std::string PluginInstance::vendorString() { return text(effGetVendorString, 0); }
std::string PluginInstance::productString() { return text(effGetProductString, 0); }
std::string PluginInstance::programName() { return text(effGetProgramName, 0); }

std::string PluginInstance::programNameIndexed(VstInt32 index, bool* ok) {
    char buffer[kTextBufferBytes] = {};
    const VstIntPtr answer = dispatch(effGetProgramNameIndexed, index, -1, buffer);
    if (ok != nullptr) *ok = answer != 0;
    buffer[kTextBufferBytes - 1] = '\0';
    return buffer;
}

VstInt32 PluginInstance::canDo(const std::string& what) {
    std::string copy = what;
    return static_cast<VstInt32>(dispatch(effCanDo, 0, 0, copy.data()));
}

std::vector<uint8_t> PluginInstance::getChunk() {
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr PluginInstance::setChunk(const void* data, VstInt32 size) {
    return dispatch(effSetChunk, 0, size, const_cast<void*>(data));
}

VstIntPtr PluginInstance::sendMidi(const std::vector<std::array<uint8_t, 3>>& messages) {
    std::vector<VstMidiEvent> midi(messages.size());
    std::vector<uint8_t> storage(sizeof(VstEvents) + messages.size() * sizeof(VstEvent*));
    auto* events = reinterpret_cast<VstEvents*>(storage.data());
    events->numEvents = static_cast<VstInt32>(messages.size());
    events->reserved = 0;
    // The record declares two slots; hosts allocate as many as they send.
    VstEvent** slots = events->events;
    for (size_t i = 0; i < messages.size(); ++i) {
        midi[i] = VstMidiEvent{};
        midi[i].type = kVstMidiType;
        midi[i].byteSize = sizeof(VstMidiEvent);
        for (int b = 0; b < 3; ++b) midi[i].midiData[b] = static_cast<char>(messages[i][b]);
        slots[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    }
    return dispatch(effProcessEvents, 0, 0, events);
}

VstIntPtr PluginInstance::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    const bool isEdit = opcode == audioMasterAutomate || opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit;
    if (isEdit && host_.editObserver) host_.editObserver(opcode, index, opcode == audioMasterAutomate ? opt : 0.0f);
    switch (opcode) {
        case audioMasterAutomate: host_.automation.emplace_back(index, opt); return 0;
        case audioMasterVersion: return host_.versionAnswer;
        case audioMasterCurrentId: return host_.currentId;
        case audioMasterPinConnected:
            // 0 means connected; only the second pin of each side can be missing.
            if (index == 1) return (value == 0 ? host_.inputRightConnected : host_.outputRightConnected) ? 0 : 1;
            return index == 0 ? 0 : 1;
        case audioMasterWantMidi: ++host_.wantMidiCalls; return 1;
        case audioMasterGetTime:
            if (!host_.timeInfoValid) return 0;
            host_.timeInfo.sampleRate = host_.sampleRate;
            return reinterpret_cast<VstIntPtr>(&host_.timeInfo);
        case audioMasterGetSampleRate: return static_cast<VstIntPtr>(host_.sampleRate);
        case audioMasterGetBlockSize: return host_.blockSize;
        case audioMasterGetOutputLatency: return host_.outputLatency;
        case audioMasterGetInputLatency: return 0;
        case audioMasterUpdateDisplay: ++host_.updateDisplayCalls; return 1;
        case audioMasterBeginEdit: ++host_.beginEditCalls; return 1;
        case audioMasterEndEdit: ++host_.endEditCalls; return 1;
        case audioMasterCanDo:
            return ptr != nullptr && host_.canDo.count(static_cast<const char*>(ptr)) != 0 ? 1 : 0;
        case audioMasterGetVendorString:
            if (ptr != nullptr) std::strcpy(static_cast<char*>(ptr), "Orvanta");
            return 1;
        case audioMasterGetProductString:
            if (ptr != nullptr) std::strcpy(static_cast<char*>(ptr), "Ruvane test host");
            return 1;
        case audioMasterGetCurrentProcessLevel: return 0;
        default: return 0;
    }
}

}  // namespace ruvane::vsthost
