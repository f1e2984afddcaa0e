// CPluginWrapper: loads the effect library, binds its AEffect, answers its audioMaster
// calls (host_callback.cpp) and wraps every call into the effect.
//
// Threads: Process runs on the host's audio thread, everything else on its main thread.
// They meet only through the atomic flags below, never through a lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adapter/midi_event_block.h"
#include "adapter/plugin_wrapper_callback.h"
#include "adapter/plugin_wrapper_interface.h"

// The effect library each instance loads, by bare file name beside wrapper.so.
inline constexpr char kEffectLibraryName[] = "Ruvane.so";
// The only message the adapter shows the user.
inline constexpr char kEffectLoadFailedText[] = "Plug-in core lib failed to load.";
// Rates outside this range are taken as 44100.
inline constexpr double kMinSampleRate = 15000.0;
inline constexpr double kMaxSampleRate = 200000.0;
inline constexpr double kFallbackSampleRate = 44100.0;
// Idle calls the editor is refreshed for after it opens or the state changes.
inline constexpr int32_t kRefreshAfterChange = 2;
// Parameters beyond this many get no host control and no host lock.
inline constexpr int32_t kMaxParameters = 1024;
// The editor window's class and title, as the window system shows them.
inline constexpr char kEditorWindowClass[] = "CPluginWrapperWindowClass2";
inline constexpr char kEditorWindowTitle[] = "PluginWindow";

class CPluginWrapper : public CPluginWrapperInterface {
public:
    CPluginWrapper();
    ~CPluginWrapper() override;
    CPluginWrapper(const CPluginWrapper&) = delete;
    CPluginWrapper& operator=(const CPluginWrapper&) = delete;

