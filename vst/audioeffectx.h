// The VST 2.x extension of the plug-in base: more dispatcher operations and the
// host-callback helpers an effect uses while running.
#pragma once

#include "vst/audioeffect.h"

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // Operations hosts ask for (VST 2.x)
    virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }
    virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
    virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual VstPlugCategory getPlugCategory();
    virtual bool setBypass(bool /*onOff*/) { return false; }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstInt32 canDo(char* /*text*/) { return 0; }
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual bool getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*p*/) { return false; }
    virtual VstInt32 getVstVersion() { return kVstVersion; }
    virtual VstInt32 getNumMidiInputChannels() { return 0; }
    virtual VstInt32 getNumMidiOutputChannels() { return 0; }

    // Host-callback helpers
    virtual VstTimeInfo* getTimeInfo(VstInt32 filter);
    virtual bool canHostDo(char* text);
    virtual void wantEvents(VstInt32 filter = 1);
    virtual bool updateDisplay();
    virtual VstInt32 getOutputLatency();
    virtual VstInt32 getInputLatency();
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);
    // A pin counts as connected unless the host says otherwise (answer 0 means connected).
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);
    virtual bool sizeWindow(VstInt32 width, VstInt32 height);
};
