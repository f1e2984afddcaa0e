#include "vst/audioeffect.h"

#include "vst/aeffeditor.h"

namespace {

constexpr VstInt32 kIdentifyAnswer = fourCharCode('N', 'v', 'E', 'f');

AudioEffect* owner(AEffect* effect) {
    return effect != nullptr ? static_cast<AudioEffect*>(effect->object) : nullptr;
}

VstIntPtr dispatchEffectClass(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt) {
    AudioEffect* instance = owner(effect);
    if (instance == nullptr) return 0;
    if (opcode == effClose) {
        instance->dispatcher(opcode, index, value, ptr, opt);
        delete instance;
        return 1;
    }
    return instance->dispatcher(opcode, index, value, ptr, opt);
}

float getParameterClass(AEffect* effect, VstInt32 index) {
    AudioEffect* instance = owner(effect);
    return instance != nullptr ? instance->getParameter(index) : 0.0f;
}

void setParameterClass(AEffect* effect, VstInt32 index, float value) {
    if (AudioEffect* instance = owner(effect)) instance->setParameter(index, value);
}

// The accumulating process call is deprecated; hosts use processReplacing.
void processClass(AEffect*, float**, float**, VstInt32) {}

void processReplacingClass(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (AudioEffect* instance = owner(effect)) instance->processReplacing(inputs, outputs, sampleFrames);
}

void processDoubleReplacingClass(AEffect* effect, double** inputs, double** outputs, VstInt32 sampleFrames) {
    if (AudioEffect* instance = owner(effect)) instance->processDoubleReplacing(inputs, outputs, sampleFrames);
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffectClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingClass;
    cEffect.processDoubleReplacing = processDoubleReplacingClass;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, editor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster != nullptr ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstInt32 AudioEffect::getMasterVersion() {
    const VstIntPtr version = callHost(audioMasterVersion);
    return version != 0 ? static_cast<VstInt32>(version) : 1;
}

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effOpen: open(); return 0;
        case effClose: close(); return 0;
        case effSetProgram:
            if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
            return 0;
        case effGetProgram: return getProgram();
        case effSetProgramName:
            if (ptr != nullptr) setProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetProgramName:
            if (ptr != nullptr) getProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetParamLabel:
            if (ptr != nullptr) getParameterLabel(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamDisplay:
            if (ptr != nullptr) getParameterDisplay(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamName:
            if (ptr != nullptr) getParameterName(index, static_cast<char*>(ptr));
            return 0;
        case effGetVu: return 0;
        case effSetSampleRate: setSampleRate(opt); return 0;
        case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;
        case effEditGetRect:
            if (editor != nullptr && ptr != nullptr) return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
            return 0;
        case effEditOpen: return editor != nullptr && editor->open(ptr) ? 1 : 0;
        case effEditClose:
            if (editor != nullptr) editor->close();
            return 0;
        case effEditIdle:
            if (editor != nullptr) editor->idle();
            return 0;
        case effIdentify: return kIdentifyAnswer;
        case effGetChunk:
            if (ptr == nullptr) return 0;
            return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk: return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
        default: return 0;
    }
}
