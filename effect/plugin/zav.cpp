#include "effect/plugin/zav.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "effect/engine/parameters.h"
#include "vst/aeffeditor.h"
#include "vst/vst_strings.h"

namespace ruvane {

namespace {

constexpr char kEffectName[] = "Ruvane";
constexpr char kVendorName[] = "orvantaaudio.com";
constexpr char kProductName[] = "Ruvane - vintage stereo delay & verb";
constexpr VstInt32 kNumChannels = 2;

}  // namespace

ZAV::ZAV(audioMasterCallback audioMaster, const EditorFactory& makeEditor)
    : CPresetSystemEffect(audioMaster, 1, kNumParameters) {
    std::lock_guard<std::recursive_timed_mutex> lock(engineLock_);
    setNumInputs(kNumChannels);
    setNumOutputs(kNumChannels);
    setUniqueID(kUniqueId);
    canProcessReplacing(true);
    curProgram = 0;
    engine_.setListener(this);
    // The editor object lives as long as the effect; its window opens on the host's request.
    if (makeEditor) setEditorLink(makeEditor(*this));
    loadUserDefaults();
    loadPreset(0);
    engine_.suspend();
}

ZAV::~ZAV() {
    std::lock_guard<std::recursive_timed_mutex> lock(engineLock_);
    engine_.setListener(nullptr);
    // The editor goes first: it may still speak to the effect while it is taken down.
    setEditorLink(nullptr);
    delete editor;
    editor = nullptr;
}

void ZAV::suspend() {
    std::unique_lock<std::recursive_timed_mutex> lock = takeEngineLock();
    if (!lock.owns_lock()) return;  // the engine keeps its state; the next resume settles it
    engine_.suspend();
}

void ZAV::resume() {
    CPresetSystemEffect::resume();
    std::unique_lock<std::recursive_timed_mutex> lock = takeEngineLock();
    if (!lock.owns_lock()) return;
    engine_.resume(getSampleRate(), getOutputLatency(), readHostTime(kVstTempoValid));
}

std::unique_lock<std::recursive_timed_mutex> ZAV::takeEngineLock() {
    // The deadline is on the system clock: that wait is pthread_mutex_timedlock, which
    // the thread sanitizer follows (the steady-clock variant it does not see).
    return std::unique_lock<std::recursive_timed_mutex>(engineLock_,
                                                        std::chrono::system_clock::now() + kEngineLockTimeout);
}

HostTime ZAV::readHostTime(VstInt32 request) {
    HostTime time;
    const VstTimeInfo* info = getTimeInfo(request);
    if (info == nullptr) return time;
    if ((info->flags & kVstTempoValid) != 0 && std::isfinite(info->tempo)) {
        time.tempoValid = true;
        time.tempoBpm = info->tempo;
    }
    if ((info->flags & kVstPpqPosValid) != 0 && std::isfinite(info->ppqPos)) {
        time.positionValid = true;
        time.ppqPosition = info->ppqPos;
    }
    return time;
}

void ZAV::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (inputs == nullptr || outputs == nullptr || inputs[0] == nullptr || outputs[0] == nullptr) return;
    const VstInt32 frames = std::max<VstInt32>(sampleFrames, 0);
    std::unique_lock<std::recursive_timed_mutex> lock = takeEngineLock();
    if (!lock.owns_lock()) {
        passInputThrough(inputs, outputs, frames);
        return;
    }
    const float* inRight = inputs[1] != nullptr && isInputConnected(1) ? inputs[1] : inputs[0];
    float* outRight = outputs[1] != nullptr && isOutputConnected(1) ? outputs[1] : nullptr;
    engine_.process(inputs[0], inRight, outputs[0], outRight, frames,
                    readHostTime(kVstTempoValid | kVstPpqPosValid));
}

void ZAV::passInputThrough(float** inputs, float** outputs, VstInt32 sampleFrames) {
    for (int channel = 0; channel < kNumChannels; ++channel) {
        const float* in = inputs[channel] != nullptr ? inputs[channel] : inputs[0];
        if (outputs[channel] != nullptr && outputs[channel] != in)
            std::memmove(outputs[channel], in, static_cast<size_t>(sampleFrames) * sizeof(float));
    }
}

void ZAV::setParameter(VstInt32 index, float value) {
    const std::optional<float> normalised = normalisedValue(value);
    if (index < 0 || index >= kNumParameters || !normalised) return;
    value = *normalised;
    if (index == kRvbType) {
        std::unique_lock<std::recursive_timed_mutex> lock = takeEngineLock();
        if (!lock.owns_lock()) return;  // dropped whole, so engine, editor and preset agree
        engine_.setParameter(index, value);
    } else if (index < kNumSoundParameters) {
        engine_.setParameter(index, value);
    }
    if (editorLink() != nullptr) editorLink()->parameterChanged(index, value);
    if (!isLoadingPreset()) CPresetSystemEffect::setParameter(index, value);
}

float ZAV::getParameter(VstInt32 index) {
    if (index >= 0 && index < kNumSoundParameters) return engine_.getParameter(index);
    return CPresetSystemEffect::getParameter(index);
}

void ZAV::getParameterLabel(VstInt32 index, char* label) { parameterLabel(index, label); }

void ZAV::getParameterDisplay(VstInt32 index, char* text) { parameterDisplay(engine_, index, text); }

void ZAV::getParameterName(VstInt32 index, char* text) { parameterName(index, text); }

bool ZAV::getParameterProperties(VstInt32 index, VstParameterProperties* properties) {
    return parameterProperties(index, properties);
}

void ZAV::getDisplayReading(int index, DisplayReading& reading) const { displayReading(engine_, index, reading); }

VstInt32 ZAV::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
    if (editorLink() != nullptr) editorLink()->setLinkChannels(false);
    const VstInt32 result = CPresetSystemEffect::setChunk(data, byteSize, isPreset);
    if (editorLink() != nullptr) editorLink()->setLinkChannels(areChannelsLinked());
    return result;
}

void ZAV::loadPreset(int index) {
    if (editorLink() != nullptr) editorLink()->setLinkChannels(false);
    CPresetSystemEffect::loadPreset(index);
    engine_.updateTempoSync(kSyncAll);
    if (editorLink() != nullptr) editorLink()->setLinkChannels(areChannelsLinked());
}

bool ZAV::getEffectName(char* name) {
    vst_strncpy(name, kEffectName, kVstMaxEffectNameLen);
    return true;
}

bool ZAV::getVendorString(char* text) {
    vst_strncpy(text, kVendorName, kVstMaxVendorStrLen);
    return true;
}

bool ZAV::getProductString(char* text) {
    vst_strncpy(text, kProductName, kVstMaxProductStrLen);
    return true;
}

void ZAV::setTempoNormalised(float normalised) {
    if (const std::optional<float> tempo = normalisedValue(normalised)) engine_.setTempoNormalised(*tempo);
}

float ZAV::getTempoNormalised() { return engine_.getTempoNormalised(); }

void ZAV::tempoChanged(float bpm) {
    if (editorLink() != nullptr) editorLink()->tempoChanged(bpm);
}

}  // namespace ruvane
