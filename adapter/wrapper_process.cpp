#include "adapter/wrapper_process.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "adapter/control_probe.h"
#include "adapter/framework/control_values.h"
#include "adapter/framework/effect_type.h"
#include "adapter/framework/host_engine_link.h"
#include "adapter/framework/process_group.h"
#include "adapter/midi_connection_data.h"
#include "adapter/spin_wait.h"

namespace {
constexpr double kFallbackHostRate = 44100.0;
constexpr std::size_t kMidiNodeNameLength = 63;

std::unique_ptr<float[]> workArray() { return std::make_unique<float[]>(kWorkLength); }
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
    blockSize_ = std::min(HostMaxRealTimeBlock(Engine()), kWorkLength);  // what the work arrays hold
    wrapper_->SetBlockSize(blockSize_);
    wrapper_->Resume();
    BuildControls();
    work0_ = workArray();
    work1_ = workArray();
    workSideChain_ = workArray();
    ringLeft_ = workArray();
    ringRight_ = workArray();
    // The rings hold at most kWorkLength - 1 samples of delay. That clamped latency is
    // the one compensated (bypass rings, the offline first pass) and the one reported.
    latency_ = std::clamp(wrapper_->GetLatency(), 0, kWorkLength - 1);
    ringRead_ = static_cast<uint16_t>((kWorkLength - latency_) % kWorkLength);
    ringWrite_ = 0;
    controlsReady_.store(true, std::memory_order_release);
    Chunks().Add(kStateChunkId, kStateChunkName, wrapper_->GetStateSize());
    Chunks().Add(kMidiChunkId, kMidiChunkName, kVariableChunkSize);
    RegisterMidiNode(Type().Name().substr(0, kMidiNodeNameLength).c_str(), kMidiNodeRegistration);
}

CWrapperProcess::~CWrapperProcess() {
    controlsReady_.store(false, std::memory_order_release);  // the closing effect reaches no control
    SpinUntilClear(inRender_);
    wrapper_.reset();
    ReleaseMidiNode();
}

void CWrapperProcess::FillWork(const float* left, const float* right, const float* sideChain, int32_t offset,
                               int32_t count) {
    const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(count);
    std::memcpy(work0_.get(), left + offset, bytes);
    std::memcpy(work1_.get(), right + offset, bytes);
    if (sideChain)
        std::memcpy(workSideChain_.get(), sideChain + offset, bytes);
    else
        std::memset(workSideChain_.get(), 0, bytes);
}

void CWrapperProcess::ForwardMidi(int32_t from, int32_t count, int32_t total) {
    const HPMidiEvent* events = BufferedMidi();
    for (int32_t i = 0; i < BufferedMidiCount(); ++i) {
        // Offsets outside the call belong to its first or last sample.
        const int32_t offset = std::clamp(events[i].sampleOffset, 0, std::max(total - 1, 0));
        if (total == 0 || (offset >= from && offset < from + count))
            wrapper_->QueueMidiEvent(events[i].bytes, offset - from);
    }
}

void CWrapperProcess::ProcessWork(int32_t count) {
    // Work 2 and work 3 share one array: the side chain reaches both.
    float* channels[] = {work0_.get(), work1_.get(), workSideChain_.get(), workSideChain_.get()};
    wrapper_->Process(channels, count, nullptr);
}

void CWrapperProcess::BuildControls() {
    DefineMasterBypassControlIndex(AddControl(MakeMasterBypassControl()));
    const int32_t parameters = std::min(wrapper_->GetParameterCount(), kMaxParameters);
    // Probing moves every parameter through its range. Restoring each value is not enough
    // for an effect whose parameters bound one another (a delay range clamps its delay
    // time), so the whole state is taken first and given back after.
    std::vector<uint8_t> before(static_cast<std::size_t>(std::max(wrapper_->GetStateSize(), 0)));
    const int32_t saved = wrapper_->GetState(before.data(), static_cast<int32_t>(before.size()));
    for (int32_t index = 0; index < parameters; ++index) AddControl(MakeParameterControl(*wrapper_, index));
    if (saved > 0) wrapper_->SetState(before.data(), saved);
    // The controls start from the values the effect holds now.
    for (int32_t index = 0; index < parameters; ++index)
        StoreControlValue(index + kFirstParameterControl, ToControlValue(wrapper_->GetParameter(index), 0.0, 1.0));
}

void CWrapperProcess::Idle() {
    // The effect asks for idle time: the group passes the request on to the host.
    if (CProcessGroup* group = Group()) group->RequestIdle();
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
    if (!wrapper_) {
        *latency = 0;
        return 1;
    }
    *latency = latency_;
    return 0;
}

int32_t CWrapperProcess::ChunkDataSize(int32_t id) {
    if (id == kStateChunkId) return wrapper_->GetStateSize();
    if (id == kMidiChunkId) return static_cast<int32_t>(WriteMidiConnectionData(HasMidiNode(), MidiNodeId()).size());
    return CEffectProcessMIDI::ChunkDataSize(id);
}

int32_t CWrapperProcess::SaveChunkData(int32_t id, uint8_t* data, int32_t size) {
    if (id == kStateChunkId) {
        std::memset(data, 0, static_cast<std::size_t>(size));
        wrapper_->GetState(data, size);
        return 0;
    }
    if (id == kMidiChunkId) {
        const std::vector<uint8_t> block = WriteMidiConnectionData(HasMidiNode(), MidiNodeId());
        if (static_cast<int32_t>(block.size()) != size) return kHPErrorBadChunk;
        std::memcpy(data, block.data(), block.size());
        return 0;
    }
    return CEffectProcessMIDI::SaveChunkData(id, data, size);
}

int32_t CWrapperProcess::RestoreChunkData(int32_t id, const uint8_t* data, int32_t size) {
    if (id == kStateChunkId) {
        wrapper_->SetState(data, size);
        UpdateDisplay();  // the controls show the restored values
        return 0;
    }
    if (id == kMidiChunkId) {
        const auto nodeId = FindMidiNodeId(data, size);
        if (!nodeId || !HasMidiNode()) return kHPErrorMidiConnection;
        RenameMidiNode(*nodeId);
        return 0;
    }
    return CEffectProcessMIDI::RestoreChunkData(id, data, size);
}

void CWrapperProcess::GetViewRect(HPViewRect& rect) {
    int32_t width = kViewSizeAsked, height = kViewSizeAsked;
    wrapper_->GetEditorSize(&width, &height);
    rect = HPViewRect{0, 0, height, width};
}

void CWrapperProcess::OpenView(unsigned long parent, int32_t viewMode) {
    viewMode_ = viewMode;
    wrapper_->OpenEditor(parent);
}

void CWrapperProcess::CloseView() { wrapper_->CloseEditor(); }

void CWrapperProcess::IdleView() { wrapper_->Idle(); }
