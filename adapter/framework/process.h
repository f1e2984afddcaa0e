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
class CProcessGroup;

// What a creator is given for a new instance.
struct CProcessContext {
    const CHostEngineLink* engine = nullptr;
    const CEffectType* type = nullptr;
    uint64_t hostInstanceId = 0;
    double sampleRate = 0.0;  // 0 when the host leaves it to the process
    CProcessGroup* group = nullptr;  // the group that made the process, when there is one
};

// The framework's own chunk: every host control value.
inline constexpr int32_t kControlsChunkId = 0x656c636b;  // 'elck'
inline constexpr char kControlsChunkName[] = "Complete Controls State";

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
    CProcessGroup* Group() const { return context_.group; }
    double HostSampleRate() const { return context_.sampleRate; }

    // The host's project state, chunk by chunk. A chunk is the 56-byte header, whose
    // first field is the total size, followed by the chunk's data.
    // Total size of chunk id as it would be saved now; a host error code when unknown.
    int32_t ChunkSize(int32_t id);
    // Writes chunk id into chunk (size bytes, as ChunkSize answered); 0 or an error code.
    int32_t SaveChunk(int32_t id, uint8_t* chunk, int32_t size);
    // Restores chunk id from chunk (size bytes, header included); 0 or an error code.
    int32_t RestoreChunk(int32_t id, const uint8_t* chunk, int32_t size);

    // The host writes control index: stored, then handed to UpdateControlValue.
    int32_t HostSetsControl(int32_t index, int32_t value);
    // The plug-in side changed control index: stored and reported to the host.
    void SetControlValue(int32_t index, int32_t value);

protected:
    int32_t AddControl(std::unique_ptr<CPluginControl> control) { return controls_.Add(std::move(control)); }
    // What a host change of a control does beyond storing it.
    virtual void UpdateControlValue(int32_t /*index*/, int32_t /*value*/) {}
    // Stores a control value without passing it on to either side.
    void StoreControlValue(int32_t index, int32_t value);
    // The data of the process's own chunks; the framework answers for 'elck'.
    // Data size of chunk id, or a negative host error code for an unknown id.
    virtual int32_t ChunkDataSize(int32_t id);
    virtual int32_t SaveChunkData(int32_t id, uint8_t* data, int32_t size);
    virtual int32_t RestoreChunkData(int32_t id, const uint8_t* data, int32_t size);

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
    // side chain, frames samples. Answers how many output samples it wrote.
    virtual int32_t RenderAudio(const float* const* inputs, float* const* outputs, const float* sideChain,
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

    bool HasMidiNode() const { return registeredNode_ != 0; }
    // The node's identity, which a restored project may give it anew.
    int32_t MidiNodeId() const { return nodeId_; }

    // The events the host's node buffered for the render call about to run; they stay
    // valid for that call only.
    void SetBufferedMidi(const HPMidiEvent* events, int32_t count) {
        bufferedMidi_ = events;
        bufferedMidiCount_ = events && count > 0 ? count : 0;
    }

protected:
    // Registers a MIDI input node named name with the engine; false when refused.
    bool RegisterMidiNode(const char* name, int32_t registration);
    void ReleaseMidiNode();
    // The node takes the identity nodeId; the group's MIDI list learns of the change.
    void RenameMidiNode(int32_t nodeId);
    const HPMidiEvent* BufferedMidi() const { return bufferedMidi_; }
    int32_t BufferedMidiCount() const { return bufferedMidiCount_; }

private:
    int32_t registeredNode_ = 0;
    int32_t nodeId_ = 0;
    const HPMidiEvent* bufferedMidi_ = nullptr;
    int32_t bufferedMidiCount_ = 0;
};
