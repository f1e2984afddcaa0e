#include "effect/plugin/preset_system_effect.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "effect/plugin/factory_presets.h"
#include "effect/plugin/state_chunk.h"
#include "vst/vst_strings.h"

namespace ruvane {

namespace {

constexpr uint8_t kStatusMask = 0xF0;
constexpr uint8_t kControlChange = 0xB0;
constexpr int kMaxMidiValue = 127;

constexpr auto relaxed = std::memory_order_relaxed;

void copyName(char (&destination)[kPresetNameBytes], const char* name) {
    const size_t length = strnlen(name, kPresetNameBytes);
    std::memset(destination, 0, kPresetNameBytes);
    std::memcpy(destination, name, length);
}

}  // namespace

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster, VstInt32 numPrograms,
                                         VstInt32 numParams)
    : AudioEffectX(audioMaster, numPrograms, numParams), chunk_(kStateChunkBytes) {
    programsAreChunks(true);
    initFactoryPresets();
    initDefaultCCMap();
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

void CPresetSystemEffect::resume() { wantEvents(1); }

void CPresetSystemEffect::storePresetValue(int preset, int index, float value) {
    std::atomic_ref<float>(bank_[static_cast<size_t>(preset)].values[index]).store(value, relaxed);
}

float CPresetSystemEffect::presetValue(int preset, int index) const {
    // The bank is only ever written through atomic stores of whole values.
    return std::atomic_ref<float>(const_cast<float&>(bank_[static_cast<size_t>(preset)].values[index])).load(relaxed);
}

PresetRecord CPresetSystemEffect::presetSnapshot(int index) const {
    const int preset = clampPreset(index);
    PresetRecord record;
    std::memcpy(record.name, bank_[static_cast<size_t>(preset)].name, kPresetNameBytes);
    for (int i = 0; i < kNumSoundParameters; ++i) record.values[i] = presetValue(preset, i);
    return record;
}

PresetBank CPresetSystemEffect::bankSnapshot() const {
    PresetBank snapshot;
    for (int p = 0; p < kNumPresets; ++p) snapshot[static_cast<size_t>(p)] = presetSnapshot(p);
    return snapshot;
}

void CPresetSystemEffect::replacePreset(int index, const PresetRecord& source) {
    if (index < 0 || index >= kNumPresets) return;
    std::memcpy(bank_[static_cast<size_t>(index)].name, source.name, kPresetNameBytes);
    for (int i = 0; i < kNumSoundParameters; ++i)
        storePresetValue(index, i, normalisedOr(source.values[i], presetValue(index, i)));
}

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
    if (index >= 0 && index < kNumSoundParameters) {
        if (!isLoadingPreset()) storePresetValue(currentPreset_.load(relaxed), index, value);
        if (isLearning()) learnTarget_.store(index, std::memory_order_relaxed);
        if (isUnassigning()) {
            clearParameterCC(index);
            stopUnassign();
        }
    } else if (index >= kNumSoundParameters && index < kNumParameters) {
        controllers_.setValue(index - kNumSoundParameters, value);
    }
}

float CPresetSystemEffect::getParameter(VstInt32 index) {
    if (index >= 0 && index < kNumSoundParameters) return presetValue(currentPreset_.load(relaxed), index);
    if (index >= kNumSoundParameters && index < kNumParameters) return controllers_.value(index - kNumSoundParameters);
    return 0.0f;
}

void CPresetSystemEffect::setProgramName(char* name) {
    renameCurrentPreset(name);
    if (editorLink_ != nullptr) editorLink_->presetRenamed();
}

void CPresetSystemEffect::getProgramName(char* name) {
    std::memcpy(name, bank_[static_cast<size_t>(currentPreset_.load(relaxed))].name, kPresetNameBytes);
    name[kPresetNameBytes] = '\0';
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    if (index < 0 || index >= kNumPresets) return false;
    std::memcpy(text, bank_[static_cast<size_t>(index)].name, kPresetNameBytes);
    text[kPresetNameBytes] = '\0';
    return true;
}

VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
    auto state = std::make_unique<EffectState>();
    state->bank = bankSnapshot();
    state->currentPreset = currentPreset_.load(relaxed);
    for (int i = 0; i < kNumSoundParameters; ++i) state->controllerValues[i] = controllers_.value(i);
    writeStateChunk(*state, cEffect.uniqueID, chunk_.data());
    *data = chunk_.data();
    return static_cast<VstInt32>(kStateChunkBytes);
}

VstInt32 CPresetSystemEffect::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
    if (data == nullptr || byteSize != static_cast<VstInt32>(kStateChunkBytes)) return -1;
    std::memcpy(chunk_.data(), data, kStateChunkBytes);
    auto state = std::make_unique<EffectState>();
    switch (readStateChunk(chunk_.data(), kStateChunkBytes, cEffect.uniqueID, *state)) {
        case ChunkReadResult::Rejected: return -1;
        case ChunkReadResult::UnknownFormat: return 0;
        case ChunkReadResult::Accepted: break;
    }
    return applyState(*state);
}

