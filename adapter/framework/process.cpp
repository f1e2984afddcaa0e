#include "adapter/framework/process.h"

#include <algorithm>
#include <cstring>

#include "adapter/framework/big_endian.h"
#include "adapter/framework/effect_type.h"
#include "adapter/framework/host_engine_link.h"
#include "adapter/framework/process_group.h"

namespace {
constexpr int32_t kWordBytes = 4;
}

CProcess::CProcess(const CProcessContext& context) : context_(context) {
    chunks_.Add(kControlsChunkId, kControlsChunkName, kVariableChunkSize);
}

void CProcess::StoreControlValue(int32_t index, int32_t value) {
    if (CPluginControl* control = controls_.At(index)) control->StoreValue(value);
}

int32_t CProcess::ChunkSize(int32_t id) {
    if (!chunks_.Has(id)) return kHPErrorBadChunk;
    const int32_t data = ChunkDataSize(id);
    return data < 0 ? data : data + kChunkHeaderBytes;
}

int32_t CProcess::SaveChunk(int32_t id, uint8_t* chunk, int32_t size) {
    const int32_t expected = ChunkSize(id);
    if (expected < 0) return expected;
    if (!chunk || size != expected) return kHPErrorBadChunk;
    std::memset(chunk, 0, kChunkHeaderBytes);
    std::memcpy(chunk, &size, sizeof size);  // the header is the host's, in its own order
    return SaveChunkData(id, chunk + kChunkHeaderBytes, size - kChunkHeaderBytes);
}

int32_t CProcess::RestoreChunk(int32_t id, const uint8_t* chunk, int32_t size) {
    if (!chunks_.Has(id) || !chunk || size < kChunkHeaderBytes) return kHPErrorBadChunk;
    int32_t total = 0;
    std::memcpy(&total, chunk, sizeof total);
    if (total != size) return kHPErrorBadChunk;  // a header that disagrees with what arrived
    return RestoreChunkData(id, chunk + kChunkHeaderBytes, size - kChunkHeaderBytes);
}

// 'elck': the control count, then every control value, big-endian.
int32_t CProcess::ChunkDataSize(int32_t id) {
    if (id != kControlsChunkId) return kHPErrorBadChunk;
    return kWordBytes * (1 + controls_.Count());
}

int32_t CProcess::SaveChunkData(int32_t id, uint8_t* data, int32_t size) {
    if (id != kControlsChunkId) return kHPErrorBadChunk;
    const int32_t count = controls_.Count();
    if (size != kWordBytes * (1 + count)) return kHPErrorBadChunk;
    PutBigEndian32(data, static_cast<uint32_t>(count));
    for (int32_t index = 1; index <= count; ++index)
        PutBigEndian32(data + kWordBytes * index, static_cast<uint32_t>(controls_.At(index)->Value()));
    return 0;
}

int32_t CProcess::RestoreChunkData(int32_t id, const uint8_t* data, int32_t size) {
    if (id != kControlsChunkId) return kHPErrorBadChunk;
    // Values of another set of controls would land on the wrong ones: taken only whole.
    const int32_t count = controls_.Count();
    if (size != kWordBytes * (1 + count) || static_cast<int32_t>(ReadBigEndian32(data)) != count) return 0;
    for (int32_t index = 1; index <= count; ++index)
        StoreControlValue(index, static_cast<int32_t>(ReadBigEndian32(data + kWordBytes * index)));
    return 0;
}

int32_t CProcess::HostSetsControl(int32_t index, int32_t value) {
    CPluginControl* control = controls_.At(index);
    if (!control) return kHPErrorBadIndex;
    control->StoreValue(value);
    UpdateControlValue(index, value);
    return 0;
}

void CProcess::SetControlValue(int32_t index, int32_t value) {
    CPluginControl* control = controls_.At(index);
    if (!control) return;
    control->StoreValue(value);
    context_.engine->ControlChanged(context_.hostInstanceId, index, value);
}

bool CEffectProcess::IsMasterBypassed() const {
    auto* bypass = dynamic_cast<const CPluginControl_OnOff*>(Controls().At(bypassControl_));
    return bypass && bypass->IsOn(bypass->Value());
}

void CEffectProcess::BypassAudio(const float* const* inputs, float* const* outputs, int32_t frames) {
    const int32_t channels = Type().OutputChannels();
    for (int32_t channel = 0; channel < channels; ++channel) {
        const float* input = inputs[std::min(channel, Type().InputChannels() - 1)];
        if (outputs[channel] != input) std::memmove(outputs[channel], input, sizeof(float) * static_cast<std::size_t>(frames));
    }
}

int32_t CEffectProcess::GetLatency(int32_t* latency) const {
    *latency = 0;
    return 0;
}

namespace {
CEffectGroupMIDI* midiGroupOf(CProcessGroup* group) { return dynamic_cast<CEffectGroupMIDI*>(group); }
}  // namespace

CEffectProcessMIDI::~CEffectProcessMIDI() { ReleaseMidiNode(); }

bool CEffectProcessMIDI::RegisterMidiNode(const char* name, int32_t registration) {
    ReleaseMidiNode();
    auto node = Engine().RegisterMidiNode(name, registration);
    if (!node) return false;
    registeredNode_ = *node;
    nodeId_ = *node;
    if (auto* group = midiGroupOf(Group())) group->MidiNodeArriving(nodeId_);
    return true;
}

void CEffectProcessMIDI::ReleaseMidiNode() {
    if (registeredNode_ == 0) return;
    if (auto* group = midiGroupOf(Group())) group->MidiNodeLeaving(nodeId_);
    Engine().UnregisterMidiNode(registeredNode_);
    registeredNode_ = 0;
    nodeId_ = 0;
}

void CEffectProcessMIDI::RenameMidiNode(int32_t nodeId) {
    if (registeredNode_ == 0) return;
    if (auto* group = midiGroupOf(Group())) {
        group->MidiNodeLeaving(nodeId_);
        group->MidiNodeArriving(nodeId);
    }
    nodeId_ = nodeId;
}
