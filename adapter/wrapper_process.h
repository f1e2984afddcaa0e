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
// Length of each work array and bypass ring, in samples.
inline constexpr int32_t kWorkLength = 65536;
// The adapter's chunks in the host's project.
inline constexpr int32_t kStateChunkId = 0x416c6c20;  // 'All '
inline constexpr char kStateChunkName[] = "Complete State";
inline constexpr int32_t kMidiChunkId = 0x6d696469;  // 'midi'
inline constexpr char kMidiChunkName[] = "MIDI Connection Data";
// How the instance's MIDI node is registered with the host engine.
inline constexpr int32_t kMidiNodeRegistration = 0xffff;
// What the host is told of the view before the effect is asked.
inline constexpr int32_t kViewSizeAsked = 330;

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

    int32_t ViewMode() const override { return viewMode_; }

    // CEffectProcess
    void SetSampleRate(double rate) override;
    int32_t GetLatency(int32_t* latency) const override;

    // The view in the host's plug-in window (all on the host's window thread).
    void GetViewRect(HPViewRect& rect);
    void OpenView(unsigned long parent, int32_t viewMode);
    void CloseView();
    void IdleView();

protected:
    void UpdateControlValue(int32_t index, int32_t value) override;
    int32_t ChunkDataSize(int32_t id) override;
    int32_t SaveChunkData(int32_t id, uint8_t* data, int32_t size) override;
    int32_t RestoreChunkData(int32_t id, const uint8_t* data, int32_t size) override;

    // Fills work 0, 1 and the shared side-chain array from the host's buffers at offset.
    void FillWork(const float* left, const float* right, const float* sideChain, int32_t offset, int32_t count);
    // Hands the buffered MIDI of samples [from, from + count) of a call of total samples
    // to the wrapper, with offsets relative to from: each event reaches the effect in the
    // block that holds its sample.
    void ForwardMidi(int32_t from, int32_t count, int32_t total);
    // Process on the work arrays.
    void ProcessWork(int32_t count);

    // Render paths raise this for their duration; destruction waits until it is clear.
    std::atomic<bool> inRender_{false};
    int32_t latency_ = 0;
    std::unique_ptr<float[]> work0_, work1_, workSideChain_;
    std::unique_ptr<float[]> ringLeft_, ringRight_;
    uint16_t ringWrite_ = 0;
    uint16_t ringRead_ = 0;

private:
    void BuildControls();

    std::unique_ptr<CPluginWrapper> wrapper_;
    int32_t channelCount_ = 2;
    int32_t blockSize_ = kFallbackMaxBlock;
    std::atomic<bool> controlsReady_{false};
    int32_t viewMode_ = 0;
};
