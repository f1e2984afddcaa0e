// The adapter's VST 2.4 host for one instance, as the process sees it. Operations are
// declared in the order of their slots; every one that needs the effect does nothing
// (or answers 0) while no effect is bound.
#pragma once

#include <cstdint>
#include <string>

#include "vst/aeffect.h"

class CPluginWrapperCallback;

// The host's parent window for the editor (an X11 window id).
using EditorParentWindow = unsigned long;

// Transport a render path may hand to Process: tempo, playing state and position in
// ticks of 1/960000 quarter note.
struct CTransportRecord {
    double tempo = 120.0;
    uint8_t playing = 0;
    int64_t position = 0;
};

inline constexpr int32_t kPositionTicksPerQuarter = 960000;

class CPluginWrapperInterface {
public:
    virtual ~CPluginWrapperInterface() = default;
    virtual void SetCallback(void* owner, CPluginWrapperCallback* callback) = 0;
    virtual void LoadEffect(const char* fileName) = 0;
    virtual void UnloadEffect() = 0;
    virtual void GetEditorSize(int32_t* width, int32_t* height) = 0;
    virtual void OpenEditor(EditorParentWindow parent) = 0;
    virtual void CloseEditor() = 0;
    virtual void GetChannelCount(int32_t* count) = 0;
    virtual void SetSampleRate(double rate) = 0;
    virtual void SetBlockSize(int32_t frames) = 0;
    virtual int32_t GetBlockSize() = 0;
    virtual int32_t GetParameterCount() = 0;
    virtual float GetParameter(int32_t index) = 0;
    virtual void GetParameterDisplay(int32_t index, std::string& text) = 0;
    virtual void SetParameter(int32_t index, float value) = 0;
    virtual void GetParameterName(int32_t index, std::string& text) = 0;
    virtual void GetParameterLabel(int32_t index, std::string& text) = 0;
    virtual void GetParameterDisplayText(int32_t index, std::string& text) = 0;  // same as GetParameterDisplay
    virtual void Resume() = 0;
    virtual void Suspend() = 0;
    virtual void QueueMidiEvent(const uint8_t bytes[4], int32_t sampleOffset) = 0;
    virtual void Process(float** channels, int32_t frames, const CTransportRecord* transport) = 0;
    virtual int32_t GetStateSize() = 0;
    virtual void GetState(uint8_t* data) = 0;
    virtual void SetState(const uint8_t* data, int32_t size) = 0;
    virtual void Idle() = 0;
    virtual void EditorMouse(int32_t x, int32_t y) = 0;  // accepted, does nothing
    virtual void RedrawEditor() = 0;
    virtual bool IsSynth() = 0;
    virtual int32_t GetLatency() = 0;
    virtual float RawGetParameter(int32_t index) = 0;
    virtual void RawSetParameter(int32_t index, float value) = 0;
    virtual void RawProcessReplacing(float** inputs, float** outputs, int32_t frames) = 0;
    virtual VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) = 0;
    virtual VstIntPtr DispatchEffect(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) = 0;
    virtual VstTimeInfo* GetTimeInfo() = 0;
    virtual void AllocateBuffers() = 0;
    virtual void FreeBuffers() = 0;
};
