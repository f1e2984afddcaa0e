// ZAVOnOffButton and ZAVKickButton: values written, edit brackets, frames drawn.
#include "effect/editor/controls/zav_buttons.h"

#include "control_harness.h"

namespace ruvane::testing {
namespace {

constexpr CRect kButton{10, 10, 34, 30};  // 24 x 20, one frame of a 24 x 40 strip
constexpr CPoint kInside{20, 20};
constexpr int32_t kTag = 41;

class ZAVOnOffButtonTest : public ControlTest {
protected:
    ZAVOnOffButton* button = add(new ZAVOnOffButton(kButton, &recorder, kTag, strip(24, 20, 2)));
};

TEST_F(ZAVOnOffButtonTest, ClickWritesTheCentreOfTheOtherPosition) {
    struct Case {
        float before;
        float after;
    };
    // Automation may leave any value; a click always lands on 0.25 or 0.75.
    for (const Case& c : {Case{0.0f, 0.75f}, Case{0.25f, 0.75f}, Case{0.4999f, 0.75f}, Case{0.5f, 0.25f},
                          Case{0.75f, 0.25f}, Case{1.0f, 0.25f}}) {
        SCOPED_TRACE(c.before);
        button->setValue(c.before);
        EXPECT_EQ(click(kInside, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
        EXPECT_FLOAT_EQ(button->getValue(), c.after);
    }
}

TEST_F(ZAVOnOffButtonTest, ClickNotifiesOnceInsideOneEdit) {
    button->setValue(0.25f);
    click(kInside, kLButton);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"begin 41", "editor begin 41", "changed 41 0.75",
                                                         "editor end 41", "end 41"}));
}

TEST_F(ZAVOnOffButtonTest, OtherButtonsAreNotHandled) {
    for (int32_t buttons : {int32_t{kRButton}, int32_t{kMButton}, int32_t{0}}) {
        button->setValue(0.25f);
        EXPECT_EQ(frame->mouseDown(kInside, CButtonState(buttons)), kMouseEventNotHandled);
        EXPECT_FLOAT_EQ(button->getValue(), 0.25f);
    }
    EXPECT_TRUE(recorder.notifiedValues().empty());
}

TEST_F(ZAVOnOffButtonTest, DrawsFrameOfTheSwitchPosition) {
    struct Case {
        float value;
        int frame;
    };
    for (const Case& c : {Case{0.0f, 0}, Case{0.25f, 0}, Case{0.4999f, 0}, Case{0.5f, 1}, Case{0.75f, 1},
                          Case{1.0f, 1}}) {
        for (double scale : {1.0, 2.0}) {
            SCOPED_TRACE(::testing::Message() << "value " << c.value << " scale " << scale);
            button->setValue(c.value);
            EXPECT_EQ(frameShown(kButton, scale), c.frame);
        }
    }
}

TEST_F(ZAVOnOffButtonTest, DrawsNothingWithoutABitmap) {
    frame->removeView(button);
    add(new ZAVOnOffButton(kButton, &recorder, kTag, nullptr))->setValue(0.75f);
    Picture picture(*frame, 1.0);
    EXPECT_EQ(picture.rgb(20, 20), (std::array<uint8_t, 3>{0, 0, 0}));
}

class ZAVKickButtonTest : public ControlTest {
protected:
    ZAVKickButton* button = add(new ZAVKickButton(kButton, &recorder, 62, 20, strip(24, 20, 2)));
};

TEST_F(ZAVKickButtonTest, StepAmountFollowsTheModifiers) {
    EXPECT_FLOAT_EQ(button->getStep(), 1.0f);
    struct Case {
        int32_t buttons;
        float step;
    };
    for (const Case& c : {Case{kLButton, 1.0f}, Case{kLButton | kShift, 10.0f}, Case{kLButton | kControl, 100.0f},
                          Case{kLButton | kShift | kControl, 100.0f}, Case{kLButton, 1.0f}}) {
        SCOPED_TRACE(c.buttons);
        recorder.events.clear();
        click(kInside, c.buttons);
        EXPECT_FLOAT_EQ(button->getStep(), c.step);
        EXPECT_EQ(recorder.notifiedValues(), std::vector<float>{1.0f});
    }
}

TEST_F(ZAVKickButtonTest, PressNotifiesInsideOneEditAndReleaseOnlyRedraws) {
    EXPECT_EQ(frame->mouseDown(kInside, CButtonState(kLButton)), kMouseEventHandled);
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(recorder.listenerEvents(), (std::vector<std::string>{"begin 62", "changed 62 1", "end 62"}));
    EXPECT_EQ(frameShown(kButton), 1);

    frame->mouseUp(kInside, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(recorder.listenerEvents().size(), 3u);  // nothing more on release
    EXPECT_EQ(frameShown(kButton), 0);
}

TEST_F(ZAVKickButtonTest, StaysPressedWhileDraggedAwayAndReleasesOutside) {
    frame->mouseDown(kInside, CButtonState(kLButton));
    const CPoint outside{150, 100};
    frame->mouseMoved(outside, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    frame->mouseUp(outside, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(frameShown(kButton), 0);
    EXPECT_EQ(recorder.notifiedValues(), std::vector<float>{1.0f});
}

TEST_F(ZAVKickButtonTest, RightClickIsNotHandledAndKeepsTheStep) {
    click(kInside, kLButton | kShift);
    recorder.events.clear();
    EXPECT_EQ(frame->mouseDown(kInside, CButtonState(kRButton)), kMouseEventNotHandled);
    EXPECT_FLOAT_EQ(button->getStep(), 10.0f);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_TRUE(recorder.notifiedValues().empty());
}

}  // namespace
}  // namespace ruvane::testing
