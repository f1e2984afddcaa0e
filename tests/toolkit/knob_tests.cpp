// CKnob and CAnimKnob: linear drag and its fine drag, the wheel, the default-value
// gesture, the knob mode from the frame, circular mode and the film-strip frame.
#include <gtest/gtest.h>

#include "toolkit/knob.h"
#include "toolkit_test_support.h"

namespace toolkit_test {
namespace {

struct KnobFixture : FrameFixture {
    CAnimKnob* knob;
    explicit KnobFixture(float zoom = 5.f, int32_t knobMode = kLinearMode) {
        editor.knobMode = knobMode;
        CBitmap* strip = makeStrip(20, 20, 101);
        knob = add(new CAnimKnob(CRect(50, 40, 70, 60), &listener, 4, 101, 20, strip));
        strip->forget();
        knob->setZoomFactor(zoom);
    }
    // Press at `start`, move through `moves` (each with its own buttons), release.
    void drag(CPoint start, CButtonState pressButtons, std::initializer_list<std::pair<CPoint, int32_t>> moves) {
        frame->mouseDown(start, pressButtons);
        for (const auto& [to, buttons] : moves) {
            frame->mouseMoved(to, CButtonState(buttons));
        }
        frame->mouseUp(moves.size() ? (moves.end() - 1)->first : start, pressButtons);
    }
};

TEST(Knob, LinearDragCoversTheRangeIn200PixelsUpAndRightBothCount) {
    struct Case {
        const char* name;
        CPoint to;
        float start;
        float expected;
    };
    const Case cases[] = {
        {"20 up", {60, 30}, 0.5f, 0.6f},
        {"20 down", {60, 70}, 0.5f, 0.4f},
        {"20 right", {80, 50}, 0.5f, 0.6f},
        {"20 left", {40, 50}, 0.5f, 0.4f},
        {"diagonal up-right counts twice", {80, 30}, 0.5f, 0.7f},
        {"up-left cancels", {40, 30}, 0.5f, 0.5f},
        {"beyond the top clamps", {60, -300}, 0.5f, 1.f},
        {"beyond the bottom clamps", {60, 400}, 0.5f, 0.f},
    };
    for (const Case& c : cases) {
        KnobFixture f;
        f.knob->setValue(c.start);
        f.frame->idle();
        f.drag({60, 50}, kLButton, {{c.to, kLButton}});
        EXPECT_NEAR(f.knob->getValue(), c.expected, 1e-5) << c.name;
    }
}

TEST(Knob, ShiftAtPressDragsFineByTheZoomFactor) {
    struct Case {
        float zoom;
        CCoord pixelsUp;
        float expected;
    };
    const Case cases[] = {{5.f, 100, 0.6f}, {5.f, 1000, 1.f}, {1.5f, 30, 0.6f}, {1.5f, 150, 1.f}};
    for (const Case& c : cases) {
        KnobFixture f(c.zoom);
        f.knob->setValue(c.zoom == 5.f && c.pixelsUp == 1000 ? 0.f : 0.5f);
        f.drag({60, 50}, kLButton | kShift, {{{60, 50 - c.pixelsUp}, kLButton | kShift}});
        EXPECT_NEAR(f.knob->getValue(), c.expected, 1e-4) << "zoom " << c.zoom << " up " << c.pixelsUp;
    }
}

TEST(Knob, ChangingShiftDuringTheDragDoesNotMoveTheValue) {
    KnobFixture f;
    f.knob->setValue(0.5f);
    f.frame->mouseDown({60, 50}, kLButton);
    f.frame->mouseMoved({60, 30}, kLButton);  // 20 px coarse: +0.1
    EXPECT_NEAR(f.knob->getValue(), 0.6f, 1e-5);
    f.frame->mouseMoved({60, 30}, kLButton | kShift);  // Shift pressed, no movement
    EXPECT_NEAR(f.knob->getValue(), 0.6f, 1e-5);
    f.frame->mouseMoved({60, 10}, kLButton | kShift);  // 20 px fine: +0.1 / 5
    EXPECT_NEAR(f.knob->getValue(), 0.62f, 1e-5);
    f.frame->mouseMoved({60, 10}, kLButton);  // Shift released, no movement
    EXPECT_NEAR(f.knob->getValue(), 0.62f, 1e-5);
    f.frame->mouseMoved({60, 0}, kLButton);  // 10 px coarse: +0.05
    EXPECT_NEAR(f.knob->getValue(), 0.67f, 1e-5);
    f.frame->mouseUp({60, 0}, kLButton);
}

TEST(Knob, DragNotifiesEachDistinctValueOnceInsideOneEditPair) {
    KnobFixture f;
    f.knob->setValue(0.5f);
    f.frame->idle();  // drawn: the value on screen is the value
    f.drag({60, 50}, kLButton, {{{60, 50}, kLButton}, {{60, 48}, kLButton}, {{60, 48}, kLButton}, {{60, 46}, kLButton}});
    const std::vector<std::string> expected = {"listener begin 4", "editor begin 4", "changed 4=0.51",
                                               "changed 4=0.52", "editor end 4", "listener end 4"};
    EXPECT_EQ(f.log.entries, expected);
}

TEST(Knob, AClickAloneChangesNothingButStillBracketsAnEdit) {
    KnobFixture f;
    f.knob->setValue(0.3f);
    f.frame->idle();
    f.click({60, 50});
    EXPECT_EQ(f.knob->getValue(), 0.3f);
    const std::vector<std::string> expected = {"listener begin 4", "editor begin 4", "editor end 4", "listener end 4"};
    EXPECT_EQ(f.log.entries, expected);
}

TEST(Knob, CtrlClickRestoresTheDefaultWithOneEditPairAndNoDrag) {
    KnobFixture f;
    f.knob->setDefaultValue(0.25f);
    f.knob->setValue(0.8f);
    EXPECT_EQ(f.frame->mouseDown({60, 50}, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    f.frame->mouseMoved({60, 0}, kLButton | kControl);
    f.frame->mouseUp({60, 0}, kLButton | kControl);
    EXPECT_EQ(f.knob->getValue(), 0.25f) << "no drag follows the default gesture";
    const std::vector<std::string> expected = {"modifier 4",     "listener begin 4", "editor begin 4",
                                               "changed 4=0.25", "editor end 4",     "listener end 4"};
    EXPECT_EQ(f.log.entries, expected);
}

TEST(Knob, AModifierClickTheListenerTakesNeverReachesTheKnob) {
    KnobFixture f;
    f.listener.modifierAnswer = [](CButtonState) { return 1; };
    f.knob->setValue(0.8f);
    EXPECT_EQ(f.frame->mouseDown({60, 50}, kLButton | kControl), kMouseEventHandled);
    f.frame->mouseMoved({60, 0}, kLButton | kControl);
    EXPECT_EQ(f.knob->getValue(), 0.8f);
    EXPECT_EQ(f.log.entries, std::vector<std::string>{"modifier 4"});
}

TEST(Knob, OnlyThePlainLeftButtonDrags) {
    for (int32_t buttons : {int32_t{kRButton}, int32_t{kMButton}, int32_t{kLButton | kRButton}}) {
        KnobFixture f;
        f.knob->setValue(0.5f);
        EXPECT_EQ(f.frame->mouseDown({60, 50}, buttons), kMouseEventNotHandled) << buttons;
        f.frame->mouseMoved({60, 0}, buttons);
        EXPECT_EQ(f.knob->getValue(), 0.5f);
    }
}

TEST(Knob, WheelStepsByTheIncrementOrATenthWithShift) {
    struct Case {
        float distance;
        int32_t buttons;
        float expected;
    };
    const Case cases[] = {
        {1, 0, 0.53125f}, {-1, 0, 0.46875f}, {3, 0, 0.59375f}, {1, kShift, 0.503125f}, {40, 0, 1.f}, {-40, 0, 0.f},
    };
    for (const Case& c : cases) {
        KnobFixture f;
        f.knob->setWheelInc(0.03125f);
        f.knob->setValue(0.5f);
        f.frame->idle();
        EXPECT_TRUE(f.frame->wheel({60, 50}, c.distance, CButtonState(c.buttons)));
        EXPECT_NEAR(f.knob->getValue(), c.expected, 1e-6) << c.distance << " " << c.buttons;
        ASSERT_EQ(f.log.entries.size(), 5u) << ::testing::PrintToString(f.log.entries);
        EXPECT_EQ(f.log.entries[0], "listener begin 4");
        EXPECT_EQ(f.log.entries[2].rfind("changed 4=", 0), 0u);
        EXPECT_EQ(f.log.entries[4], "listener end 4");
    }
}

TEST(Knob, WheelAtTheEndOfTheRangeIsConsumedButSilent) {
    KnobFixture f;
    f.knob->setValue(1.f);
    f.knob->setDirty(false);
    EXPECT_TRUE(f.frame->wheel({60, 50}, 1, {}));
    EXPECT_TRUE(f.log.entries.empty());
}

TEST(Knob, FrameKnobModeDecidesAndAltSwapsIt) {
    // Circular: the first movement jumps to the pointer's angle (straight up = middle).
    struct Case {
        int32_t editorMode;
        int32_t pressButtons;
        bool expectLinear;
    };
    const Case cases[] = {
        {kLinearMode, kLButton, true},
        {kLinearMode, kLButton | kAlt, false},
        {kCircularMode, kLButton, false},
        {-1, kLButton, false},  // no preference: the toolkit's default, circular
        {kCircularMode, kLButton | kAlt, true},
    };
    for (const Case& c : cases) {
        KnobFixture f(5.f, c.editorMode);
        f.knob->setValue(0.f);
        // Press at the centre, move 1 px right and to the top edge of the knob.
        f.drag({60, 50}, CButtonState(c.pressButtons), {{{60, 41}, c.pressButtons}});
        if (c.expectLinear) {
            EXPECT_NEAR(f.knob->getValue(), 9.f / 200, 1e-5) << c.editorMode << " " << c.pressButtons;
        } else {
            EXPECT_NEAR(f.knob->getValue(), 0.5f, 1e-5) << c.editorMode << " " << c.pressButtons;
        }
    }
}

TEST(Knob, CircularValueFromPointFollowsTheArc) {
    auto* knob = new CKnob(CRect(0, 0, 40, 40), nullptr, 0, nullptr);
    knob->setInsetValue(0);
    struct Case {
        CPoint where;
        float expected;
    };
    // Start 135 degrees (lower left), 270 degrees clockwise.
    const Case cases[] = {
        {{20, 0}, 0.5f}, {{40, 20}, 225.f / 270}, {{0, 20}, 45.f / 270}, {{0, 40}, 0.f}, {{40, 40}, 1.f},
        {{19, 40}, 0.f},  // just left of straight down: past the start, pinned to min
        {{21, 40}, 1.f},  // just right of straight down: past the end, pinned to max
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(knob->valueFromPoint(c.where), c.expected, 1e-4) << c.where.x << "," << c.where.y;
    }
    knob->forget();
}

TEST(AnimKnob, FrameIsTheFloorOverNMinusOneSoOnlyTheMaximumShowsTheLast) {
    struct Case {
        float value;
        int32_t frame;
    };
    const Case cases[] = {{0.f, 0}, {0.004f, 0}, {0.0101f, 1}, {0.5f, 50}, {0.999f, 99}, {1.f, 100}};
    KnobFixture f;
    for (const Case& c : cases) {
        f.knob->setValue(c.value);
        EXPECT_EQ(f.knob->frameIndex(), c.frame) << c.value;
    }
    f.knob->setInverseBitmap(true);
    f.knob->setValue(1.f);
    EXPECT_EQ(f.knob->frameIndex(), 0);
}

TEST(AnimKnob, TheBitmapDecidesTheFrameCount) {
    CBitmap* strip = makeStrip(10, 10, 7);
    auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), nullptr, 0, 101, 10, strip);
    EXPECT_EQ(knob->getNumSubPixmaps(), 7);
    strip->forget();
    knob->forget();
}

TEST(AnimKnob, DrawsTheChosenFrameAt1xAnd2x) {
    for (double scale : {1.0, 2.0}) {
        FrameFixture f;
        CBitmap* strip = makeStrip(20, 20, 5, /*with2x=*/true);
        auto* knob = f.add(new CAnimKnob(CRect(10, 10, 30, 30), nullptr, 1, 5, 20, strip));
        strip->forget();
        knob->setValue(0.75f);  // floor(0.75 * 4) = frame 3
        Canvas canvas(200, 100, scale);
        canvas.paint(*f.frame);
        const int s = static_cast<int>(scale);
        EXPECT_EQ(canvas.pixel(15 * s, 15 * s), frameColour(3)) << "scale " << scale;
        EXPECT_EQ(canvas.pixel(29 * s + s - 1, 29 * s + s - 1), frameColour(3)) << "last pixel, scale " << scale;
        EXPECT_EQ(canvas.pixel(30 * s, 15 * s), kBlackCColor) << "nothing drawn outside the knob";
        if (scale == 2) {
            EXPECT_EQ(canvas.pixel(20, 25), kWhiteCColor) << "the 2x image is used pixel for pixel";
            EXPECT_EQ(canvas.pixel(21, 25), frameColour(3));
        }
        EXPECT_FALSE(knob->isDirty());
    }
}

}  // namespace
}  // namespace toolkit_test
