#include "adapter/wrapper_process.h"

#include <algorithm>
#include <thread>

#include "adapter/control_probe.h"
#include "adapter/framework/control_values.h"
#include "adapter/framework/host_engine_link.h"

namespace {
constexpr double kFallbackHostRate = 44100.0;
}

int32_t HostMaxRealTimeBlock(const CHostEngineLink& engine) {
    if (!engine.Gestalt(RUVANE_HOST_GESTALT_BLOCK_QUERY)) return kFallbackMaxBlock;
    const auto frames = engine.ValueByName(RUVANE_HOST_MAX_REALTIME_BLOCK);
    return frames && *frames >= 1 ? *frames : kFallbackMaxBlock;
}

CWrapperProcess::CWrapperProcess(const CProcessContext& context, const char* effectFile)
    : CEffectProcessMIDI(context), wrapper_(std::make_unique<CPluginWrapper>()) {
    wrapper_->SetCallback(this, this);
    wrapper_->LoadEffect(effectFile);
    wrapper_->GetChannelCount(&channelCount_);
    wrapper_->SetSampleRate(HostSampleRate() == 0.0 ? kFallbackHostRate : HostSampleRate());
    blockSize_ = HostMaxRealTimeBlock(Engine());
    wrapper_->SetBlockSize(blockSize_);
    wrapper_->Resume();
    BuildControls();
    latency_ = wrapper_->GetLatency();
    controlsReady_.store(true, std::memory_order_release);
}

CWrapperProcess::~CWrapperProcess() {
    controlsReady_.store(false, std::memory_order_release);  // the closing effect reaches no control
    while (inRender_.load(std::memory_order_acquire)) std::this_thread::yield();
    wrapper_.reset();
}

void CWrapperProcess::BuildControls() {
    DefineMasterBypassControlIndex(AddControl(MakeMasterBypassControl()));
    const int32_t parameters = std::min(wrapper_->GetParameterCount(), kMaxParameters);
    for (int32_t index = 0; index < parameters; ++index) AddControl(MakeParameterControl(*wrapper_, index));
}

void CWrapperProcess::Idle() {
    // The group has no idle work of its own; the host's idle reaches the editor directly.
}

void CWrapperProcess::Automate(int32_t index, float value) {
    if (!ControlsReady() || index < 0 || index >= wrapper_->GetParameterCount()) return;
    SetControlValue(index + kFirstParameterControl, ToControlValue(value, 0.0, 1.0));
}

void CWrapperProcess::UpdateDisplay() {
    if (!ControlsReady()) return;
    const int32_t parameters = std::min(wrapper_->GetParameterCount(), kMaxParameters);
    for (int32_t index = 0; index < parameters; ++index)
        SetControlValue(index + kFirstParameterControl, ToControlValue(wrapper_->GetParameter(index), 0.0, 1.0));
}

void CWrapperProcess::UpdateControlValue(int32_t index, int32_t value) {
    // Control 1, the master bypass, stays with the render path.
    if (index >= kFirstParameterControl)
        wrapper_->SetParameter(index - kFirstParameterControl, static_cast<float>(FromControlValue(value, 0.0, 1.0)));
}

void CWrapperProcess::SetSampleRate(double rate) {
    wrapper_->Suspend();
    wrapper_->SetSampleRate(rate == 0.0 ? kFallbackHostRate : rate);
    wrapper_->Resume();
}

int32_t CWrapperProcess::GetLatency(int32_t* latency) const {
    *latency = wrapper_->GetLatency();
    return 0;
}
