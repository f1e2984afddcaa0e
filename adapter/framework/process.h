// Processes: one per plug-in instance in the host. CProcess holds the host controls
// and the chunk list and carries control values both ways; CEffectProcess adds audio
// (render, bypass, sample rate, latency); CEffectProcessMIDI adds the MIDI node.
#pragma once

#include <cstdint>
#include <memory>

#include "adapter/framework/chunk_list.h"
#include "adapter/framework/control_list.h"

class CHostEngineLink;
class CEffectType;

// What a creator is given for a new instance.
struct CProcessContext {
    const CHostEngineLink* engine = nullptr;
    const CEffectType* type = nullptr;
    uint64_t hostInstanceId = 0;
    double sampleRate = 0.0;  // 0 when the host leaves it to the process
};

class CProcess {
public:
    explicit CProcess(const CProcessContext& context);
    virtual ~CProcess() = default;
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    const CControlList& Controls() const { return controls_; }
    CChunkList& Chunks() { return chunks_; }
    const CHostEngineLink& Engine() const { return *context_.engine; }
    const CEffectType& Type() const { return *context_.type; }
    double HostSampleRate() const { return context_.sampleRate; }

    // The host writes control index: stored, then handed to UpdateControlValue.
    int32_t HostSetsControl(int32_t index, int32_t value);
    // The plug-in side changed control index: stored and reported to the host.
    void SetControlValue(int32_t index, int32_t value);

protected:
    int32_t AddControl(std::unique_ptr<CPluginControl> control) { return controls_.Add(std::move(control)); }
    // What a host change of a control does beyond storing it.
    virtual void UpdateControlValue(int32_t /*index*/, int32_t /*value*/) {}

private:
    CProcessContext context_;
    CControlList controls_;
    CChunkList chunks_;
};

class CEffectProcess : public CProcess {
public:
    using CProcess::CProcess;

    void DefineMasterBypassControlIndex(int32_t index) { bypassControl_ = index; }
    int32_t MasterBypassControlIndex() const { return bypassControl_; }
    bool IsMasterBypassed() const;

    // One render call of the host: per-channel buffers of the type's layout, an optional
    // side chain, frames samples.
    virtual void RenderAudio(const float* const* inputs, float* const* outputs, const float* sideChain,
                             int32_t frames, bool bypassed) = 0;
    // The framework's plain pass-through, for hosts that bypass the process itself.
    virtual void BypassAudio(const float* const* inputs, float* const* outputs, int32_t frames);
    virtual void SetSampleRate(double /*rate*/) {}
    // 0 and the latency in samples, or a result code for "not known".
    virtual int32_t GetLatency(int32_t* latency) const;

private:
    int32_t bypassControl_ = 0;
};

class CEffectProcessMIDI : public CEffectProcess {
public:
    using CEffectProcess::CEffectProcess;
    ~CEffectProcessMIDI() override;

    bool HasMidiNode() const { return midiNode_ != 0; }
    int32_t MidiNodeId() const { return midiNode_; }

protected:
    // Registers a MIDI input node named name with the engine; false when refused.
    bool RegisterMidiNode(const char* name, int32_t registration);
    void ReleaseMidiNode();

private:
    int32_t midiNode_ = 0;
};
