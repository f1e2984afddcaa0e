// ZAVSwitch and ZAVSwitchVert: frames chosen by floor(n x), positions from the mouse.
#include "effect/editor/controls/zav_switches.h"

#include "control_harness.h"

namespace ruvane::testing {
namespace {

constexpr CRect kHorizontal{10, 10, 40, 23};  // 30 x 13: one frame of a 30 x 39 three-frame strip
constexpr int32_t kRangeTag = 30;

class ZAVSwitchTest : public ControlTest {
protected:
    ZAVSwitch* control = add(new ZAVSwitch(kHorizontal, &recorder, kRangeTag, 3, 13, 3, strip(30, 13, 3)));
};

TEST_F(ZAVSwitchTest, DrawsFrameFloorOfValueTimesFrames) {
    struct Case {
        float value;
        int frame;
    };
    // 0.3 and 0.7 are where this differs from rounding over n - 1 (which gives 1 and 1).
    for (const Case& c : {Case{0.0f, 0}, Case{0.3f, 0}, Case{0.3333f, 0}, Case{0.34f, 1}, Case{0.5f, 1},
                          Case{0.6666f, 1}, Case{0.7f, 2}, Case{0.8333f, 2}, Case{1.0f, 2}}) {
        SCOPED_TRACE(c.value);
        control->setValue(c.value);
        EXPECT_EQ(frameShown(kHorizontal), c.frame);
        EXPECT_EQ(frameShown(kHorizontal, 2.0), c.frame);
    }
}

TEST_F(ZAVSwitchTest, MouseSelectsAZoneOfTheWidthAsTheStockSwitchDoes) {
    struct Case {
        CCoord x;
        float value;
    };
    for (const Case& c : {Case{10, 0.0f}, Case{19.9, 0.0f}, Case{20, 0.5f}, Case{29.9, 0.5f}, Case{30, 1.0f},
                          Case{39.9, 1.0f}}) {
        SCOPED_TRACE(c.x);
        control->setValue(0.25f);
        frame->idle();
        click({c.x, 15}, kLButton);
        EXPECT_FLOAT_EQ(control->getValue(), c.value);
    }
}

TEST_F(ZAVSwitchTest, DragAcrossNotifiesEachNewPositionOnce) {
    control->setValue(0.0f);
    frame->idle();
    recorder.events.clear();
    frame->mouseDown({12, 15}, CButtonState(kLButton));
    frame->mouseMoved({25, 15}, CButtonState(kLButton));
    frame->mouseMoved({26, 15}, CButtonState(kLButton));
    frame->mouseMoved({35, 15}, CButtonState(kLButton));
    frame->mouseUp({35, 15}, CButtonState(kLButton));
    EXPECT_EQ(recorder.listenerEvents(), (std::vector<std::string>{"begin 30", "changed 30 0.5", "changed 30 1",
                                                                   "end 30"}));
}

TEST_F(ZAVSwitchTest, KeepsTheStockTypeAndCopy) {
    EXPECT_STREQ(control->getClassName(), "CHorizontalSwitch");
    EXPECT_TRUE(control->isTypeOf("CHorizontalSwitch"));
}

// The LFO waveform switch: five positions, 56-pixel frames.
constexpr CRect kVertical{20, 10, 36, 66};
constexpr int32_t kWaveTag = 9;

class ZAVSwitchVertTest : public ControlTest {
protected:
    ZAVSwitchVert* control = add(new ZAVSwitchVert(kVertical, &recorder, kWaveTag, 5, 56, 5, strip(16, 56, 5)));
};

TEST_F(ZAVSwitchVertTest, ClickPicksTheBandFromTheTop) {
    struct Case {
        CCoord offset;
        float value;
    };
    for (const Case& c : {Case{0, 0.0f}, Case{11, 0.0f}, Case{12, 0.2f}, Case{22, 0.2f}, Case{23, 0.4f},
                          Case{33.7, 0.6f}, Case{44.7, 0.6f}, Case{44.9, 0.8f}, Case{55, 0.8f}, Case{55.9, 0.8f}}) {
        SCOPED_TRACE(c.offset);
        control->setValue(1.0f);
        EXPECT_EQ(click({28, kVertical.top + c.offset}, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
        EXPECT_FLOAT_EQ(control->getValue(), c.value);
    }
}

TEST_F(ZAVSwitchVertTest, NotifiesOnlyAChangeButAlwaysBracketsTheClick) {
    control->setValue(0.0f);
    frame->idle();  // the value is now the one last drawn
    recorder.events.clear();
    click({28, 40}, kLButton);  // band 2
    click({28, 40}, kLButton);  // the same band again
    EXPECT_EQ(recorder.listenerEvents(), (std::vector<std::string>{"begin 9", "changed 9 0.4", "end 9", "begin 9",
                                                                   "end 9"}));
}

TEST_F(ZAVSwitchVertTest, NothingFollowsThePress) {
    control->setValue(0.8f);
    frame->idle();
    frame->mouseDown({28, 15}, CButtonState(kLButton));
    frame->mouseMoved({28, 60}, CButtonState(kLButton));
    frame->mouseUp({28, 60}, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(control->getValue(), 0.0f);
    EXPECT_EQ(recorder.notifiedValues().size(), 1u);
}

TEST_F(ZAVSwitchVertTest, OtherButtonsAreNotHandled) {
    control->setValue(0.6f);
    EXPECT_EQ(frame->mouseDown({28, 15}, CButtonState(kRButton)), kMouseEventNotHandled);
    EXPECT_FLOAT_EQ(control->getValue(), 0.6f);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(ZAVSwitchVertTest, DrawsFrameFloorOfValueTimesPositions) {
    struct Case {
        float value;
        int frame;
    };
    // The written values i / 5 show frame i (0.6 would round to frame 2 over n - 1).
    for (const Case& c : {Case{0.0f, 0}, Case{0.1f, 0}, Case{0.2f, 1}, Case{0.4f, 2}, Case{0.6f, 3}, Case{0.8f, 4},
                          Case{0.9f, 4}, Case{1.0f, 4}}) {
        SCOPED_TRACE(c.value);
        control->setValue(c.value);
        EXPECT_EQ(frameShown(kVertical), c.frame);
        EXPECT_EQ(frameShown(kVertical, 2.0), c.frame);
    }
}

}  // namespace
}  // namespace ruvane::testing
