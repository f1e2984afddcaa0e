// CFrame: z-order dispatch, tracking, hover, modal view, splash screen, focus and keys,
// double-click detection, invalidation and drawing of bitmaps at 1x and 2x.
#include <gtest/gtest.h>

#include "toolkit/buttons.h"
#include "toolkit/splash_screen.h"
#include "toolkit_test_support.h"

namespace toolkit_test {
namespace {

// A view that records what reaches it and answers with a chosen result.
class ProbeView : public CView {
public:
    ProbeView(const CRect& size, EventLog& log, std::string name, CMouseEventResult downResult = kMouseEventHandled)
        : CView(size), log(log), name(std::move(name)), downResult(downResult) {}

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        log.add(name + " down" + (buttons.isDoubleClick() ? " double" : ""));
        lastDown = where;
        return downResult;
    }
    CMouseEventResult onMouseMoved(CPoint&, const CButtonState& buttons) override {
        log.add(name + " moved " + std::to_string(buttons.value()));
        return movedResult;
    }
    CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override {
        log.add(name + " up");
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseEntered(CPoint&, const CButtonState&) override {
        log.add(name + " entered");
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseExited(CPoint&, const CButtonState&) override {
        log.add(name + " exited");
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint&, float distance, const CButtonState&) override {
        log.add(name + " wheel " + std::to_string(static_cast<int>(distance)));
        return wheelResult;
    }
    int32_t onKeyDown(KeyCode& key) override {
        log.add(name + " key " + std::to_string(key.virtualKey));
        return keyResult;
    }
    void takeFocus() override { log.add(name + " takeFocus"); }
    void looseFocus() override { log.add(name + " looseFocus"); }

    EventLog& log;
    std::string name;
    CMouseEventResult downResult;
    CMouseEventResult movedResult = kMouseEventHandled;
    bool wheelResult = true;
    int32_t keyResult = 1;
    CPoint lastDown;
};

TEST(FrameDispatch, TopMostViewGetsTheClickAndTracksMovesAndUp) {
    FrameFixture f;
    f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "bottom"));
    auto* top = f.add(new ProbeView(CRect(50, 50, 150, 100), f.log, "top"));
    EXPECT_EQ(f.frame->mouseDown({60, 60}, kLButton), kMouseEventHandled);
    EXPECT_EQ(top->lastDown, CPoint(60, 60)) << "points arrive in frame coordinates";
    f.frame->mouseMoved({5, 5}, kLButton);  // outside the view: still tracked
    f.frame->mouseUp({5, 5}, kLButton);
    const std::vector<std::string> expected = {"top down", "top moved 2", "top up", "bottom entered"};
    EXPECT_EQ(f.log.entries, expected);
}

TEST(FrameDispatch, TransparentViewsPassUnhandledClicksDownOpaqueOnesStopThem) {
    struct Case {
        bool transparent;
        CMouseEventResult topAnswer;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {true, kMouseEventNotHandled, {"top down", "bottom down"}},
        {true, kMouseEventNotImplemented, {"top down", "bottom down"}},
        {false, kMouseEventNotHandled, {"top down"}},
        {true, kMouseEventHandled, {"top down"}},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "bottom"));
        auto* top = f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "top", c.topAnswer));
        top->setTransparency(c.transparent);
        f.frame->mouseDown({10, 10}, kLButton);
        EXPECT_EQ(f.log.entries, c.expected);
    }
}

TEST(FrameDispatch, HiddenAndDisabledViewsAreSkipped) {
    FrameFixture f;
    f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "bottom"));
    auto* hidden = f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "hidden"));
    auto* disabled = f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "disabled"));
    hidden->setVisible(false);
    disabled->setMouseEnabled(false);
    f.frame->mouseDown({10, 10}, kLButton);
    EXPECT_EQ(f.log.entries.front(), "bottom down");
}

