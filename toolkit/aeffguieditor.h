// The VST 2.4 editor base for editors built on the toolkit. The subclass fills `rect`
// with its 1x size and builds `frame` in open(); this class reports the rectangle at
// the desktop's scale, idles the frame, keeps the knob mode and forwards edits and keys.
#pragma once

#include <cstdint>

#include "toolkit/editor_interface.h"
#include "toolkit/frame.h"
#include "vst/aeffeditor.h"

class AEffGUIEditor : public AEffEditor, public toolkit::EditorInterface {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    // The editor's rectangle, doubled on a double-density desktop.
    bool getRect(ERect** rect) override;
    // Remembers the parent window; the subclass then builds its frame and opens it there.
    bool open(void* parentWindow) override;
    // Closes and releases the frame if the subclass left it.
    void close() override;
    // Open while a frame exists (also a headless one, opened without a parent window).
    bool isOpen() const override { return frame != nullptr || AEffEditor::isOpen(); }
    // Window events first, then the frame's repaint of dirty views.
    void idle() override;
    // Kept per editor (not shared between instances).
    bool setKnobMode(VstInt32 mode) override;
    int32_t getKnobMode() const override { return knobMode; }
    bool onKeyDown(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) override;
    bool onKeyUp(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) override;

    void beginEdit(int32_t tag) override;
    void endEdit(int32_t tag) override;

    // The desktop's scale as getRect reported it (1 until getRect was asked).
    double getScaleFactor() const { return scaleFactor; }

protected:
    ERect rect{};

private:
    ERect scaledRect{};
    double scaleFactor = 1;
    bool scaleChosen = false;
    bool inIdle = false;
    int32_t knobMode = toolkit::kCircularMode;
};
