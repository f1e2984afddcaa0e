#include "vst/audioeffectx.h"

#include "vst/aeffeditor.h"

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams) {}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effProcessEvents: return ptr != nullptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
        case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
        case effString2Parameter: return text != nullptr && string2parameter(index, text) ? 1 : 0;
        case effGetProgramNameIndexed:
            return text != nullptr && getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
        case effGetInputProperties:
        case effGetOutputProperties: return 0;
        case effGetPlugCategory: return getPlugCategory();
        case effSetBypass: return setBypass(value != 0) ? 1 : 0;
        case effGetEffectName: return text != nullptr && getEffectName(text) ? 1 : 0;
        case effGetVendorString: return text != nullptr && getVendorString(text) ? 1 : 0;
        case effGetProductString: return text != nullptr && getProductString(text) ? 1 : 0;
        case effGetVendorVersion: return getVendorVersion();
        case effCanDo: return text != nullptr ? canDo(text) : 0;
        case effGetTailSize: return getGetTailSize();
        case effGetParameterProperties:
            return ptr != nullptr && getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
        case effGetVstVersion: return getVstVersion();
        case effEditKeyDown:
            return editor != nullptr && editor->onKeyDown(index, static_cast<VstInt32>(value), static_cast<VstInt32>(opt)) ? 1 : 0;
        case effEditKeyUp:
            return editor != nullptr && editor->onKeyUp(index, static_cast<VstInt32>(value), static_cast<VstInt32>(opt)) ? 1 : 0;
        case effSetEditKnobMode:
            return editor != nullptr && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
        case effSetTotalSampleToProcess: return value;
        case effGetNumMidiInputChannels: return getNumMidiInputChannels();
        case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
        default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

VstPlugCategory AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

bool AudioEffectX::canHostDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) != 0; }

void AudioEffectX::wantEvents(VstInt32 filter) { callHost(audioMasterWantMidi, 0, filter); }

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

VstInt32 AudioEffectX::getOutputLatency() { return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency)); }

VstInt32 AudioEffectX::getInputLatency() { return static_cast<VstInt32>(callHost(audioMasterGetInputLatency)); }

bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }

bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

bool AudioEffectX::isInputConnected(VstInt32 input) { return callHost(audioMasterPinConnected, input, 0) == 0; }

bool AudioEffectX::isOutputConnected(VstInt32 output) { return callHost(audioMasterPinConnected, output, 1) == 0; }

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}