TEST(FrameDispatch, NoFollowUpEventsAfterHandledButDontNeedMovedOrUp) {
    FrameFixture f;
    f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "v", kMouseDownEventHandledButDontNeedMovedOrUpEvents));
    EXPECT_EQ(f.frame->mouseDown({10, 10}, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    f.log.clear();
    f.frame->mouseMoved({12, 12}, kLButton);
    EXPECT_EQ(f.frame->mouseUp({12, 12}, kLButton), kMouseEventNotHandled);
    for (const std::string& entry : f.log.entries) {
        EXPECT_EQ(entry.find("v up"), std::string::npos);
        EXPECT_EQ(entry.find("v moved 2"), std::string::npos) << "only hover moves (no button bits) may arrive";
    }
}

TEST(FrameDispatch, TrackingEndsWhenTheViewStopsHandlingMoves) {
    FrameFixture f;
    auto* view = f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "v"));
    f.frame->mouseDown({10, 10}, kLButton);
    view->movedResult = kMouseMoveEventHandledButDontNeedMoreEvents;
    EXPECT_EQ(f.frame->mouseMoved({11, 11}, kLButton), kMouseEventNotHandled);
    EXPECT_EQ(f.frame->mouseUp({11, 11}, kLButton), kMouseEventNotHandled);
}

TEST(FrameHover, EnterAndExitFollowThePointerButNotDuringADrag) {
    FrameFixture f;
    f.add(new ProbeView(CRect(0, 0, 50, 50), f.log, "a"));
    f.add(new ProbeView(CRect(100, 0, 150, 50), f.log, "b"));
    f.frame->mouseMoved({10, 10}, {});
    f.frame->mouseMoved({20, 20}, kShift);
    f.frame->mouseMoved({120, 10}, {});
    f.frame->mouseMoved({80, 80}, {});
    const std::vector<std::string> expected = {"a entered", "a moved 0",  "a moved 16", "a exited",
                                               "b entered", "b moved 0",  "b exited"};
    EXPECT_EQ(f.log.entries, expected) << "hover moves carry the modifiers but no buttons";

    f.log.clear();
    f.frame->mouseDown({10, 10}, kLButton);
    f.frame->mouseMoved({120, 10}, kLButton);  // dragging from a into b: no hover changes
    f.frame->mouseUp({120, 10}, kLButton);     // after the release: recomputed
    const std::vector<std::string> afterDrag = {"a down", "a moved 2", "a up", "b entered"};
    EXPECT_EQ(f.log.entries, afterDrag);

    f.log.clear();
    f.frame->mouseExitedWindow();
    EXPECT_EQ(f.log.entries, std::vector<std::string>{"b exited"});
}

TEST(FrameWheel, GoesToTheViewUnderThePointer) {
    FrameFixture f;
    f.add(new ProbeView(CRect(0, 0, 100, 100), f.log, "bottom"));
    auto* top = f.add(new ProbeView(CRect(0, 0, 50, 50), f.log, "top"));
    top->wheelResult = false;
    top->setTransparency(true);
    EXPECT_TRUE(f.frame->wheel({10, 10}, -2, {}));
    const std::vector<std::string> expected = {"top wheel -2", "bottom wheel -2", "top entered"};
    EXPECT_EQ(f.log.entries, expected);
}

TEST(FrameModal, OnlyTheModalViewGetsMouseAndKeysWhileSet) {
    FrameFixture f;
    f.add(new ProbeView(CRect(0, 0, 200, 100), f.log, "under"));
    auto* modal = new ProbeView(CRect(50, 20, 150, 80), f.log, "modal");
    ASSERT_TRUE(f.frame->setModalView(modal));
    EXPECT_EQ(modal->getNbReference(), 2) << "the frame holds its own reference";
    auto* second = new ProbeView(CRect(0, 0, 1, 1), f.log, "second");
    EXPECT_FALSE(f.frame->setModalView(second)) << "one at a time";
    second->forget();
    EXPECT_EQ(f.frame->mouseDown({10, 10}, kLButton), kMouseEventNotHandled) << "outside the modal view";
    EXPECT_EQ(f.frame->mouseDown({60, 30}, kLButton), kMouseEventHandled);
    f.frame->mouseUp({60, 30}, kLButton);
    KeyCode key{0, kKeyUp, 0};
    f.frame->keyDown(key);
    EXPECT_EQ(f.log.entries, (std::vector<std::string>{"modal down", "modal up", "modal entered", "modal key 12"}));
    EXPECT_TRUE(f.frame->setModalView(nullptr));
    EXPECT_EQ(modal->getNbReference(), 1);
    EXPECT_FALSE(f.frame->isChild(modal));
    f.log.clear();
    f.frame->mouseDown({10, 10}, kLButton);
    EXPECT_EQ(f.log.entries.back(), "under down");
    modal->forget();
}

