#include "adapter/framework_entry.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "adapter/framework/host_error.h"
#include "adapter/module_state.h"
#include "adapter/wrapper_process.h"

namespace {

// Failures never cross into the host as exceptions: they become host error codes.
template <typename Call>
int32_t guarded(Call&& call) {
    try {
        return call();
    } catch (const CHostError& error) {
        return error.Code();
    } catch (const std::bad_alloc&) {
        return kHPErrorNoMemory;
    } catch (...) {
        return kHPErrorFramework;
    }
}

CProcessGroup* groupAt(int32_t index) {
    CProcessGroup* group = TheModule().Group();
    if (!group) throw CHostError(kHPErrorNotOpen);
    if (index != 0) throw CHostError(kHPErrorBadIndex);
    return group;
}

CEffectProcess& processOf(HPInstance* instance) {
    CProcessGroup* group = TheModule().Group();
    CEffectProcess* process = group ? group->FindProcess(instance) : nullptr;
    if (!process) throw CHostError(kHPErrorBadIndex);
    return *process;
}

CPluginControl& controlOf(HPInstance* instance, int32_t index) {
    CPluginControl* control = processOf(instance).Controls().At(index);
    if (!control) throw CHostError(kHPErrorBadIndex);
    return *control;
}

void copyText(const std::string& text, char* out, std::size_t size) {
    if (!out || size == 0) return;
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
}

int32_t groupCount() { return TheModule().Group() ? 1 : 0; }

int32_t getGroupInfo(int32_t group, HPGroupInfo* info) {
    return guarded([&] {
        if (!info) throw CHostError(kHPErrorBadIndex);
        groupAt(group)->Describe(*info);
        return 0;
    });
}

int32_t getTypeInfo(int32_t group, int32_t type, HPTypeInfo* info) {
    return guarded([&] {
        const CEffectType* effectType = groupAt(group)->TypeAt(type);
        if (!effectType || !info) throw CHostError(kHPErrorBadIndex);
        effectType->Describe(*info);
        return 0;
    });
}

int32_t createInstance(int32_t group, int32_t type, const HPInstanceSetup* setup, HPInstance** instance) {
    return guarded([&] {
        if (!setup || !instance) throw CHostError(kHPErrorBadIndex);
        *instance = nullptr;
        CEffectProcess* process = groupAt(group)->CreateProcess(type, setup->hostInstanceId, setup->sampleRate);
        *instance = reinterpret_cast<HPInstance*>(process);
        return 0;
    });
}

void destroyInstance(HPInstance* instance) {
    guarded([&] {
        if (CProcessGroup* group = TheModule().Group())
            if (CEffectProcess* process = group->FindProcess(instance)) group->DestroyProcess(process);
        return 0;
    });
}

int32_t controlCount(HPInstance* instance) {
    const int32_t result = guarded([&] { return processOf(instance).Controls().Count(); });
    return result < 0 ? 0 : result;
}

int32_t getControlInfo(HPInstance* instance, int32_t index, HPControlInfo* info) {
    return guarded([&] {
        const CPluginControl& control = controlOf(instance, index);
        if (!info) throw CHostError(kHPErrorBadIndex);
        *info = HPControlInfo{};
        copyText(control.MultiName(), info->multiName, sizeof info->multiName);
        copyText(control.ClassName(), info->className, sizeof info->className);
        copyText(control.UnitLabel(), info->unit, sizeof info->unit);
        info->kind = control.Kind();
        info->stateCount = control.StateCount();
        info->minimum = control.Minimum();
        info->maximum = control.Maximum();
        info->displayMinimum = control.DisplayMinimum();
        info->displayMaximum = control.DisplayMaximum();
        info->defaultValue = control.DefaultValue();
        info->automatable = control.IsAutomatable() ? 1 : 0;
        info->precision = control.DisplayPrecision();
        return 0;
    });
}

int32_t getControlValue(HPInstance* instance, int32_t index, int32_t* value) {
    return guarded([&] {
        if (!value) throw CHostError(kHPErrorBadIndex);
        *value = controlOf(instance, index).Value();
        return 0;
    });
}

int32_t setControlValue(HPInstance* instance, int32_t index, int32_t value) {
    return guarded([&] { return processOf(instance).HostSetsControl(index, value); });
}

int32_t getControlText(HPInstance* instance, int32_t index, int32_t value, char* text, int32_t size) {
    return guarded([&] {
        copyText(controlOf(instance, index).ValueText(value), text, size > 0 ? static_cast<std::size_t>(size) : 0);
        return 0;
    });
}

int32_t getBypassControl(HPInstance* instance, int32_t* control) {
    return guarded([&] {
        if (!control) throw CHostError(kHPErrorBadIndex);
        *control = processOf(instance).MasterBypassControlIndex();
        return 0;
    });
}

// The audio thread's call: the host vouches for the instance, so no lookup and no lock.
int32_t render(HPInstance* instance, const float* const* inputs, float* const* outputs, const float* sideChain,
               int32_t frames, const HPMidiEvent* events, int32_t eventCount, int32_t* produced) {
    if (produced) *produced = 0;
    if (!instance || !inputs || !outputs || frames < 0) return kHPErrorBadIndex;
    auto* process = reinterpret_cast<CEffectProcess*>(instance);
    auto* midi = dynamic_cast<CEffectProcessMIDI*>(process);
    if (midi) midi->SetBufferedMidi(events, eventCount);
    const int32_t written = process->RenderAudio(inputs, outputs, sideChain, frames, process->IsMasterBypassed());
    if (midi) midi->SetBufferedMidi(nullptr, 0);
    if (produced) *produced = written;
    return 0;
}

CWrapperProcess& wrapperProcessOf(HPInstance* instance) {
    auto* process = dynamic_cast<CWrapperProcess*>(&processOf(instance));
    if (!process) throw CHostError(kHPErrorBadIndex);
    return *process;
}

int32_t chunkCount(HPInstance* instance) {
    const int32_t result = guarded([&] { return static_cast<int32_t>(processOf(instance).Chunks().Chunks().size()); });
    return result < 0 ? 0 : result;
}

int32_t getChunkInfo(HPInstance* instance, int32_t index, HPChunkInfo* info) {
    return guarded([&] {
        const auto& chunks = processOf(instance).Chunks().Chunks();
        if (!info || index < 0 || index >= static_cast<int32_t>(chunks.size())) throw CHostError(kHPErrorBadIndex);
        const CChunkDescription& chunk = chunks[static_cast<std::size_t>(index)];
        *info = HPChunkInfo{};
        info->id = chunk.id;
        info->announcedSize = chunk.size;
        copyText(chunk.name, info->name, sizeof info->name);
        return 0;
    });
}

int32_t getChunkSize(HPInstance* instance, int32_t id, int32_t* size) {
    return guarded([&] {
        if (!size) throw CHostError(kHPErrorBadIndex);
        const int32_t total = processOf(instance).ChunkSize(id);
        if (total < 0) return total;
        *size = total;
        return 0;
    });
}

int32_t saveChunk(HPInstance* instance, int32_t id, void* chunk, int32_t size) {
    return guarded([&] { return processOf(instance).SaveChunk(id, static_cast<uint8_t*>(chunk), size); });
}

int32_t restoreChunk(HPInstance* instance, int32_t id, const void* chunk, int32_t size) {
    return guarded([&] { return processOf(instance).RestoreChunk(id, static_cast<const uint8_t*>(chunk), size); });
}

int32_t getViewRect(HPInstance* instance, HPViewRect* rect) {
    return guarded([&] {
        if (!rect) throw CHostError(kHPErrorBadIndex);
        wrapperProcessOf(instance).GetViewRect(*rect);
        return 0;
    });
}

int32_t openView(HPInstance* instance, unsigned long parent, int32_t viewMode) {
    return guarded([&] {
        wrapperProcessOf(instance).OpenView(parent, viewMode);
        return 0;
    });
}

int32_t closeView(HPInstance* instance) {
    return guarded([&] {
        wrapperProcessOf(instance).CloseView();
        return 0;
    });
}

int32_t idleView(HPInstance* instance) {
    return guarded([&] {
        wrapperProcessOf(instance).IdleView();
        return 0;
    });
}

int32_t getMidiNode(HPInstance* instance, int32_t* nodeId) {
    return guarded([&] {
        if (!nodeId) throw CHostError(kHPErrorBadIndex);
        auto* midi = dynamic_cast<CEffectProcessMIDI*>(&processOf(instance));
        *nodeId = midi && midi->HasMidiNode() ? midi->MidiNodeId() : 0;
        return 0;
    });
}

int32_t setSampleRate(HPInstance* instance, double rate) {
    return guarded([&] {
        processOf(instance).SetSampleRate(rate);
        return 0;
    });
}

int32_t getLatency(HPInstance* instance, int32_t* latency) {
    return guarded([&] {
        if (!latency) throw CHostError(kHPErrorBadIndex);
        return processOf(instance).GetLatency(latency);
    });
}

constexpr HPFrameworkInterface kFrameworkInterface = {
    groupCount,      getGroupInfo,    getTypeInfo,    createInstance,   destroyInstance,
    controlCount,    getControlInfo,  getControlValue, setControlValue, getControlText,
    getBypassControl, render,         setSampleRate,  getLatency,      chunkCount,
    getChunkInfo,    getChunkSize,    saveChunk,      restoreChunk,     getViewRect,
    openView,        closeView,       idleView,       getMidiNode,
};

}  // namespace

const HPFrameworkInterface* FrameworkEntry() { return &kFrameworkInterface; }
