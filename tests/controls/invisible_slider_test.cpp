// CInvisibleSlider: drag distances and fine-drag factors, wheel, edits, type and copy.
#include "effect/editor/controls/invisible_slider.h"

#include <memory>

#include "control_harness.h"

namespace ruvane::testing {
namespace {

constexpr CRect kArea{20, 20, 120, 100};
constexpr CPoint kPress{70, 60};
constexpr int32_t kTag = 35;

class InvisibleSliderTest : public ControlTest {
protected:
    InvisibleSliderTest() { slider->setValue(0.5f); }

    // Press at kPress, move by (dx, dy), release; returns the value while still held.
    float drag(CCoord dx, CCoord dy, int32_t modifiers = 0) {
        frame->mouseDown(kPress, CButtonState(kLButton | modifiers));
        const CPoint to{kPress.x + dx, kPress.y + dy};
        frame->mouseMoved(to, CButtonState(kLButton | modifiers));
        const float value = slider->getValue();
        frame->mouseUp(to, CButtonState(kLButton | modifiers));
        return value;
    }
    void move(CCoord x, CCoord y, int32_t modifiers) { frame->mouseMoved({x, y}, CButtonState(kLButton | modifiers)); }

    CInvisibleSlider* slider = add(new CInvisibleSlider(kArea, &recorder, kTag));
};

TEST_F(InvisibleSliderTest, DragDistanceCountsUpAndHalfOfRight) {
    struct Case {
        CCoord dx, dy;
        int32_t modifiers;
        float change;
    };
    for (const Case& c : {Case{0, -10, 0, 0.01f}, Case{20, 0, 0, 0.01f}, Case{0, -10, kShift, 0.0025f},
                          Case{0, 10, 0, -0.01f}, Case{-20, 0, 0, -0.01f}, Case{10, -5, 0, 0.01f},
                          Case{40, -20, kShift, 0.01f}, Case{0, 0, 0, 0.0f}}) {
        SCOPED_TRACE(::testing::Message() << c.dx << ", " << c.dy << " modifiers " << c.modifiers);
        slider->setValue(0.5f);
        EXPECT_NEAR(drag(c.dx, c.dy, c.modifiers) - 0.5f, c.change, 1e-6);
    }
}

TEST_F(InvisibleSliderTest, ScaleFollowsTheRange) {
    slider->setMax(2.0f);
    slider->setValue(1.0f);
    EXPECT_NEAR(drag(0, -10), 1.02f, 1e-6);
    EXPECT_NEAR(drag(0, -10, kShift), 1.025f, 1e-6);  // 2 / 4000 per pixel
}

TEST_F(InvisibleSliderTest, ValueStaysInsideTheRange) {
    slider->setValue(0.995f);
    EXPECT_FLOAT_EQ(drag(0, -20), 1.0f);
    slider->setValue(0.002f);
    EXPECT_FLOAT_EQ(drag(-100, 0), 0.0f);
}

TEST_F(InvisibleSliderTest, ShiftDuringADragChangesTheScaleWithoutAJump) {
    frame->mouseDown(kPress, CButtonState(kLButton));
    move(70, 50, 0);
    EXPECT_NEAR(slider->getValue(), 0.51f, 1e-6);
    move(70, 50, kShift);  // Shift pressed: no change at this instant
    EXPECT_NEAR(slider->getValue(), 0.51f, 1e-6);
    move(70, 40, kShift);  // then 1/5000 per pixel, not 1/4000
    EXPECT_NEAR(slider->getValue(), 0.512f, 1e-6);
    move(70, 40, 0);  // Shift released: again no jump
    EXPECT_NEAR(slider->getValue(), 0.512f, 1e-6);
    move(70, 30, 0);  // back to 1/1000
    EXPECT_NEAR(slider->getValue(), 0.522f, 1e-6);
    frame->mouseUp({70, 30}, CButtonState(kLButton));
}

TEST_F(InvisibleSliderTest, ShiftHeldAtThePressThenReleasedGoesToTheCoarseScale) {
    frame->mouseDown(kPress, CButtonState(kLButton | kShift));
    move(70, 40, kShift);
    EXPECT_NEAR(slider->getValue(), 0.505f, 1e-6);  // 20 px at 1/4000
    move(70, 40, 0);
    EXPECT_NEAR(slider->getValue(), 0.505f, 1e-6);
    move(70, 30, 0);
    EXPECT_NEAR(slider->getValue(), 0.515f, 1e-6);
    move(70, 30, kShift);
    move(70, 20, kShift);
    EXPECT_NEAR(slider->getValue(), 0.517f, 1e-6);  // Shift again: 1/5000
    frame->mouseUp({70, 20}, CButtonState(kLButton));
}

TEST_F(InvisibleSliderTest, ADragIsOneEditWithAChangeForEveryMove) {
    frame->mouseDown(kPress, CButtonState(kLButton));
    EXPECT_TRUE(slider->isDragging());
    move(70, 50, 0);
    move(70, 40, 0);
    frame->mouseUp({70, 40}, CButtonState(kLButton));
    EXPECT_FALSE(slider->isDragging());
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"begin 35", "editor begin 35", "changed 35 0.5", "changed 35 0.51",
                                        "changed 35 0.52", "editor end 35", "end 35"}));
}

