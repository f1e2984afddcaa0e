// The effect: the delay engine behind the VST face, with the preset system and MIDI
// control inherited from CPresetSystemEffect. The engine lock (recursive, waited at
// most one second) serialises processing, resume, suspend and reverb-type changes;
// every other parameter change is a set of single atomic stores into the engine.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>

#include "effect/engine/delay_engine.h"
#include "effect/plugin/parameter_text.h"
#include "effect/plugin/preset_system_effect.h"

namespace ruvane {

class ZAV : public CPresetSystemEffect, private EngineListener {
public:
    static constexpr VstInt32 kUniqueId = fourCharCode('R', 'V', '7', 'S');
    static constexpr std::chrono::milliseconds kEngineLockTimeout{1000};

    // Creates the effect's editor object, which registers itself with the effect.
    using EditorFactory = std::function<EditorLink*(ZAV&)>;

    ZAV(audioMasterCallback audioMaster, const EditorFactory& makeEditor);
    ~ZAV() override;

    void suspend() override;
    void resume() override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) override;
    bool getParameterProperties(VstInt32 index, VstParameterProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    void loadPreset(int index) override;

    // Editor-facing operations.
    virtual void setTempoNormalised(float normalised);
    virtual float getTempoNormalised();
    void getDisplayReading(int index, DisplayReading& reading) const;
    bool isSyncValueOutOfRange(int target) const { return engine_.isSyncValueOutOfRange(target); }
    bool areChannelsLinked() const { return engine_.areChannelsLinked(); }
    InputPeaks getInputPeaks() { return engine_.takeInputPeaks(); }

protected:
    // What a block does when the lock cannot be had in time: the dry input passes.
    void passInputThrough(float** inputs, float** outputs, VstInt32 sampleFrames);
    std::recursive_timed_mutex& engineLock() { return engineLock_; }

private:
    void tempoChanged(float bpm) override;
    // Waits at most kEngineLockTimeout; the lock is not owned when that ran out.
    std::unique_lock<std::recursive_timed_mutex> takeEngineLock();
    HostTime readHostTime(VstInt32 request);

    std::recursive_timed_mutex engineLock_;
    DelayEngine engine_;
};

}  // namespace ruvane
