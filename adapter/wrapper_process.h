// CWrapperProcess: one plug-in instance in the host. It owns the CPluginWrapper that
// hosts the effect, builds the host controls from the effect's parameters and keeps
// them in step both ways. CWrapperRiloProcess (rilo_process.h, real-time types) and
// CWrapperOLPProcess (offline_process.h, offline type) add the render paths.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "adapter/framework/process.h"
#include "adapter/midi_parse.h"
#include "adapter/plugin_wrapper.h"
#include "adapter/plugin_wrapper_callback.h"

// The host's maximum real-time block, or this when it does not say.
inline constexpr int32_t kFallbackMaxBlock = 32;

// What the host engine answers for the maximum real-time block.
int32_t HostMaxRealTimeBlock(const CHostEngineLink& engine);

class CWrapperProcess : public CEffectProcessMIDI, public MidiParse, public CPluginWrapperCallback {
public:
    // effectFile is the effect library's bare name; tests may give a path.
    explicit CWrapperProcess(const CProcessContext& context, const char* effectFile = kEffectLibraryName);
    ~CWrapperProcess() override;

    CPluginWrapper& Wrapper() { return *wrapper_; }
    int32_t ChannelCount() const { return channelCount_; }
    int32_t BlockSize() const { return blockSize_; }
    bool ControlsReady() const { return controlsReady_.load(std::memory_order_acquire); }

    // CPluginWrapperCallback
    void Idle() override;
    void Automate(int32_t index, float value) override;
    void UpdateDisplay() override;

    // CEffectProcess
    void SetSampleRate(double rate) override;
    int32_t GetLatency(int32_t* latency) const override;

protected:
    void UpdateControlValue(int32_t index, int32_t value) override;

    // Render paths raise this for their duration; destruction waits until it is clear.
    std::atomic<bool> inRender_{false};
    int32_t latency_ = 0;

private:
    void BuildControls();

    std::unique_ptr<CPluginWrapper> wrapper_;
    int32_t channelCount_ = 2;
    int32_t blockSize_ = kFallbackMaxBlock;
    std::atomic<bool> controlsReady_{false};
};