TEST_F(InvisibleSliderTest, OtherButtonsAndStrayEventsDoNothing) {
    EXPECT_EQ(frame->mouseDown(kPress, CButtonState(kRButton)), kMouseEventNotHandled);
    CPoint where{70, 10};
    EXPECT_EQ(slider->onMouseMoved(where, CButtonState(kLButton)), kMouseEventNotHandled);  // no press of its own
    EXPECT_EQ(slider->onMouseUp(where, CButtonState(kLButton)), kMouseEventHandled);
    frame->mouseMoved({70, 10}, CButtonState());  // hovering
    EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(InvisibleSliderTest, WheelStepsAndNotifiesInsideOneEdit) {
    struct Case {
        float start;
        float distance;
        int32_t modifiers;
        float after;
    };
    for (const Case& c : {Case{0.5f, 1, 0, 0.505f}, Case{0.5f, -2, 0, 0.49f}, Case{0.5f, 1, kShift, 0.5003f},
                          Case{0.5f, -3, kShift, 0.4991f}, Case{0.998f, 1, 0, 1.0f}, Case{0.001f, -1, 0, 0.0f}}) {
        SCOPED_TRACE(::testing::Message() << c.start << " by " << c.distance << " modifiers " << c.modifiers);
        slider->setValue(c.start);
        recorder.events.clear();
        EXPECT_TRUE(frame->wheel(kPress, c.distance, CButtonState(c.modifiers)));
        EXPECT_NEAR(slider->getValue(), c.after, 1e-6);
        ASSERT_EQ(recorder.listenerEvents().size(), 3u);
        EXPECT_EQ(recorder.listenerEvents().front(), "begin 35");
        EXPECT_EQ(recorder.listenerEvents().back(), "end 35");
    }
}

TEST_F(InvisibleSliderTest, WheelIgnoresTheWheelIncrementAndWorksWithoutAListener) {
    slider->setWheelInc(0.25f);
    slider->setListener(nullptr);
    EXPECT_TRUE(frame->wheel(kPress, 1, CButtonState()));
    EXPECT_NEAR(slider->getValue(), 0.505f, 1e-6);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(InvisibleSliderTest, DrawsNothing) {
    frame->setBackground(strip(200, 120, 1));
    slider->setValue(1.0f);
    EXPECT_EQ(frameShown(kArea), 0);
    EXPECT_EQ(frameShown(kArea, 2.0), 0);
}

TEST_F(InvisibleSliderTest, AnswersToItsOwnNameAndCopiesItsSettings) {
    EXPECT_STREQ(slider->getClassName(), "CInvisibleSlider");
    EXPECT_TRUE(slider->isTypeOf("CInvisibleSlider"));
    EXPECT_TRUE(slider->isTypeOf("CControl"));
    EXPECT_TRUE(slider->isTypeOf("CView"));
    EXPECT_FALSE(slider->isTypeOf("CKnob"));

    slider->setMax(2.0f);
    slider->setValue(1.25f);
    CView* copy = slider->newCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->isTypeOf("CInvisibleSlider"));
    auto* copied = static_cast<CInvisibleSlider*>(copy);
    EXPECT_EQ(copied->getTag(), kTag);
    EXPECT_FLOAT_EQ(copied->getMax(), 2.0f);
    EXPECT_FLOAT_EQ(copied->getValue(), 1.25f);
    EXPECT_TRUE(copied->getViewSize() == kArea);
    copy->forget();
}

}  // namespace
}  // namespace ruvane::testing
