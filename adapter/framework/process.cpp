#include "adapter/framework/process.h"

#include <algorithm>
#include <cstring>

#include "adapter/framework/effect_type.h"
#include "adapter/framework/host_engine_link.h"

CProcess::CProcess(const CProcessContext& context) : context_(context) {}

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

CEffectProcessMIDI::~CEffectProcessMIDI() { ReleaseMidiNode(); }

bool CEffectProcessMIDI::RegisterMidiNode(const char* name, int32_t registration) {
    ReleaseMidiNode();
    auto node = Engine().RegisterMidiNode(name, registration);
    if (!node) return false;
    midiNode_ = *node;
    return true;
}

void CEffectProcessMIDI::ReleaseMidiNode() {
    if (midiNode_ != 0) Engine().UnregisterMidiNode(midiNode_);
    midiNode_ = 0;
}
