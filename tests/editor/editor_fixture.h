// Test fixture: a real effect with its Editor, opened headless (no window), a host that
// records the editor's automation in order, a test clock, and mouse and key helpers
// that drive the frame as the window would.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "effect/editor/editor.h"
#include "effect/editor/layout.h"
#include "effect/plugin/zav.h"
#include "loaded_plugin.h"
#include "toolkit/control.h"
#include "toolkit/frame.h"

namespace ruvane::testing {

// One host callback as the editor's actions produce it.
struct HostCall {
    char kind;  // 'b' begin edit, 'a' automate, 'e' end edit
    VstInt32 index;
    float value;
    bool operator==(const HostCall&) const = default;
};

inline void PrintTo(const HostCall& call, std::ostream* out) {
    *out << call.kind << "(" << call.index << (call.kind == 'a' ? ", " + std::to_string(call.value) : "") << ")";
}

using HostCalls = std::vector<HostCall>;

inline VstIntPtr recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
    auto* calls = effect != nullptr ? static_cast<HostCalls*>(effect->user) : nullptr;
    switch (opcode) {
        case audioMasterVersion: return kVstVersion;
        case audioMasterAutomate:
            if (calls != nullptr) calls->push_back({'a', index, opt});
            return 0;
        case audioMasterBeginEdit:
            if (calls != nullptr) calls->push_back({'b', index, 0.0f});
            return 1;
        case audioMasterEndEdit:
            if (calls != nullptr) calls->push_back({'e', index, 0.0f});
            return 1;
        default: return 0;
    }
}

// The calls of one bracketed change of index to value.
inline HostCalls bracketed(VstInt32 index, float value) {
    return {{'b', index, 0.0f}, {'a', index, value}, {'e', index, 0.0f}};
}

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        effect = std::make_unique<ZAV>(recordingHost, [](ZAV& zav) { return new Editor(&zav); });
        effect->getAeffect()->user = &calls;
        editor = dynamic_cast<Editor*>(effect->getEditor());
        ASSERT_NE(editor, nullptr);
        editor->setTickSource([this] { return now; });
        ASSERT_TRUE(editor->open(nullptr));
        ASSERT_NE(editor->getFrame(), nullptr);
        idle();
    }
    void TearDown() override {
        if (effect) effect->getAeffect()->user = nullptr;
    }

    toolkit::CFrame& frame() { return *editor->getFrame(); }
    toolkit::CControl& control(int tag) {
        toolkit::CControl* found = editor->getControl(tag);
        if (found == nullptr) throw std::logic_error("no control with tag " + std::to_string(tag));
        return *found;
    }
    static toolkit::CPoint centreOf(int tag) {
        const layout::Control* placement = layout::findControl(tag);
        return {placement->rect.centreX(), placement->rect.centreY()};
    }
    void idle() { editor->idle(); }
    // A press and release at a point; double clicks come from two of these in time.
    void clickAt(toolkit::CPoint where, int32_t buttons = toolkit::kLButton) {
        frame().mouseMoved(where, toolkit::CButtonState(0));
        frame().mouseDown(where, toolkit::CButtonState(buttons), now);
        frame().mouseUp(where, toolkit::CButtonState(buttons & ~(toolkit::kDoubleClick)));
    }
    void click(int tag, int32_t buttons = toolkit::kLButton) { clickAt(centreOf(tag), buttons); }
    void doubleClick(int tag, int32_t modifiers = 0) {
        click(tag, toolkit::kLButton | modifiers);
        now += 100;
        click(tag, toolkit::kLButton | modifiers);
        now += 1000;  // the next click starts afresh
    }
    void moveTo(toolkit::CPoint where) { frame().mouseMoved(where, toolkit::CButtonState(0)); }
    // A drag of (dx, dy) pixels from the control's centre.
    void drag(int tag, double dx, double dy, int32_t modifiers = 0) {
        const toolkit::CPoint from = centreOf(tag);
        const toolkit::CButtonState held(toolkit::kLButton | modifiers);
        frame().mouseMoved(from, toolkit::CButtonState(0));
        frame().mouseDown(from, held, now);
        frame().mouseMoved({from.x + dx, from.y + dy}, held);
        frame().mouseUp({from.x + dx, from.y + dy}, held);
        now += 1000;
    }
    void type(const std::string& text) {
        for (const char c : text) frame().keyDown(toolkit::KeyCode{static_cast<char32_t>(c), 0, 0});
    }
    void pressReturn() { frame().keyDown(toolkit::KeyCode{0, toolkit::kKeyReturn, 0}); }

    float parameter(int index) { return effect->getParameter(index); }
    // A host change, as automation brings it (the editor follows at its next idle).
    void hostSets(int index, float value) { effect->setParameter(index, value); }

    ScopedConfigHome configHome;
    HostCalls calls;
    uint32_t now = 100000;
    std::unique_ptr<ZAV> effect;
    Editor* editor = nullptr;
};

}  // namespace ruvane::testing
