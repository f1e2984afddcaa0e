// Switches, kick and on/off buttons, the rocker and the movie bitmap: positions from the
// mouse, notifications, edit brackets and the frame each value shows.
#include <gtest/gtest.h>

#include "toolkit/buttons.h"
#include "toolkit/movie_bitmap.h"
#include "toolkit/switches.h"
#include "toolkit_test_support.h"

namespace toolkit_test {
namespace {

const std::vector<std::string> kEditOf9Begin = {"listener begin 9", "editor begin 9"};

// ---- horizontal and vertical switches ----

TEST(HorizontalSwitch, MouseZonesDivideTheBitmapWidthAndValuesAreKOverNMinusOne) {
    struct Case {
        CCoord x;
        float expected;
    };
    // 30 px wide bitmap, 3 positions: zones of 10 px.
    const Case cases[] = {{100, 0.f}, {109.9, 0.f}, {110, 0.5f}, {119, 0.5f}, {120, 1.f}, {129, 1.f}, {150, 1.f}, {80, 0.f}};
    for (const Case& c : cases) {
        FrameFixture f;
        CBitmap* strip = makeStrip(30, 13, 3);
        auto* sw = f.add(new CHorizontalSwitch(CRect(100, 10, 130, 23), &f.listener, 9, 3, 13, 3, strip));
        strip->forget();
        sw->setValue(0.5f);
        f.frame->idle();
        f.frame->mouseDown({std::clamp<CCoord>(c.x, 100, 129), 15}, kLButton);
        f.frame->mouseMoved({c.x, 15}, kLButton);
        f.frame->mouseUp({c.x, 15}, kLButton);
        EXPECT_FLOAT_EQ(sw->getValue(), c.expected) << "x " << c.x;
    }
}

TEST(HorizontalSwitch, EachNewPositionNotifiesOnceAndReleaseNever) {
    FrameFixture f;
    CBitmap* strip = makeStrip(30, 13, 3);
    auto* sw = f.add(new CHorizontalSwitch(CRect(100, 10, 130, 23), &f.listener, 9, 3, 13, 3, strip));
    strip->forget();
    f.frame->idle();
    f.frame->mouseDown({101, 15}, kLButton);  // position 0 = current: silent
    f.frame->mouseMoved({112, 15}, kLButton);
    f.frame->mouseMoved({115, 15}, kLButton);  // same zone
    f.frame->mouseMoved({125, 15}, kLButton);
    f.frame->mouseUp({125, 15}, kLButton);
    const std::vector<std::string> expected = {"listener begin 9", "editor begin 9", "changed 9=0.5", "changed 9=1",
                                               "editor end 9", "listener end 9"};
    EXPECT_EQ(f.log.entries, expected);
    EXPECT_EQ(sw->frameIndex(), 2);
}

TEST(VerticalSwitch, ZonesAreTheFrameHeightDividedByPositions) {
    struct Case {
        CCoord y;
        float expected;
    };
    // 5 positions on a 50 px frame: zones of 10 px; values k / 4.
    const Case cases[] = {{0, 0.f}, {9, 0.f}, {10, 0.25f}, {25, 0.5f}, {49, 1.f}};
    for (const Case& c : cases) {
        FrameFixture f;
        CBitmap* strip = makeStrip(10, 50, 5);
        auto* sw = f.add(new CVerticalSwitch(CRect(0, 0, 10, 50), &f.listener, 9, 5, 50, 5, strip));
        strip->forget();
        f.click({5, c.y});
        EXPECT_FLOAT_EQ(sw->getValue(), c.expected) << "y " << c.y;
    }
}

TEST(Switch, DefaultValueIsTheFirstPositionByCtrlClick) {
    FrameFixture f;
    CBitmap* strip = makeStrip(30, 13, 3);
    auto* sw = f.add(new CHorizontalSwitch(CRect(100, 10, 130, 23), &f.listener, 9, 3, 13, 3, strip));
    strip->forget();
    sw->setValue(1.f);
    EXPECT_EQ(f.frame->mouseDown({125, 15}, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(sw->getValue(), 0.f);
}

TEST(Switch, DrawingRoundsToTheNearestFrame) {
    struct Case {
        float value;
        int32_t frame;
    };
    const Case cases[] = {{0.f, 0}, {0.24f, 0}, {0.25f, 1}, {0.5f, 1}, {0.74f, 1}, {0.75f, 2}, {1.f, 2}};
    FrameFixture f;
    CBitmap* strip = makeStrip(30, 13, 3);
    auto* sw = f.add(new CHorizontalSwitch(CRect(100, 10, 130, 23), &f.listener, 9, 3, 13, 3, strip));
    strip->forget();
    for (const Case& c : cases) {
        sw->setValue(c.value);
        EXPECT_EQ(sw->frameIndex(), c.frame) << c.value;
        Canvas canvas(200, 100, 1);
        canvas.paint(*f.frame);
        EXPECT_EQ(canvas.pixel(115, 16), frameColour(c.frame)) << c.value;
    }
}

TEST(Switch, ArrowKeysStepOnePosition) {
    FrameFixture f;
    CBitmap* strip = makeStrip(10, 50, 5);
    auto* sw = f.add(new CVerticalSwitch(CRect(0, 0, 10, 50), &f.listener, 9, 5, 50, 5, strip));
    strip->forget();
    f.frame->idle();
    KeyCode down{0, kKeyDown, 0};
    EXPECT_EQ(sw->onKeyDown(down), 1);
    EXPECT_FLOAT_EQ(sw->getValue(), 0.25f);
    KeyCode up{0, kKeyUp, 0};
    sw->onKeyDown(up);
    sw->onKeyDown(up);  // already at the top: silent
    EXPECT_FLOAT_EQ(sw->getValue(), 0.f);
    EXPECT_EQ(std::count(f.log.entries.begin(), f.log.entries.end(), "changed 9=0.25"), 1);
    EXPECT_EQ(std::count(f.log.entries.begin(), f.log.entries.end(), "changed 9=0"), 1);
}

// ---- kick button ----

struct KickFixture : FrameFixture {
    CKickButton* button;
    KickFixture() {
        CBitmap* strip = makeStrip(20, 10, 2);
        button = add(new CKickButton(CRect(10, 10, 30, 20), &listener, 9, 10, strip));
        strip->forget();
        frame->idle();
    }
};

TEST(KickButton, AClickSendsMaxThenMinOnReleaseInsideOneEditPair) {
    KickFixture f;
    f.frame->mouseDown({15, 15}, kLButton);
    EXPECT_EQ(f.button->getValue(), 1.f);
    EXPECT_EQ(f.log.entries, kEditOf9Begin) << "nothing is sent on press";
    f.frame->mouseUp({15, 15}, kLButton);
    const std::vector<std::string> expected = {"listener begin 9", "editor begin 9", "changed 9=1", "changed 9=0",
                                               "editor end 9", "listener end 9"};
    EXPECT_EQ(f.log.entries, expected);
    EXPECT_EQ(f.button->getValue(), 0.f);
}

TEST(KickButton, ReleasingOutsideSendsOnlyMin) {
    KickFixture f;
    f.frame->mouseDown({15, 15}, kLButton);
    f.frame->mouseMoved({50, 50}, kLButton);
    EXPECT_EQ(f.button->getValue(), 0.f);
    f.frame->mouseMoved({30, 20}, kLButton);  // edges count as inside
    EXPECT_EQ(f.button->getValue(), 1.f);
    f.frame->mouseMoved({31, 20}, kLButton);
    f.frame->mouseUp({31, 20}, kLButton);
    const std::vector<std::string> expected = {"listener begin 9", "editor begin 9", "changed 9=0", "editor end 9",
                                               "listener end 9"};
    EXPECT_EQ(f.log.entries, expected);
}

TEST(KickButton, DrawsThePressedFrameWhileHeld) {
    KickFixture f;
    Canvas idle(200, 100, 1);
    idle.paint(*f.frame);
    EXPECT_EQ(idle.pixel(20, 15), frameColour(0));
    f.frame->mouseDown({15, 15}, kLButton);
    Canvas pressed(200, 100, 1);
    pressed.paint(*f.frame);
    EXPECT_EQ(pressed.pixel(20, 15), frameColour(1));
    f.frame->mouseUp({15, 15}, kLButton);
}

// ---- on/off button ----

TEST(OnOffButton, TogglesOnReleaseInsideAndBracketsAnEditEitherWay) {
    struct Case {
        CPoint release;
        float start;
        float expected;
        bool notifies;
    };
    const Case cases[] = {
        {{15, 15}, 0.f, 1.f, true},  {{15, 15}, 1.f, 0.f, true},  {{15, 15}, 0.3f, 1.f, true},
        {{30, 15}, 0.f, 0.f, false},  // right edge is outside
        {{90, 90}, 1.f, 1.f, false},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        CBitmap* strip = makeStrip(20, 10, 2);
        auto* button = f.add(new COnOffButton(CRect(10, 10, 30, 20), &f.listener, 9, strip));
        strip->forget();
        button->setValue(c.start);
        EXPECT_EQ(f.frame->mouseDown({15, 15}, kLButton), kMouseEventHandled);
        EXPECT_EQ(button->getValue(), c.start) << "nothing happens on press";
        f.frame->mouseMoved(c.release, kLButton);
        f.frame->mouseUp(c.release, kLButton);
        EXPECT_EQ(button->getValue(), c.expected);
        std::vector<std::string> expected = {"listener begin 9", "editor begin 9"};
        if (c.notifies) {
            char text[32];
            std::snprintf(text, sizeof(text), "changed 9=%g", static_cast<double>(c.expected));
            expected.push_back(text);
        }
        expected.insert(expected.end(), {"editor end 9", "listener end 9"});
        EXPECT_EQ(f.log.entries, expected) << c.start;
    }
}

TEST(OnOffButton, DrawsTheLowerHalfWhenOn) {
    FrameFixture f;
    CBitmap* strip = makeStrip(20, 10, 2, true);
    auto* button = f.add(new COnOffButton(CRect(10, 10, 30, 20), &f.listener, 9, strip));
    strip->forget();
    for (double scale : {1.0, 2.0}) {
        button->setValue(1.f);
        Canvas on(200, 100, scale);
        on.paint(*f.frame);
        EXPECT_EQ(on.pixel(static_cast<int>(20 * scale), static_cast<int>(15 * scale)), frameColour(1));
        button->setValue(0.f);
        Canvas off(200, 100, scale);
        off.paint(*f.frame);
        EXPECT_EQ(off.pixel(static_cast<int>(20 * scale), static_cast<int>(15 * scale)), frameColour(0));
    }
}

// ---- rocker ----

TEST(RockerSwitch, HeldSideWhilePressedBackToCentreSilentlyOnRelease) {
    struct Case {
        CPoint press;
        float held;
    };
    // 40 px wide from x = 10: middle at 30 (the exact middle gives min).
    const Case cases[] = {{{15, 15}, -1.f}, {{30, 15}, -1.f}, {{31, 15}, 1.f}, {{49.5, 19.5}, 1.f}};
    for (const Case& c : cases) {
        FrameFixture f;
        CBitmap* strip = makeStrip(40, 10, 3);
        auto* rocker = f.add(new CRockerSwitch(CRect(10, 10, 50, 20), &f.listener, 9, 10, strip));
        strip->forget();
        f.frame->idle();
        EXPECT_EQ(rocker->getValue(), 0.f);
        f.frame->mouseDown(c.press, kLButton);
        EXPECT_EQ(rocker->getValue(), c.held);
        f.frame->mouseUp(c.press, kLButton);
        EXPECT_EQ(rocker->getValue(), 0.f);
        char text[32];
        std::snprintf(text, sizeof(text), "changed 9=%g", static_cast<double>(c.held));
        const std::vector<std::string> expected = {"listener begin 9", "editor begin 9", text, "editor end 9",
                                                   "listener end 9"};
        EXPECT_EQ(f.log.entries, expected);
    }
}

TEST(RockerSwitch, MovingOutsideReturnsToTheEntryValue) {
    FrameFixture f;
    CBitmap* strip = makeStrip(40, 10, 3);
    auto* rocker = f.add(new CRockerSwitch(CRect(10, 10, 50, 20), &f.listener, 9, 10, strip));
    strip->forget();
    f.frame->mouseDown({45, 15}, kLButton);
    f.frame->mouseMoved({80, 15}, kLButton);
    EXPECT_EQ(rocker->getValue(), 0.f);
    f.frame->mouseMoved({12, 15}, kLButton);
    EXPECT_EQ(rocker->getValue(), -1.f);
    f.frame->mouseUp({12, 15}, kLButton);
}

TEST(RockerSwitch, FramesAreMinCentreMax) {
    FrameFixture f;
    CBitmap* strip = makeStrip(40, 10, 3);
    auto* rocker = f.add(new CRockerSwitch(CRect(10, 10, 50, 20), &f.listener, 9, 10, strip));
    strip->forget();
    for (auto [value, frame] : {std::pair{-1.f, 0}, std::pair{0.f, 1}, std::pair{1.f, 2}}) {
        rocker->setValue(value);
        Canvas canvas(200, 100, 1);
        canvas.paint(*f.frame);
        EXPECT_EQ(canvas.pixel(30, 15), frameColour(frame)) << value;
    }
}

TEST(RockerSwitch, VerticalKeysEndTheirEditOnKeyUp) {
    FrameFixture f;
    auto* rocker = f.add(new CRockerSwitch(CRect(10, 10, 50, 20), &f.listener, 9, 10, nullptr, {}, kVertical));
    KeyCode down{0, kKeyDown, 0};
    rocker->onKeyDown(down);
    EXPECT_EQ(rocker->getValue(), 1.f);
    EXPECT_TRUE(rocker->isEditing());
    rocker->onKeyUp(down);
    EXPECT_EQ(rocker->getValue(), 0.f);
    EXPECT_FALSE(rocker->isEditing()) << "every key-down's edit is closed";
}

TEST(RockerSwitch, WheelRocksAndReturnsToTheCentre200MsAfterTheLastNotch) {
    FrameFixture f;
    auto* rocker = f.add(new CRockerSwitch(CRect(10, 10, 50, 20), &f.listener, 9, 10, nullptr));
    uint64_t now = 5000;
    rocker->setClock([&] { return now; });
    f.frame->idle();
    EXPECT_TRUE(f.frame->wheel({20, 15}, 1, {}));
    EXPECT_EQ(rocker->getValue(), -1.f);
    now += 150;
    f.frame->idle();
    EXPECT_TRUE(f.frame->wheel({20, 15}, 1, {}));  // same side again: restarts the wait, no new message
    now += 199;
    f.frame->idle();
    EXPECT_EQ(rocker->getValue(), -1.f) << "still within 200 ms of the last notch";
    now += 1;
    f.frame->idle();
    EXPECT_EQ(rocker->getValue(), 0.f);
    const std::vector<std::string> expected = {"listener begin 9", "editor begin 9", "changed 9=-1", "changed 9=0",
                                               "editor end 9", "listener end 9"};
    EXPECT_EQ(f.log.entries, expected);
    f.log.clear();
    f.frame->wheel({20, 15}, -1, {});
    now += 500;
    f.frame->idle();
    EXPECT_EQ(f.log.entries, (std::vector<std::string>{"listener begin 9", "editor begin 9", "changed 9=1",
                                                       "changed 9=0", "editor end 9", "listener end 9"}));
}

// ---- movie bitmap ----

TEST(MovieBitmap, FrameRoundsToNearestOverNMinusOneAndClicksStopThere) {
    struct Case {
        float value;
        int32_t frame;
    };
    const Case cases[] = {{0.f, 0}, {0.024f, 0}, {0.025f, 1}, {0.5f, 10}, {0.974f, 19}, {0.975f, 20}, {1.f, 20}};
    FrameFixture f;
    CBitmap* strip = makeStrip(7, 45, 21, true);
    auto* meter = f.add(new CMovieBitmap(CRect(43, 23, 50, 68), &f.listener, 68, 21, 45, strip));
    strip->forget();
    for (const Case& c : cases) {
        meter->setValue(c.value);
        EXPECT_EQ(meter->frameIndex(), c.frame) << c.value;
        for (double scale : {1.0, 2.0}) {
            Canvas canvas(200, 100, scale);
            canvas.paint(*f.frame);
            const int s = static_cast<int>(scale);
            EXPECT_EQ(canvas.pixel(47 * s, 40 * s), frameColour(c.frame)) << c.value << " at " << scale;
        }
    }
    EXPECT_EQ(f.frame->mouseDown({45, 30}, kLButton), kMouseEventNotImplemented)
        << "display only, and opaque: the click stops there";
    EXPECT_TRUE(f.log.entries.empty());
}

TEST(MovieBitmap, WithoutACountTheViewHeightDecides) {
    CBitmap* strip = makeStrip(3, 16, 2);
    auto* lamp = new CMovieBitmap(CRect(0, 0, 3, 16), nullptr, 0, strip);
    EXPECT_EQ(lamp->getNumSubPixmaps(), 2);
    lamp->setValue(1.f);
    EXPECT_EQ(lamp->frameIndex(), 1);
    strip->forget();
    lamp->forget();
}

}  // namespace
}  // namespace toolkit_test
