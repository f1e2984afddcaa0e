#include "toolkit/aeffguieditor.h"

#include <cmath>

#include "toolkit/platform_frame.h"
#include "vst/audioeffectx.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
    if (effect != nullptr) {
        effect->setEditor(this);
    }
}

AEffGUIEditor::~AEffGUIEditor() { AEffGUIEditor::close(); }

bool AEffGUIEditor::getRect(ERect** result) {
    if (result == nullptr) {
        return false;
    }
    if (!scaleChosen) {
        // Chosen once per editor, so the size the host sees and the window agree.
        scaleFactor = toolkit::desktopScaleFactor();
        scaleChosen = true;
    }
    auto scaled = [this](int16_t v) { return static_cast<int16_t>(std::lround(v * scaleFactor)); };
    scaledRect = ERect{scaled(rect.top), scaled(rect.left), scaled(rect.bottom), scaled(rect.right)};
    *result = &scaledRect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    AEffEditor::open(parentWindow);
    return true;
}

void AEffGUIEditor::close() {
    if (frame != nullptr) {
        toolkit::CFrame* closing = frame;
        frame = nullptr;
        closing->close();
        closing->forget();
    }
    AEffEditor::close();
}

void AEffGUIEditor::idle() {
    if (inIdle || frame == nullptr) {
        return;
    }
    inIdle = true;
    frame->pumpEvents();
    if (frame != nullptr) {
        frame->idle();
    }
    inIdle = false;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

bool AEffGUIEditor::onKeyDown(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) {
    if (frame == nullptr) {
        return false;
    }
    return frame->keyDown(toolkit::KeyCode{static_cast<char32_t>(character), virtualKey, modifiers}) > 0;
}

bool AEffGUIEditor::onKeyUp(VstInt32 character, VstInt32 virtualKey, VstInt32 modifiers) {
    if (frame == nullptr) {
        return false;
    }
    return frame->keyUp(toolkit::KeyCode{static_cast<char32_t>(character), virtualKey, modifiers}) > 0;
}

void AEffGUIEditor::beginEdit(int32_t tag) {
    if (auto* effectX = dynamic_cast<AudioEffectX*>(effect)) {
        effectX->beginEdit(tag);
    }
}

void AEffGUIEditor::endEdit(int32_t tag) {
    if (auto* effectX = dynamic_cast<AudioEffectX*>(effect)) {
        effectX->endEdit(tag);
    }
}
