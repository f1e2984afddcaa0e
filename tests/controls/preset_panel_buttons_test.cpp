// The preset strip's buttons: values told to the listener, hover and pressed frames.
#include "effect/editor/controls/preset_panel_buttons.h"

#include "control_harness.h"

namespace ruvane::testing {
namespace {

constexpr CRect kButton{30, 30, 47, 45};  // 17 x 15: one frame of a 17 x 45 strip
constexpr CPoint kInside{38, 37};
constexpr CPoint kOutside{150, 100};

// ---- CPSKickButton

class PSKickButtonTest : public ControlTest {
protected:
    CPSKickButton* make(bool doubleClickOnly) {
        return add(new CPSKickButton(kButton, &recorder, 84, 15, strip(17, 15, 3), {}, doubleClickOnly));
    }
};

TEST_F(PSKickButtonTest, PressTellsTheListenerByButtonAndClickKind) {
    struct Case {
        bool doubleClickOnly;
        int32_t buttons;
        CMouseEventResult result;
        std::vector<float> told;
    };
    const Case cases[] = {
        {false, kLButton, kMouseEventHandled, {1.0f}},
        {false, kLButton | kControl, kMouseEventHandled, {1.0f}},
        {false, kLButton | kDoubleClick, kMouseEventHandled, {1.0f}},
        {false, kRButton, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {}},
        {true, kLButton, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {}},
        {true, kLButton | kControl, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {}},
        {true, kLButton | kDoubleClick, kMouseEventHandled, {1.0f}},
        {true, kLButton | kDoubleClick | kControl, kMouseEventHandled, {0.5f}},
        {true, kLButton | kDoubleClick | kControl | kShift, kMouseEventHandled, {0.5f}},
        {true, kRButton | kDoubleClick, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "double-click only " << c.doubleClickOnly << " buttons " << c.buttons);
        frame->removeAll();
        recorder.events.clear();
        CPSKickButton* button = make(c.doubleClickOnly);
        CPoint where = kInside;
        EXPECT_EQ(button->onMouseDown(where, CButtonState(c.buttons)), c.result);
        EXPECT_EQ(recorder.notifiedValues(), c.told);
        EXPECT_TRUE(recorder.events.size() == c.told.size()) << "no edit brackets";
    }
}

TEST_F(PSKickButtonTest, ReleaseReturnsToZeroSilently) {
    CPSKickButton* button = make(false);
    frame->mouseDown(kInside, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    frame->mouseMoved(kOutside, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);  // held down wherever the pointer goes
    frame->mouseUp(kOutside, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(recorder.notifiedValues(), std::vector<float>{1.0f});
}

TEST_F(PSKickButtonTest, ActsOnARealDoubleClickOnly) {
    CPSKickButton* button = make(true);
    click(kInside, kLButton, 1000);
    EXPECT_TRUE(recorder.notifiedValues().empty());
    click(kInside, kLButton, 1200);  // within the double-click time and distance
    EXPECT_EQ(recorder.notifiedValues(), std::vector<float>{1.0f});
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
}

TEST_F(PSKickButtonTest, FramesFollowHoverAndPress) {
    CPSKickButton* button = make(false);
    EXPECT_EQ(frameShown(kButton), 0);
    frame->mouseMoved(kInside, CButtonState());
    EXPECT_TRUE(button->isHovered());
    EXPECT_EQ(frameShown(kButton), 1);
    frame->mouseDown(kInside, CButtonState(kLButton));
    EXPECT_EQ(frameShown(kButton), 2);
    EXPECT_EQ(frameShown(kButton, 2.0), 2);
    frame->mouseUp(kInside, CButtonState(kLButton));
    EXPECT_EQ(frameShown(kButton), 1);
    frame->mouseMoved(kOutside, CButtonState());
    EXPECT_FALSE(button->isHovered());
    EXPECT_EQ(frameShown(kButton), 0);
    button->setValue(0.5f);  // the Control double-click value is pressed too
    EXPECT_EQ(frameShown(kButton), 2);
}

// ---- CPSOnOffButton

class PSOnOffButtonTest : public ControlTest {
protected:
    CPSOnOffButton* button = add(new CPSOnOffButton({30, 30, 54, 46}, &recorder, 78, strip(24, 16, 3)));
};

TEST_F(PSOnOffButtonTest, LeftClickTogglesAndTellsTheListener) {
    EXPECT_EQ(click({40, 40}, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    click({40, 40}, kLButton);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"changed 78 1", "changed 78 0"}));
}

TEST_F(PSOnOffButtonTest, OtherButtonsAreNotHandled) {
    EXPECT_EQ(frame->mouseDown({40, 40}, CButtonState(kRButton)), kMouseEventNotHandled);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(PSOnOffButtonTest, FramesAreThirdsOfTheBitmap) {
    struct Case {
        float value;
        bool hovered;
        int frame;
    };
    for (const Case& c : {Case{0, false, 0}, Case{0, true, 1}, Case{1, false, 2}, Case{1, true, 2}}) {
        SCOPED_TRACE(::testing::Message() << c.value << (c.hovered ? " hovered" : ""));
        button->setValue(c.value);
        frame->mouseMoved(c.hovered ? CPoint{40, 40} : kOutside, CButtonState());
        EXPECT_EQ(button->isHovered(), c.hovered);
        EXPECT_EQ(frameShown({30, 30, 54, 46}), c.frame);
        EXPECT_EQ(frameShown({30, 30, 54, 46}, 2.0), c.frame);
    }
}

// ---- CPSRockerSwitch

constexpr CRect kRocker{40, 20, 70, 33};  // 30 x 13: one frame of a 30 x 65 five-frame strip

class PSRockerSwitchTest : public ControlTest {
protected:
    CPSRockerSwitch* rocker = add(new CPSRockerSwitch(kRocker, &recorder, 72, 13, strip(30, 13, 5)));
};

TEST_F(PSRockerSwitchTest, PressPicksTheSideOfTheCentre) {
    struct Case {
        CCoord x;
        float value;
    };
    for (const Case& c : {Case{40, -1.0f}, Case{54.9, -1.0f}, Case{55, 1.0f}, Case{69.9, 1.0f}}) {
        SCOPED_TRACE(c.x);
        recorder.events.clear();
        EXPECT_EQ(frame->mouseDown({c.x, 25}, CButtonState(kLButton)), kMouseEventHandled);
        EXPECT_FLOAT_EQ(rocker->getValue(), c.value);
        frame->mouseUp({c.x, 25}, CButtonState(kLButton));
        EXPECT_FLOAT_EQ(rocker->getValue(), 0.0f);
        EXPECT_EQ(recorder.notifiedValues(), std::vector<float>{c.value});  // nothing on release
        EXPECT_EQ(recorder.events.size(), 1u);
    }
}

TEST_F(PSRockerSwitchTest, HeldPressIgnoresMovement) {
    frame->mouseDown({45, 25}, CButtonState(kLButton));
    frame->mouseMoved({65, 25}, CButtonState(kLButton));
    frame->mouseMoved({150, 100}, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(rocker->getValue(), -1.0f);
    EXPECT_EQ(rocker->getHoverSide(), CPSRockerSwitch::kHoverNone);
    frame->mouseUp({150, 100}, CButtonState(kLButton));
}

TEST_F(PSRockerSwitchTest, OtherButtonsAreNotHandled) {
    EXPECT_EQ(frame->mouseDown({45, 25}, CButtonState(kRButton)), kMouseEventNotHandled);
    EXPECT_FLOAT_EQ(rocker->getValue(), 0.0f);
}

TEST_F(PSRockerSwitchTest, FramesFollowHoverSideAndPress) {
    EXPECT_EQ(frameShown(kRocker), 0);
    frame->mouseMoved({45, 25}, CButtonState());
    EXPECT_EQ(rocker->getHoverSide(), CPSRockerSwitch::kHoverLeft);
    EXPECT_EQ(frameShown(kRocker), 1);
    frame->mouseMoved({60, 25}, CButtonState());
    EXPECT_EQ(rocker->getHoverSide(), CPSRockerSwitch::kHoverRight);
    EXPECT_EQ(frameShown(kRocker), 2);
    frame->mouseDown({45, 25}, CButtonState(kLButton));
    EXPECT_EQ(frameShown(kRocker), 3);
    frame->mouseUp({45, 25}, CButtonState(kLButton));
    frame->mouseDown({60, 25}, CButtonState(kLButton));
    EXPECT_EQ(frameShown(kRocker), 4);
    EXPECT_EQ(frameShown(kRocker, 2.0), 4);
    frame->mouseUp({60, 25}, CButtonState(kLButton));
    frame->mouseMoved(kOutside, CButtonState());
    EXPECT_EQ(rocker->getHoverSide(), CPSRockerSwitch::kHoverNone);
    EXPECT_EQ(frameShown(kRocker), 0);
}

// ---- CSaveLoadButton

class SaveLoadButtonTest : public ControlTest {
protected:
    CSaveLoadButton* button = add(new CSaveLoadButton(kButton, &recorder, 73, 15, strip(17, 15, 3)));
};

TEST_F(SaveLoadButtonTest, LeftClickTellsOneAndAPlainRightClickOneHalf) {
    struct Case {
        int32_t buttons;
        CMouseEventResult result;
        std::vector<float> told;
    };
    const Case cases[] = {
        {kLButton, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {1.0f}},
        {kLButton | kShift, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {1.0f}},
        {kRButton, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {0.5f}},
        {kRButton | kShift, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {1.0f}},
        {kRButton | kControl, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {1.0f}},
        {kRButton | kAlt, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {1.0f}},
        // The double-click mark is no modifier: a quick second right click is still plain.
        {kRButton | kDoubleClick, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {0.5f}},
        {kRButton | kDoubleClick | kShift, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {1.0f}},
        {kLButton | kDoubleClick, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {1.0f}},
        {kLButton | kRButton, kMouseDownEventHandledButDontNeedMovedOrUpEvents, {1.0f}},
        {kMButton, kMouseEventNotHandled, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buttons);
        recorder.events.clear();
        EXPECT_EQ(click(kInside, c.buttons), c.result);
        EXPECT_EQ(recorder.notifiedValues(), c.told);
        EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    }
}

// Two right clicks in quick succession, timed as the X server stamps them: the frame
// marks the second as a double-click, and both still ask for the reversed load.
TEST_F(SaveLoadButtonTest, QuickSecondRightClickIsAPlainRightClickToo) {
    constexpr uint32_t kFirstPress = 10000;
    click(kInside, kRButton, kFirstPress);
    click(kInside, kRButton, kFirstPress + CFrame::kDoubleClickTimeMs / 2);
    EXPECT_EQ(recorder.notifiedValues(), (std::vector<float>{0.5f, 0.5f}));
}

TEST_F(SaveLoadButtonTest, WithoutAListenerTheClickIsNotHandled) {
    button->setListener(nullptr);
    EXPECT_EQ(frame->mouseDown(kInside, CButtonState(kLButton)), kMouseEventNotHandled);
}

TEST_F(SaveLoadButtonTest, FramesFollowHoverAndValue) {
    EXPECT_EQ(frameShown(kButton), 0);
    frame->mouseMoved(kInside, CButtonState());
    EXPECT_TRUE(button->isHovered());
    EXPECT_EQ(frameShown(kButton), 1);
    button->setValue(1.0f);
    EXPECT_EQ(frameShown(kButton), 2);
    frame->mouseMoved(kOutside, CButtonState());
    EXPECT_EQ(frameShown(kButton), 2);
    button->setValue(0.0f);
    EXPECT_EQ(frameShown(kButton), 0);
    EXPECT_EQ(frameShown(kButton, 2.0), 0);
}

}  // namespace
}  // namespace ruvane::testing
