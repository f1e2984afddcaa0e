// A small VST 2.4 host: loads a plug-in .so by path, calls its entry with our host
// callback, and drives it only through the AEffect record, as a real host does.
// Tests and the command-line tools use it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "vst/aeffect.h"

namespace ruvane::vsthost {

// What the host answers to the plug-in's callbacks, and what it has recorded.
struct HostState {
    VstIntPtr versionAnswer = kVstVersion;   // 0 makes the host unusable
    VstInt32 currentId = 0;
    double sampleRate = 44100.0;
    VstInt32 blockSize = 512;
    VstInt32 outputLatency = 0;
    bool timeInfoValid = true;
    VstTimeInfo timeInfo{};                  // flags say which fields are valid
    std::set<std::string> canDo{"sendVstMidiEvent", "sendVstTimeInfo", "receiveVstTimeInfo"};
    bool inputRightConnected = true;
    bool outputRightConnected = true;

    int wantMidiCalls = 0;
    int updateDisplayCalls = 0;
    int beginEditCalls = 0;
    int endEditCalls = 0;
    std::vector<std::pair<VstInt32, float>> automation;  // audioMasterAutomate calls

    // Told of every audioMasterBeginEdit, audioMasterAutomate and audioMasterEndEdit
    // (opcode, parameter index, value; value is 0 for the edits) as it arrives, on the
    // calling thread, which may be the audio thread.
    std::function<void(VstInt32 opcode, VstInt32 index, float value)> editObserver;
};

class PluginInstance {
public:
    // Loads the library at path and creates one instance; on failure returns null and
    // says why in *error. The state is what the host answers during the entry call too.
    static std::unique_ptr<PluginInstance> load(const std::string& path, std::string* error,
                                                HostState initialState = {});
    ~PluginInstance();  // closes the effect, then unloads the library
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* effect() const { return effect_; }
    HostState& host() { return host_; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    // The usual host sequence: open, sample rate, block size, resume.
    void start(double sampleRate, VstInt32 blockSize);
    void resume() { dispatch(effMainsChanged, 0, 1); }
    void suspend() { dispatch(effMainsChanged, 0, 0); }
    void process(float** inputs, float** outputs, VstInt32 frames);
    // Stereo convenience over separate channel buffers.
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, VstInt32 frames);

    void setParameter(VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }
    float getParameter(VstInt32 index) const { return effect_->getParameter(effect_, index); }
    std::string parameterName(VstInt32 index);
    std::string parameterLabel(VstInt32 index);
    std::string parameterDisplay(VstInt32 index);
    std::string effectName();
    std::string vendorString();
    std::string productString();
    std::string programName();
    std::string programNameIndexed(VstInt32 index, bool* ok = nullptr);
    VstInt32 canDo(const std::string& what);

    std::vector<uint8_t> getChunk();
    VstIntPtr setChunk(const void* data, VstInt32 size);
    VstIntPtr setChunk(const std::vector<uint8_t>& chunk) {
        return setChunk(chunk.data(), static_cast<VstInt32>(chunk.size()));
    }

    // Sends MIDI short messages (status, data1, data2), all at the block start.
    VstIntPtr sendMidi(const std::vector<std::array<uint8_t, 3>>& messages);

    // For callbacks: the host serving an effect.
    static PluginInstance* forEffect(AEffect* effect);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

private:
    PluginInstance() = default;
    std::string text(VstInt32 opcode, VstInt32 index);

    void* library_ = nullptr;
    AEffect* effect_ = nullptr;
    HostState host_;
};

}  // namespace ruvane::vsthost
