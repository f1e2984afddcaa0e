// CAbout and CSplashScreenMyView: the splash comes up as the modal view, shows the
// about bitmap and the version, and goes away (released) when clicked.
#include "effect/editor/controls/about.h"

#include <string_view>

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

// The version rectangle as it looks with `text` drawn the way the splash draws its
// version (white Arial 11, left-aligned) over the picture's flat colour.
std::vector<std::array<uint8_t, 3>> versionRectWith(std::string_view text) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 120);
    cairo_t* cr = cairo_create(surface);
    const auto& flat = kFrameColours[0];
    cairo_set_source_rgb(cr, flat[0] / 255.0, flat[1] / 255.0, flat[2] / 255.0);
    cairo_paint(cr);
    {
        CDrawContext context(cr, 1.0);
        context.setFont(CFontDesc{"Arial", 11, kNormalFace});
        context.setFontColor(CColor{255, 255, 255, 255});
        context.drawString(text, kVersionRect, kLeftText, true);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::vector<std::array<uint8_t, 3>> pixels;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = static_cast<int>(kVersionRect.top); y < kVersionRect.bottom; ++y)
        for (int x = static_cast<int>(kVersionRect.left); x < kVersionRect.right; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, data + y * stride + x * 4, sizeof pixel);
            pixels.push_back({static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                              static_cast<uint8_t>(pixel)});
        }
    cairo_surface_destroy(surface);
    return pixels;
}

// The splash shows the product's version, v.1.6.0, and not some other text: its
// version rectangle matches that text drawn alone, and a neighbouring version looks
// different enough for the comparison to tell them apart.
TEST_F(AboutTest, SplashShowsTheProductVersion) {
    click(kOnTrigger, kLButton);
    ASSERT_NE(splash(), nullptr);
    Picture shot(*frame, 1.0);
    std::vector<std::array<uint8_t, 3>> shown;
    for (CCoord y = kVersionRect.top; y < kVersionRect.bottom; ++y)
        for (CCoord x = kVersionRect.left; x < kVersionRect.right; ++x) shown.push_back(shot.rgb(x, y));
    EXPECT_TRUE(shown == versionRectWith("v.1.6.0")) << "the splash does not show v.1.6.0";
    ASSERT_FALSE(versionRectWith("v.1.6.1") == versionRectWith("v.1.6.0"));
    EXPECT_FALSE(shown == versionRectWith("v.1.6.1"));
}

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
