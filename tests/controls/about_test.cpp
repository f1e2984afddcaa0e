// CAbout and CSplashScreenMyView: the splash comes up as the modal view, shows the
// about bitmap and the version, and goes away (released) when clicked.
#include "effect/editor/controls/about.h"

#include "control_harness.h"

namespace ruvane::testing {
namespace {

constexpr CRect kTrigger{60, 60, 100, 80};
constexpr CPoint kOnTrigger{80, 70};
constexpr CRect kDisplay{0, 0, 200, 120};
constexpr CPoint kVersionOrigin{90, 50};
constexpr CRect kVersionRect{90, 50, 190, 65};
constexpr int32_t kTag = 70;

class AboutTest : public ControlTest {
protected:
    CBitmap* picture = strip(200, 120, 1);
    CAbout* about = add(new CAbout(kTrigger, &recorder, kTag, picture, kDisplay, {}, kVersionOrigin));

    CSplashScreenMyView* splash() const { return dynamic_cast<CSplashScreenMyView*>(frame->getModalView()); }
};

TEST_F(AboutTest, LeftClickShowsTheSplashOverTheDisplayRectangle) {
    EXPECT_EQ(frame->mouseDown(kOnTrigger, CButtonState(kLButton)), kMouseEventHandled);
    frame->mouseUp(kOnTrigger, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(about->getValue(), 1.0f);
    ASSERT_NE(splash(), nullptr);
    EXPECT_TRUE(splash()->getViewSize() == kDisplay);
    EXPECT_EQ(splash()->getOwner(), about);
    EXPECT_EQ(splash()->getBackground(), picture);
    EXPECT_TRUE(splash()->versionTextRect() == kVersionRect);
    EXPECT_TRUE(recorder.notifiedValues().empty());  // the about trigger changes no parameter
}

TEST_F(AboutTest, OtherButtonsShowNothing) {
    EXPECT_EQ(frame->mouseDown(kOnTrigger, CButtonState(kRButton)), kMouseEventNotHandled);
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_FLOAT_EQ(about->getValue(), 0.0f);
}

TEST_F(AboutTest, SplashDrawsTheBitmapOpaqueAndTheVersionInWhite) {
    click(kOnTrigger, kLButton);
    ASSERT_NE(splash(), nullptr);
    Picture shot(*frame, 1.0);
    // The about bitmap everywhere outside the version text, the trigger included.
    EXPECT_EQ(shot.frameAt(5, 5), 0);
    EXPECT_EQ(shot.frameAt(80, 70), 0);
    EXPECT_EQ(shot.frameAt(195, 115), 0);
    EXPECT_EQ(shot.frameIn({0, 0, 200, 50}), 0);
    EXPECT_EQ(shot.frameIn({0, 65, 200, 120}), 0);
    // Glyph pixels (white at least half covering the red picture) in the version
    // rectangle, near its left edge (left-aligned), and no other colour.
    int glyph = 0;
    CCoord rightmost = 0;
    for (CCoord y = kVersionRect.top; y < kVersionRect.bottom; ++y)
        for (CCoord x = kVersionRect.left; x < kVersionRect.right; ++x) {
            const auto [red, green, blue] = shot.rgb(x, y);
            EXPECT_TRUE(red >= 200 && green == blue) << "not white over the picture at " << x << ", " << y;
            if (green >= 128) {
                ++glyph;
                rightmost = std::max(rightmost, x);
            }
        }
    EXPECT_GT(glyph, 15);
    EXPECT_LT(rightmost, kVersionRect.left + 60);  // "v.1.6.0" at 11 px is far narrower than 100
}

TEST_F(AboutTest, TheVersionTextIsTheProductVersion) { EXPECT_EQ(CSplashScreenMyView::kVersionText, "v.1.6.0"); }

TEST_F(AboutTest, ClickOnTheSplashClosesAndReleasesIt) {
    const int32_t viewsBefore = frame->getNbViews();
    click(kOnTrigger, kLButton);
    CSplashScreenMyView* shown = splash();
    ASSERT_NE(shown, nullptr);
    shown->remember();  // keep it alive to see that everyone else let go of it

    EXPECT_EQ(frame->mouseDown({10, 10}, CButtonState(kLButton)), kMouseEventHandled);
    frame->mouseUp({10, 10}, CButtonState(kLButton));
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_FLOAT_EQ(about->getValue(), 0.0f);
    EXPECT_EQ(frame->getNbViews(), viewsBefore);
    EXPECT_EQ(shown->getNbReference(), 1);
    shown->forget();

    // The panel is back: the trigger shows the splash again.
    click(kOnTrigger, kLButton);
    EXPECT_NE(splash(), nullptr);
    EXPECT_FLOAT_EQ(about->getValue(), 1.0f);
}

TEST_F(AboutTest, EventsAfterClosingReachThePanelAgain) {
    click(kOnTrigger, kLButton);
    frame->mouseDown({10, 10}, CButtonState(kLButton));
    // The splash is gone; moves, releases and hover must not reach it.
    frame->mouseMoved({12, 12}, CButtonState(kLButton));
    frame->mouseUp({12, 12}, CButtonState(kLButton));
    frame->mouseMoved({80, 70}, CButtonState());
    frame->mouseExitedWindow();
    EXPECT_EQ(frame->getModalView(), nullptr);
    Picture shot(*frame, 1.0);
    EXPECT_EQ(shot.frameAt(5, 5), -1);  // no background here: the splash is not drawn
}

TEST_F(AboutTest, SplashIgnoresOtherButtonsAndClicksElsewhereAreBlocked) {
    const CSplashScreenMyView* shown = (click(kOnTrigger, kLButton), splash());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(frame->mouseDown({10, 10}, CButtonState(kRButton)), kMouseEventNotHandled);
    EXPECT_EQ(splash(), shown);
    EXPECT_FLOAT_EQ(about->getValue(), 1.0f);
}

TEST_F(AboutTest, ClosingTheFrameWithTheSplashUpLeavesNothingBehind) {
    click(kOnTrigger, kLButton);
    CSplashScreenMyView* shown = splash();
    ASSERT_NE(shown, nullptr);
    shown->remember();
    frame->removeAll();
    EXPECT_EQ(shown->getNbReference(), 1);
    shown->forget();
}

TEST_F(AboutTest, SplashAnswersToItsOwnNameAndCopiesItself) {
    click(kOnTrigger, kLButton);
    ASSERT_NE(splash(), nullptr);
    EXPECT_STREQ(splash()->getClassName(), "CSplashScreenMyView");
    EXPECT_TRUE(splash()->isTypeOf("CSplashScreenMyView"));
    EXPECT_TRUE(splash()->isTypeOf("CControl"));
    CView* copy = splash()->newCopy();
    ASSERT_NE(copy, nullptr);
    auto* copied = dynamic_cast<CSplashScreenMyView*>(copy);
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->getOwner(), about);
    EXPECT_TRUE(copied->versionTextRect() == kVersionRect);
    EXPECT_EQ(copied->getBackground(), picture);
    copy->forget();
    EXPECT_STREQ(about->getClassName(), "CSplashScreen");
}

}  // namespace
}  // namespace ruvane::testing