VstInt32 CPresetSystemEffect::applyState(const EffectState& state) {
    for (int p = 0; p < kNumPresets; ++p) replacePreset(p, state.bank[static_cast<size_t>(p)]);
    for (int i = 0; i < kNumSoundParameters; ++i) setParameter(kNumSoundParameters + i, state.controllerValues[i]);
    if (state.currentPreset >= 0 && state.currentPreset < kNumPresets) loadPreset(state.currentPreset);
    return 0;
}

VstInt32 CPresetSystemEffect::processEvents(VstEvents* events) {
    if (events == nullptr) return 0;
    // The record declares two slots; hosts allocate as many as they send.
    VstEvent* const* slots = events->events;
    for (VstInt32 n = 0; n < events->numEvents; ++n) {
        const VstEvent* event = slots[n];
        if (event == nullptr || event->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const auto status = static_cast<uint8_t>(midi->midiData[0]);
        if ((status & kStatusMask) != kControlChange) continue;
        const int controller = static_cast<uint8_t>(midi->midiData[1]);
        const int value = std::min(static_cast<int>(static_cast<uint8_t>(midi->midiData[2])), kMaxMidiValue);
        if (controller >= MidiControllerMap::kNumControllers) continue;

        const int target = learnTarget();
        if (isLearning() && target >= 0 && target < kNumSoundParameters &&
            controller < MidiControllerMap::kFirstChannelModeController) {
            assignCC(target, controller);
            stopLearn();
        }
        const int parameter = controllers_.parameterOf(controller);
        if (parameter == MidiControllerMap::kNone) continue;
        setParameter(parameter, static_cast<float>(value) / static_cast<float>(kMaxMidiValue));
    }
    return 1;
}

VstInt32 CPresetSystemEffect::canDo(char* text) {
    char sendMidi[] = "sendVstMidiEvent";
    if (std::strcmp(text, "receiveVstMidiEvent") == 0) return canHostDo(sendMidi) ? 1 : 0;
    return 0;
}

int CPresetSystemEffect::getCurrentPreset() { return currentPreset_.load(relaxed); }

void CPresetSystemEffect::loadPreset(int index) {
    if (index < 0 || index >= kNumPresets) return;
    loadingPreset_.store(true, relaxed);
    curProgram = 0;
    currentPreset_.store(index, relaxed);
    for (int i = 0; i < kNumSoundParameters; ++i) setParameter(i, presetValue(index, i));
    updateDisplay();
    loadingPreset_.store(false, relaxed);
}

void CPresetSystemEffect::renameCurrentPreset(const char* name) {
    curProgram = 0;
    if (name != nullptr) copyName(bank_[static_cast<size_t>(currentPreset_.load(relaxed))].name, name);
    updateDisplay();
}

void CPresetSystemEffect::assignCC(int parameter, int controller) { controllers_.assign(parameter, controller); }
void CPresetSystemEffect::clearParameterCC(int parameter) { controllers_.clearParameter(parameter); }
void CPresetSystemEffect::clearControllerCC(int controller) { controllers_.clearController(controller); }
int CPresetSystemEffect::getParameterCC(int parameter) { return controllers_.controllerOf(parameter); }
int CPresetSystemEffect::getControllerParameter(int controller) { return controllers_.parameterOf(controller); }

void CPresetSystemEffect::startLearn() {
    learnTarget_.store(kNoLearnTarget, std::memory_order_relaxed);
    learning_.store(true, std::memory_order_relaxed);
}

void CPresetSystemEffect::stopLearn() {
    learning_.store(false, std::memory_order_relaxed);
    learnTarget_.store(kNoLearnTarget, std::memory_order_relaxed);
    if (editorLink_ != nullptr) editorLink_->learnEnded();
}

void CPresetSystemEffect::setLearnTarget(int parameter) { learnTarget_.store(parameter, std::memory_order_relaxed); }

void CPresetSystemEffect::startUnassign() { unassigning_.store(true, std::memory_order_relaxed); }

void CPresetSystemEffect::stopUnassign() {
    unassigning_.store(false, std::memory_order_relaxed);
    if (editorLink_ != nullptr) editorLink_->unassignEnded();
}

VstInt32 CPresetSystemEffect::getPluginId() { return cEffect.uniqueID; }

void CPresetSystemEffect::loadUserDefaults() {
    if (editorLink_ != nullptr) editorLink_->loadUserDefaults();
}

void CPresetSystemEffect::initFactoryPresets() { fillFactoryPresets(bank_); }

void CPresetSystemEffect::initDefaultCCMap() { controllers_.setDefaults(); }

}  // namespace ruvane
