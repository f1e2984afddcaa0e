// Base of a plug-in's editor: the host asks it for its size, opens it into a
// parent window (an X11 Window id on Linux), idles it and closes it.
#pragma once

#include "vst/aeffect.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        systemWindow = parentWindow;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() const { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    virtual bool onKeyDown(VstInt32 /*character*/, VstInt32 /*virtualKey*/, VstInt32 /*modifiers*/) { return false; }
    virtual bool onKeyUp(VstInt32 /*character*/, VstInt32 /*virtualKey*/, VstInt32 /*modifiers*/) { return false; }

    AudioEffect* getEffect() const { return effect; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};
