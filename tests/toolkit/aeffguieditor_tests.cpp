// AEffGUIEditor: the rectangle at the desktop's scale, the per-editor knob mode, edits
// reaching the host through the effect, keys from effEditKeyDown, idle and close.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "toolkit/aeffguieditor.h"
#include "toolkit/knob.h"
#include "toolkit/text_edit.h"
#include "toolkit_test_support.h"
#include "vst/audioeffectx.h"

namespace toolkit_test {
namespace {

// The host: records begin/end edit calls into the log the test hangs on AEffect::user.
VstIntPtr recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    if (effect != nullptr && effect->user != nullptr) {
        auto* log = static_cast<EventLog*>(effect->user);
        if (opcode == audioMasterBeginEdit) log->add("host begin " + std::to_string(index));
        if (opcode == audioMasterEndEdit) log->add("host end " + std::to_string(index));
    }
    return 1;
}

class TestEffect : public AudioEffectX {
public:
    explicit TestEffect(EventLog& log) : AudioEffectX(recordingHost, 1, 8) { getAeffect()->user = &log; }
    void processReplacing(float**, float**, VstInt32) override {}
};

// A small editor: one knob (tag 3) and one text edit (tag 5), listener writes the log.
class TestEditor : public AEffGUIEditor, public CControlListener {
public:
    TestEditor(AudioEffect* effect, EventLog& log) : AEffGUIEditor(effect), log(log) {
        rect = ERect{0, 0, 171, 875};
    }
    bool open(void* parent) override {
        AEffGUIEditor::open(parent);
        frame = new CFrame(CRect(0, 0, 875, 171), this);
        knob = new CAnimKnob(CRect(10, 10, 46, 46), this, 3, 101, 36, nullptr);
        frame->addView(knob);
        text = new CTextEdit(CRect(100, 10, 200, 30), this, 5, "name");
        frame->addView(text);
        return frame->open(parent);
    }
    void valueChanged(CControl* control) override { log.add("changed " + std::to_string(control->getTag())); }
    void controlBeginEdit(CControl* control) override { log.add("listener begin " + std::to_string(control->getTag())); }
    void controlEndEdit(CControl* control) override { log.add("listener end " + std::to_string(control->getTag())); }
    CFrame* getFrame() const override { return frame; }

    EventLog& log;
    CAnimKnob* knob = nullptr;
    CTextEdit* text = nullptr;
};

TEST(AEffGUIEditor, RectIsTheSubclassRectAtTheDesktopScale) {
    struct Case {
        const char* gdkScale;
        int16_t right, bottom;
    };
    const Case cases[] = {{"1", 875, 171}, {"2", 1750, 342}, {"3", 1750, 342}};
    for (const Case& c : cases) {
        ScopedEnv env("GDK_SCALE", c.gdkScale);
        EventLog log;
        TestEffect effect(log);
        auto* editor = new TestEditor(&effect, log);
        ERect* rect = nullptr;
        EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->left, 0);
        EXPECT_EQ(rect->top, 0);
        EXPECT_EQ(rect->right, c.right) << c.gdkScale;
        EXPECT_EQ(rect->bottom, c.bottom) << c.gdkScale;
        EXPECT_EQ(effect.getEditor(), editor) << "the editor registers itself with the effect";
    }
}

TEST(AEffGUIEditor, KnobDragReachesListenerAndHostInTheToolkitsOrder) {
    EventLog log;
    TestEffect effect(log);
    auto* editor = new TestEditor(&effect, log);
    ASSERT_TRUE(editor->open(nullptr));
    editor->knob->setValue(0.5f);
    editor->idle();
    editor->getFrame()->mouseDown({20, 20}, kLButton);
    editor->getFrame()->mouseMoved({20, 18}, kLButton);
    editor->getFrame()->mouseUp({20, 18}, kLButton);
    const std::vector<std::string> expected = {"listener begin 3", "host begin 3", "changed 3", "host end 3",
                                               "listener end 3"};
    EXPECT_EQ(log.entries, expected);
    editor->close();
}

TEST(AEffGUIEditor, KnobModeIsKeptPerEditor) {
    EventLog log;
    TestEffect linearEffect(log);
    TestEffect circularEffect(log);
    auto* linear = new TestEditor(&linearEffect, log);
    auto* circular = new TestEditor(&circularEffect, log);
    EXPECT_EQ(linearEffect.dispatcher(effSetEditKnobMode, 0, kLinearMode, nullptr, 0), 1);
    EXPECT_EQ(linear->getKnobMode(), kLinearMode);
    EXPECT_EQ(circular->getKnobMode(), kCircularMode) << "another instance keeps its own mode";
    linear->open(nullptr);
    circular->open(nullptr);
    EXPECT_EQ(linear->getFrame()->getKnobMode(), kLinearMode);
    EXPECT_EQ(circular->getFrame()->getKnobMode(), kCircularMode);
    linear->close();
    circular->close();
}

TEST(AEffGUIEditor, HostKeysReachTheFrameThroughTheDispatcher) {
    EventLog log;
    TestEffect effect(log);
    auto* editor = new TestEditor(&effect, log);
    editor->open(nullptr);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'x', 0, nullptr, 0), 0) << "no edit running: the host keeps its key";
    editor->getFrame()->mouseDown({120, 20}, kLButton);
    ASSERT_TRUE(editor->text->isEditingText());
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 0, kKeyEnd, nullptr, 0), 1);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, '!', 0, nullptr, 0), 1);
    EXPECT_EQ(effect.dispatcher(effEditKeyUp, '!', 0, nullptr, 0), 1);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 0, kKeyReturn, nullptr, 0), 1);
    EXPECT_EQ(editor->text->getText(), "name!");
    const std::vector<std::string> expected = {"listener begin 5", "host begin 5", "changed 5", "host end 5",
                                               "listener end 5"};
    EXPECT_EQ(log.entries, expected);
    editor->close();
}

TEST(AEffGUIEditor, IdleRepaintsDirtyViewsAndCloseReleasesTheFrame) {
    EventLog log;
    TestEffect effect(log);
    auto* editor = new TestEditor(&effect, log);
    editor->open(nullptr);
    EXPECT_TRUE(editor->isOpen());
    editor->getFrame()->takeInvalidRects();
    editor->knob->setValue(0.9f);
    effect.dispatcher(effEditIdle, 0, 0, nullptr, 0);
    EXPECT_EQ(editor->getFrame()->getInvalidRects(), std::vector<CRect>{CRect(10, 10, 46, 46)});
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0);
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_FALSE(editor->isOpen());
    effect.dispatcher(effEditIdle, 0, 0, nullptr, 0);  // closed: nothing to do, nothing breaks
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'x', 0, nullptr, 0), 0);
}

}  // namespace
}  // namespace toolkit_test
