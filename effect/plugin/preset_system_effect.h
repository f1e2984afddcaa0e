// The effect side of the preset system: the bank of 61 presets and the current one,
// the state chunk, and MIDI control of the sound parameters (controller map, learn,
// unassign, parameters 48..95). The host sees a single program; the bank travels in
// the chunk.
#pragma once

#include <atomic>
#include <vector>

#include "effect/plugin/editor_link.h"
#include "effect/plugin/midi_controller_map.h"
#include "effect/plugin/preset_record.h"
#include "vst/audioeffectx.h"

namespace ruvane {

struct EffectState;

class CPresetSystemEffect : public AudioEffectX {
public:
    static constexpr VstInt32 kNumParameters = 2 * kNumSoundParameters;
    // Learn target before any parameter was touched, and the target at construction.
    static constexpr int kNoLearnTarget = -1;
    static constexpr int kInitialLearnTarget = 999;

    CPresetSystemEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    ~CPresetSystemEffect() override;

    void resume() override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    VstInt32 getProgram() override { return 0; }
    void setProgram(VstInt32 /*program*/) override {}
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    VstInt32 getChunk(void** data, bool isPreset = false) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 processEvents(VstEvents* events) override;
    VstInt32 canDo(char* text) override;

    virtual int getCurrentPreset();
    virtual void loadPreset(int index);
    virtual void renameCurrentPreset(const char* name);
    virtual void assignCC(int parameter, int controller);
    virtual void clearParameterCC(int parameter);
    virtual void clearControllerCC(int controller);
    virtual int getParameterCC(int parameter);
    virtual int getControllerParameter(int controller);
    virtual void startLearn();
    virtual void stopLearn();
    virtual void setLearnTarget(int parameter);
    virtual void startUnassign();
    virtual void stopUnassign();
    virtual VstInt32 getPluginId();
    virtual void loadUserDefaults();
    virtual void initFactoryPresets();
    virtual void initDefaultCCMap();

    // For the editor's preset panel and files. Preset values are written by the host's
    // and the editor's thread and by MIDI on the audio thread, so they are stored and
    // read as relaxed atomics; the snapshots copy them that way.
    const PresetBank& bank() const { return bank_; }
    PresetBank bankSnapshot() const;
    PresetRecord presetSnapshot(int index) const;
    // Takes the name and the values of source into preset index; a NaN value keeps what
    // was there and the rest is limited to 0..1.
    void replacePreset(int index, const PresetRecord& source);
    bool isLearning() const { return learning_.load(std::memory_order_relaxed); }
    bool isUnassigning() const { return unassigning_.load(std::memory_order_relaxed); }
    int learnTarget() const { return learnTarget_.load(std::memory_order_relaxed); }
    static const char* controllerName(int index) { return MidiControllerMap::controllerName(index); }

protected:
    bool isLoadingPreset() const { return loadingPreset_.load(std::memory_order_relaxed); }
    void setEditorLink(EditorLink* link) { editorLink_ = link; }
    EditorLink* editorLink() const { return editorLink_; }
    // Applies a decoded chunk; answers as the host expects (0 or -1).
    VstInt32 applyState(const EffectState& state);

private:
    static int clampPreset(int index) { return index < 0 ? 0 : (index >= kNumPresets ? kNumPresets - 1 : index); }

    void storePresetValue(int preset, int index, float value);
    float presetValue(int preset, int index) const;

    PresetBank bank_{};
    std::atomic<int> currentPreset_{0};
    std::atomic<bool> loadingPreset_{false};
    MidiControllerMap controllers_;
    std::atomic<bool> learning_{false};
    std::atomic<int> learnTarget_{kInitialLearnTarget};
    std::atomic<bool> unassigning_{false};
    std::vector<uint8_t> chunk_;
    EditorLink* editorLink_ = nullptr;
};

}  // namespace ruvane