TEST(FrameModal, AViewMayReleaseItselfFromItsOwnHandler) {
    // The about screen's pattern: on click the view clears the modal view, dropping
    // the last reference while its own handler still runs.
    class SelfClosing : public CView {
    public:
        using CView::CView;
        CMouseEventResult onMouseDown(CPoint&, const CButtonState&) override {
            getFrame()->setModalView(nullptr);
            return kMouseEventHandled;
        }
    };
    FrameFixture f;
    auto* view = new SelfClosing(CRect(0, 0, 200, 100));
    ASSERT_TRUE(f.frame->setModalView(view));
    view->forget();  // only the frame holds it now
    EXPECT_EQ(f.frame->mouseDown({10, 10}, kLButton), kMouseEventHandled);
    EXPECT_EQ(f.frame->getModalView(), nullptr);
    EXPECT_EQ(f.frame->mouseUp({10, 10}, kLButton), kMouseEventNotHandled) << "the released view is not tracked";
}

TEST(SplashScreen, LeftClickShowsThePictureModallyAndAClickOnItHidesIt) {
    FrameFixture f;
    CBitmap* picture = makeStrip(200, 100, 1);
    auto* splash = f.add(new CSplashScreen(CRect(10, 10, 30, 20), &f.listener, 70, picture, CRect(0, 0, 200, 100)));
    picture->forget();
    EXPECT_FALSE(splash->hitTest({15, 15}, kRButton)) << "right clicks go to the views below";
    EXPECT_EQ(f.frame->mouseDown({15, 15}, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(f.frame->getModalView(), splash->getSplashView());
    EXPECT_EQ(f.log.entries, std::vector<std::string>{"changed 70=1"});
    Canvas canvas(200, 100, 1);
    canvas.paint(*f.frame);
    EXPECT_EQ(canvas.pixel(100, 50), frameColour(0)) << "the picture covers the frame";

    f.frame->mouseDown({100, 50}, kLButton);
    EXPECT_EQ(f.frame->getModalView(), nullptr);
    EXPECT_EQ(splash->getValue(), 0.f);
    EXPECT_EQ(f.log.entries, (std::vector<std::string>{"changed 70=1", "changed 70=0"}));
    // Shown again on the next click: the picture view is kept for reuse.
    f.frame->mouseDown({15, 15}, kLButton);
    EXPECT_EQ(f.frame->getModalView(), splash->getSplashView());
}

TEST(SplashScreen, RemovingItWhileShownTakesThePictureAway) {
    FrameFixture f;
    CBitmap* picture = makeStrip(200, 100, 1);
    auto* splash = f.add(new CSplashScreen(CRect(10, 10, 30, 20), &f.listener, 70, picture, CRect(0, 0, 200, 100)));
    picture->forget();
    f.frame->mouseDown({15, 15}, kLButton);
    CView* shown = f.frame->getModalView();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(f.frame->removeView(splash));
    EXPECT_EQ(f.frame->getModalView(), nullptr);
    EXPECT_FALSE(f.frame->isChild(shown));
    EXPECT_EQ(f.frame->getNbViews(), 0);
}

TEST(FrameFocus, FocusMovesWithClicksOnViewsThatWantItAndKeysGoThere) {
    FrameFixture f;
    auto* a = f.add(new ProbeView(CRect(0, 0, 50, 50), f.log, "a"));
    auto* b = f.add(new ProbeView(CRect(100, 0, 150, 50), f.log, "b"));
    a->setWantsFocus(true);
    b->setWantsFocus(true);
    b->keyResult = -1;
    f.frame->mouseDown({10, 10}, kLButton);
    f.frame->mouseUp({10, 10}, kLButton);
    EXPECT_EQ(f.frame->getFocusView(), a);
    f.frame->mouseDown({110, 10}, kLButton);
    f.frame->mouseUp({110, 10}, kLButton);
    EXPECT_EQ(f.frame->getFocusView(), b);
    f.log.clear();
    EXPECT_EQ(f.frame->keyDown(KeyCode{'x', 0, 0}), -1);
    EXPECT_EQ(f.frame->keyDown(KeyCode{0, kKeyTab, 0}), 1) << "Tab moves the focus on";
    EXPECT_EQ(f.frame->getFocusView(), a);
    EXPECT_EQ(f.log.entries,
              (std::vector<std::string>{"b key 0", "b key 2", "b looseFocus", "a takeFocus"}));
}

TEST(FrameDoubleClick, SecondPressWithin400MsAnd5PixelsOfTheFirst) {
    struct Case {
        const char* name;
        uint32_t secondTime;
        CPoint secondPoint;
        bool moveFarBetween;
        bool doubleClick;
    };
    const Case cases[] = {
        {"quick and still", 1200, {20, 20}, false, true},
        {"at 400 ms", 1400, {20, 20}, false, true},
        {"at 401 ms", 1401, {20, 20}, false, false},
        {"5 px away", 1100, {25, 15}, false, true},
        {"6 px away", 1100, {26, 20}, false, false},
        {"moved away and back", 1100, {20, 20}, true, false},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        f.add(new ProbeView(CRect(0, 0, 200, 100), f.log, "v"));
        f.frame->mouseDown({20, 20}, kLButton, 1000);
        f.frame->mouseUp({20, 20}, kLButton);
        if (c.moveFarBetween) {
            f.frame->mouseMoved({40, 20}, {});
            f.frame->mouseMoved({20, 20}, {});
        }
        f.frame->mouseDown(c.secondPoint, kLButton, c.secondTime);
        f.frame->mouseUp(c.secondPoint, kLButton);
        std::vector<std::string> downs;
        for (const std::string& entry : f.log.entries) {
            if (entry.rfind("v down", 0) == 0) downs.push_back(entry);
        }
        ASSERT_EQ(downs.size(), 2u) << c.name;
        EXPECT_EQ(downs[1] == "v down double", c.doubleClick) << c.name;
    }
}

TEST(FrameDoubleClick, PressesWithoutATimeNeverPair) {
    FrameFixture f;
    f.add(new ProbeView(CRect(0, 0, 200, 100), f.log, "v"));
    f.click({20, 20});
    f.click({20, 20});
    EXPECT_EQ(std::count(f.log.entries.begin(), f.log.entries.end(), "v down double"), 0);
}

TEST(FrameDoubleClick, AThirdPressStartsANewPairAndButtonsMustMatch) {
    FrameFixture f;
    f.add(new ProbeView(CRect(0, 0, 200, 100), f.log, "v"));
    f.click({20, 20}, kLButton, 1000);
    f.click({20, 20}, kLButton, 1100);
    f.click({20, 20}, kLButton, 1200);
    f.click({20, 20}, kRButton, 1300);
    std::vector<std::string> downs;
    for (const std::string& entry : f.log.entries) {
        if (entry.rfind("v down", 0) == 0) downs.push_back(entry);
    }
    EXPECT_EQ(downs, (std::vector<std::string>{"v down", "v down double", "v down", "v down"}))
        << "the third press starts a pair; a right press after a left one is not a double-click";
}

TEST(FrameInvalidation, IdleInvalidatesDirtyControlsAndAreasMerge) {
    FrameFixture f;
    auto* a = f.add(new CControl(CRect(10, 10, 20, 20)));
    auto* b = f.add(new CControl(CRect(50, 10, 60, 20)));
    f.frame->takeInvalidRects();
    f.frame->idle();
    EXPECT_TRUE(f.frame->getInvalidRects().empty()) << "nothing changed since being added";
    a->setValue(0.5f);
    b->setValue(0.5f);
    f.frame->idle();
    const std::vector<CRect> areas = f.frame->takeInvalidRects();
    EXPECT_EQ(areas, (std::vector<CRect>{CRect(10, 10, 20, 20), CRect(50, 10, 60, 20)}));
    EXPECT_FALSE(a->isDirty());

    f.frame->invalidRect(CRect(12, 12, 14, 14));
    f.frame->invalidRect(CRect(0, 0, 30, 30));  // swallows the small one
    f.frame->invalidRect(CRect(5, 5, 6, 6));    // inside the big one: dropped
    f.frame->invalidRect(CRect(190, 90, 400, 400));  // clipped to the frame
    EXPECT_EQ(f.frame->getInvalidRects(), (std::vector<CRect>{CRect(0, 0, 30, 30), CRect(190, 90, 200, 100)}));
}

TEST(FrameDrawing, BackgroundThenViewsInZOrderClippedToTheArea) {
    FrameFixture f;
    CBitmap* background = makeStrip(200, 100, 1, true);
    f.frame->setBackground(background);
    background->forget();
    CBitmap* strip = makeStrip(20, 10, 2, true);
    auto* lower = f.add(new COnOffButton(CRect(10, 10, 30, 20), nullptr, 1, strip));
    auto* upper = f.add(new COnOffButton(CRect(20, 10, 40, 20), nullptr, 2, strip));
    strip->forget();
    lower->setValue(0);
    upper->setValue(1);
    for (double scale : {1.0, 2.0}) {
        const int s = static_cast<int>(scale);
        Canvas canvas(200, 100, scale);
        canvas.paint(*f.frame);
        EXPECT_EQ(canvas.pixel(100 * s, 50 * s), frameColour(0)) << scale;
        EXPECT_EQ(canvas.pixel(15 * s, 15 * s), frameColour(0)) << scale;
        EXPECT_EQ(canvas.pixel(25 * s, 15 * s), frameColour(1)) << "the later view lies above, scale " << scale;
        if (scale == 2) {
            EXPECT_EQ(canvas.pixel(0, 150), kWhiteCColor) << "background drawn from its 2x image";
            EXPECT_EQ(canvas.pixel(1, 150), frameColour(0));
        }
        // An area that excludes the upper button leaves its pixels alone.
        Canvas partial(200, 100, scale);
        {
            CDrawContext context(cairo_create(partial.getSurface()), scale);
            f.frame->drawArea(&context, CRect(0, 0, 22, 100));
            cairo_destroy(context.cairo());
        }
        EXPECT_EQ(partial.pixel(21 * s, 15 * s), frameColour(1));
        EXPECT_EQ(partial.pixel(23 * s, 15 * s).alpha, 0) << "outside the area nothing is drawn";
    }
}

TEST(FrameViews, RemoveViewForgetsAndClearsStateAndAddViewRefusesDuplicates) {
    FrameFixture f;
    auto* view = f.add(new ProbeView(CRect(0, 0, 50, 50), f.log, "v"));
    EXPECT_FALSE(f.frame->addView(view));
    view->setWantsFocus(true);
    f.frame->mouseDown({10, 10}, kLButton);
    EXPECT_EQ(f.frame->getFocusView(), view);
    view->remember();
    EXPECT_TRUE(f.frame->removeView(view));
    EXPECT_EQ(view->getNbReference(), 1);
    EXPECT_EQ(f.frame->getFocusView(), nullptr);
    EXPECT_EQ(f.frame->mouseUp({10, 10}, kLButton), kMouseEventNotHandled) << "the removed view is not tracked";
    EXPECT_EQ(view->getFrame(), nullptr);
    view->forget();
    EXPECT_EQ(f.frame->getNbViews(), 0);
}

TEST(Bitmap, DecodesPngsAndKeepsOnlyAnExactDoubleAs2x) {
    CBitmap* both = makeStrip(10, 5, 3, true);
    EXPECT_TRUE(both->isLoaded());
    EXPECT_TRUE(both->hasImage2x());
    EXPECT_EQ(both->getWidth(), 10);
    EXPECT_EQ(both->getHeight(), 15);
    both->forget();

    cairo_surface_t* oneX = makeStripSurface(10, 5, 3, 1);
    cairo_surface_t* wrong = makeStripSurface(11, 5, 3, 2);
    const std::vector<uint8_t> png1 = pngBytes(oneX);
    const std::vector<uint8_t> png2 = pngBytes(wrong);
    auto* mismatched = new CBitmap(png1, png2);
    EXPECT_TRUE(mismatched->isLoaded());
    EXPECT_FALSE(mismatched->hasImage2x());
    mismatched->forget();
    cairo_surface_destroy(oneX);
    cairo_surface_destroy(wrong);

    const std::vector<uint8_t> garbage = {1, 2, 3, 4, 5};
    auto* broken = new CBitmap(garbage);
    EXPECT_FALSE(broken->isLoaded());
    EXPECT_EQ(broken->getWidth(), 0);
    broken->forget();

    std::vector<uint8_t> truncated = png1;
    truncated.resize(truncated.size() / 2);
    auto* cut = new CBitmap(truncated);
    EXPECT_FALSE(cut->isLoaded());
    cut->forget();
}

TEST(Bitmap, OneXPictureOnA2xContextIsEnlarged) {
    FrameFixture f;
    CBitmap* strip = makeStrip(20, 10, 2, /*with2x=*/false);
    f.add(new COnOffButton(CRect(10, 10, 30, 20), nullptr, 1, strip));
    strip->forget();
    Canvas canvas(200, 100, 2);
    canvas.paint(*f.frame);
    EXPECT_EQ(canvas.pixel(40, 30), frameColour(0));
}

}  // namespace
}  // namespace toolkit_test