    void SetCallback(void* owner, CPluginWrapperCallback* callback) override;
    void LoadEffect(const char* fileName) override;
    void UnloadEffect() override;
    void GetEditorSize(int32_t* width, int32_t* height) override;
    void OpenEditor(EditorParentWindow parent) override;
    void CloseEditor() override;
    void GetChannelCount(int32_t* count) override;
    void SetSampleRate(double rate) override;
    void SetBlockSize(int32_t frames) override;
    int32_t GetBlockSize() override;
    int32_t GetParameterCount() override;
    float GetParameter(int32_t index) override;
    void GetParameterDisplay(int32_t index, std::string& text) override;
    void SetParameter(int32_t index, float value) override;
    void GetParameterName(int32_t index, std::string& text) override;
    void GetParameterLabel(int32_t index, std::string& text) override;
    void GetParameterDisplayText(int32_t index, std::string& text) override;
    void Resume() override;
    void Suspend() override;
    void QueueMidiEvent(const uint8_t bytes[4], int32_t sampleOffset) override;
    void Process(float** channels, int32_t frames, const CTransportRecord* transport) override;
    int32_t GetStateSize() override;
    void GetState(uint8_t* data) override;
    void SetState(const uint8_t* data, int32_t size) override;
    void Idle() override;
    void EditorMouse(int32_t x, int32_t y) override;
    void RedrawEditor() override;
    bool IsSynth() override;
    int32_t GetLatency() override;
    float RawGetParameter(int32_t index) override;
    void RawSetParameter(int32_t index, float value) override;
    void RawProcessReplacing(float** inputs, float** outputs, int32_t frames) override;
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    VstIntPtr DispatchEffect(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    VstTimeInfo* GetTimeInfo() override { return &timeInfo_; }
    void AllocateBuffers() override;
    void FreeBuffers() override;

    // What the effect's audioMaster calls do here.
    void EffectAutomates(VstInt32 index, float value);
    void EffectWantsIdle();
    void EffectUpdatesDisplay();
    VstIntPtr SampleRateAsInteger() const { return sampleRateInteger_.load(std::memory_order_relaxed); }

    bool HasEffect() const { return effect_.load(std::memory_order_acquire) != nullptr; }
    bool IsHostLocked(int32_t index) const;
    int32_t CurrentProgram() const { return currentProgram_.load(std::memory_order_relaxed); }
    int32_t RefreshCountdown() const { return refreshCountdown_.load(std::memory_order_relaxed); }
    bool EditorOpen() const { return editorOpen_.load(std::memory_order_relaxed); }
    // The child window in the host's window while the editor is open, else 0.
    unsigned long EditorWindow() const { return childWindow_; }
    // The state block written into at most capacity bytes; answers the bytes written.
    int32_t GetState(uint8_t* data, int32_t capacity);

    // What the editor window's events do (the window procedure): the window was asked to
    // close, or is already gone.
    void EditorWindowClosing(bool alreadyDestroyed);

private:
    bool InRange(int32_t index) const;
    void TextCall(VstInt32 opcode, int32_t index, std::string& text);
    void ReleaseLibrary();
    void SendQueuedMidi();
    int32_t ParameterStateSize() const;
    // The state block's two forms into exactly capacity bytes; 0 when it does not fit.
    int32_t WriteChunkState(uint8_t* data, int32_t capacity);
    int32_t WriteParameterState(uint8_t* data, int32_t capacity);
    void ReadParameterState(const uint8_t* data, int32_t size);
    // Raises the state-restore flag once no Process call runs; lowered by EndStateAccess.
    // While it is up, Process leaves the effect and the MIDI blocks alone.
    void BeginStateAccess();
    void EndStateAccess();
    ERect DefaultEditorRect() const;
    void DestroyEditorWindow(bool alreadyDestroyed);

    std::atomic<AEffect*> effect_{nullptr};
    void* library_ = nullptr;
    AEffect* (*entry_)(audioMasterCallback) = nullptr;
    AEffectDispatcherProc dispatcher_ = nullptr;
    AEffectProcessProc processReplacing_ = nullptr;
    AEffectSetParameterProc setParameter_ = nullptr;
    AEffectGetParameterProc getParameter_ = nullptr;

    std::atomic<bool> processing_{false};
    std::atomic<bool> stateRestoring_{false};
    std::atomic<bool> opened_{false};
    std::atomic<bool> editorOpen_{false};
    std::atomic<bool> resumed_{false};
    std::atomic<bool> libraryLoaded_{false};

    int32_t uniqueId_ = 0;
    int32_t numParams_ = 0;
    int32_t numInputs_ = 2;
    int32_t numOutputs_ = 2;
    int32_t channelCount_ = 2;
    std::unique_ptr<std::atomic<int32_t>[]> hostLocks_;

    // The time info the effect reads while it processes. Only Process writes it after
    // construction: it takes the sample rate from sampleRate_ at the start of each call,
    // so the main thread's rate changes never write what the effect is reading.
    VstTimeInfo timeInfo_{};
    std::atomic<double> sampleRate_{kFallbackSampleRate};
    std::atomic<VstIntPtr> sampleRateInteger_{static_cast<VstIntPtr>(kFallbackSampleRate)};
    int32_t blockSize_ = 0;
    // Read back from the effect on the main thread and, by its display updates, on
    // whichever thread the effect calls from.
    std::atomic<int32_t> currentProgram_{0};

    EditorParentWindow parentWindow_ = 0;
    unsigned long childWindow_ = 0;
    ERect editorRect_{};
    int32_t editorWidth_ = 0;
    int32_t editorHeight_ = 0;
    std::atomic<int32_t> refreshCountdown_{0};

    // Host MIDI for the effect: QueueMidiEvent fills the back block, Process swaps and
    // sends it. Both sides hold midiWriting_ while they touch the block pointers.
    CMidiEventBlock midiBlocks_[2];
    CMidiEventBlock* midiBack_ = &midiBlocks_[0];
    CMidiEventBlock* midiFront_ = &midiBlocks_[1];
    std::atomic<bool> midiWriting_{false};
    int32_t stateSizeAsked_ = 0;

    void* owner_ = nullptr;
    CPluginWrapperCallback* callback_ = nullptr;
    std::vector<std::vector<float>> workBuffers_;
};
