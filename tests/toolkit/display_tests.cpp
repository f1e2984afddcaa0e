// CParamDisplay and CTextLabel: value text and its hook, styles, colours, alignment and
// the background piece chosen by the back offset.
#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/param_display.h"
#include "toolkit/text_label.h"
#include "toolkit_test_support.h"

namespace toolkit_test {
namespace {

constexpr CColor kBack{20, 40, 90, 255};
constexpr CColor kFrameLine{250, 200, 0, 255};
constexpr CColor kText{255, 255, 255, 255};
constexpr CColor kShadow{255, 0, 0, 255};

TEST(ParamDisplay, DefaultsAreWhiteOnBlackCentredWithTwoDecimals) {
    auto* display = new CParamDisplay(CRect(0, 0, 50, 20));
    EXPECT_EQ(display->getFontColor(), kWhiteCColor);
    EXPECT_EQ(display->getBackColor(), kBlackCColor);
    EXPECT_EQ(display->getFrameColor(), kBlackCColor);
    EXPECT_EQ(display->getShadowColor(), kRedCColor);
    EXPECT_EQ(display->getHoriAlign(), kCenterText);
    EXPECT_EQ(display->getTag(), -1);
    EXPECT_EQ(display->getListener(), nullptr);
    display->setValue(0.25f);
    EXPECT_EQ(display->valueText(), "0.25");
    display->setPrecision(0);
    EXPECT_EQ(display->valueText(), "0");
    display->forget();
}

TEST(ParamDisplay, TheHookGetsThePlainValueAndItsTextWins) {
    auto* display = new CParamDisplay(CRect(0, 0, 50, 20));
    display->setMax(10);
    display->setValue(7.5f);
    float seen = -1;
    display->setValueToStringFunction([&](float value, char text[256], CParamDisplay*) {
        seen = value;
        std::strcpy(text, "7.5 dB");
        return true;
    });
    EXPECT_EQ(display->valueText(), "7.5 dB");
    EXPECT_EQ(seen, 7.5f);
    display->setValueToStringFunction([](float, char text[256], CParamDisplay*) {
        std::memset(text, 'x', 256);  // no terminator: must stay inside the buffer
        return true;
    });
    EXPECT_EQ(display->valueText().size(), 255u);
    display->setValueToStringFunction([](float, char[256], CParamDisplay*) { return false; });
    EXPECT_EQ(display->valueText(), "7.50");
    display->forget();
}

TEST(ParamDisplay, SettersMarkDirtyOnlyOnARealChange) {
    auto* display = new CParamDisplay(CRect(0, 0, 50, 20));
    display->setDirty(false);
    display->setFontColor(kWhiteCColor);
    display->setHoriAlign(kCenterText);
    display->setStyle(0);
    EXPECT_FALSE(display->isDirty());
    display->setBackColor(kBack);
    EXPECT_TRUE(display->isDirty());
    display->setDirty(false);
    display->setFont(CFontDesc{});
    EXPECT_TRUE(display->isDirty()) << "the font always marks it dirty";
    display->forget();
}

// Draws one display alone on a transparent canvas.
struct DisplayCase {
    int32_t style;
    bool fill;         // back colour inside
    bool frameLine;    // frame colour on the border
    bool text;         // white text pixels
    bool shadow;       // red shadow pixels
};

TEST(ParamDisplay, StylesDecideFillFrameTextAndShadow) {
    const std::pair<const char*, DisplayCase> cases[] = {
        {"plain", {0, true, true, true, false}},
        {"no frame", {kNoFrame, true, false, true, false}},
        {"no text", {kNoTextStyle, true, true, false, false}},
        {"shadow", {kShadowText, true, true, true, true}},
        {"no draw", {kNoDrawStyle, false, false, false, false}},
        {"7680 is invisible", {7680, false, false, false, false}},
        {"3D in: no plain frame, top edge in the back colour", {k3DIn, true, false, true, false}},
    };
    for (const auto& [name, c] : cases) {
        for (double scale : {1.0, 2.0}) {
            FrameFixture f;
            auto* display = f.add(new CParamDisplay(CRect(10, 10, 90, 40), nullptr, c.style));
            display->setBackColor(kBack);
            display->setFrameColor(kFrameLine);
            display->setShadowColor(kShadow);
            display->setFont(CFontDesc{"Arial", 16, kBoldFace});
            display->setValue(0.75f);
            Canvas canvas(200, 100, scale);
            canvas.paintWith([&](CDrawContext& context) { display->draw(&context); });
            const int s = static_cast<int>(scale);
            EXPECT_EQ(canvas.pixel(14 * s, 14 * s) == kBack, c.fill) << name << " @" << scale;
            EXPECT_EQ(canvas.pixel(50 * s, 10 * s) == kFrameLine, c.frameLine) << name << " @" << scale;
            EXPECT_EQ(canvas.count(20 * s, 12 * s, 80 * s, 38 * s, near(kText, 10)) > 10, c.text) << name;
            EXPECT_EQ(canvas.count(20 * s, 12 * s, 82 * s, 40 * s, near(kShadow, 10)) > 5, c.shadow) << name;
        }
    }
}

TEST(ParamDisplay, ThreeDEdgesSwapColoursBetweenInAndOut) {
    for (int32_t style : {int32_t{k3DIn}, int32_t{k3DOut}}) {
        FrameFixture f;
        auto* display = f.add(new CParamDisplay(CRect(10, 10, 90, 40), nullptr, style | kNoTextStyle));
        display->setBackColor(kBack);
        display->setFrameColor(kFrameLine);
        Canvas canvas(200, 100, 1);
        canvas.paintWith([&](CDrawContext& context) { display->draw(&context); });
        const CColor topLeft = style == k3DIn ? kBack : kFrameLine;
        const CColor bottomRight = style == k3DIn ? kFrameLine : kBack;
        EXPECT_EQ(canvas.pixel(50, 10), topLeft) << style;
        EXPECT_EQ(canvas.pixel(10, 25), topLeft) << style;
        EXPECT_EQ(canvas.pixel(50, 39), bottomRight) << style;
        EXPECT_EQ(canvas.pixel(89, 25), bottomRight) << style;
    }
}

TEST(ParamDisplay, AlignmentPlacesTheText) {
    struct Case {
        CHoriTxtAlign align;
        int minLeft, maxLeft, minRight, maxRight;
    };
    // "0.75" at Arial 14 is about 28 px wide; the display is 10..110.
    const Case cases[] = {
        {kLeftText, 10, 13, 30, 50},
        {kCenterText, 40, 50, 65, 80},
        {kRightText, 70, 90, 105, 110},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        auto* display = f.add(new CParamDisplay(CRect(10, 10, 110, 40), nullptr, kNoFrame));
        display->setTransparency(true);
        display->setFont(CFontDesc{"Arial", 14});
        display->setHoriAlign(c.align);
        display->setValue(0.75f);
        Canvas canvas(200, 100, 1);
        canvas.paintWith([&](CDrawContext& context) { display->draw(&context); });
        const auto [left, right] = canvas.columnSpan(0, 0, 200, 100, [](CColor p) { return p.alpha > 128; });
        EXPECT_GE(left, c.minLeft) << c.align;
        EXPECT_LE(left, c.maxLeft) << c.align;
        EXPECT_GE(right, c.minRight) << c.align;
        EXPECT_LE(right, c.maxRight) << c.align;
    }
}

TEST(ParamDisplay, TextIsVerticallyCentred) {
    FrameFixture f;
    auto* display = f.add(new CParamDisplay(CRect(0, 0, 100, 40), nullptr, kNoFrame));
    display->setTransparency(true);
    display->setFont(CFontDesc{"Arial", 20});
    display->setValue(0.75f);
    Canvas canvas(100, 40, 1);
    canvas.paintWith([&](CDrawContext& context) { display->draw(&context); });
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < 40; ++y) {
        if (canvas.count(0, y, 100, y + 1, [](CColor p) { return p.alpha > 128; }) > 0) {
            if (top < 0) top = y;
            bottom = y;
        }
    }
    EXPECT_NEAR((top + bottom) / 2.0, 20, 2) << "digits sit on the middle line";
}

TEST(ParamDisplay, BackgroundPieceComesFromTheBackOffset) {
    // A 3-frame strip 40 px wide, 10 px per frame: offset (0, 20) shows frame 2.
    FrameFixture f;
    CBitmap* strip = makeStrip(40, 10, 3, true);
    auto* display = f.add(new CParamDisplay(CRect(100, 50, 140, 60), strip, kNoTextStyle));
    strip->forget();
    display->setBackOffset(CPoint(0, 20));
    for (double scale : {1.0, 2.0}) {
        Canvas canvas(200, 100, scale);
        canvas.paint(*f.frame);
        const int s = static_cast<int>(scale);
        EXPECT_EQ(canvas.pixel(120 * s, 55 * s), frameColour(2)) << scale;
        EXPECT_EQ(canvas.pixel(139 * s, 59 * s), frameColour(2)) << scale;
    }
}

TEST(TextLabel, ShowsItsTextNotTheValue) {
    FrameFixture f;
    auto* label = f.add(new CTextLabel(CRect(0, 0, 100, 30), "Ruvane"));
    label->setDirty(false);
    label->setText("Ruvane");
    EXPECT_FALSE(label->isDirty());
    label->setText("Delay");
    EXPECT_TRUE(label->isDirty());
    EXPECT_EQ(label->getText(), "Delay");
    label->setFont(CFontDesc{"Arial", 18});
    Canvas canvas(100, 30, 1);
    canvas.paintWith([&](CDrawContext& context) { label->draw(&context); });
    const auto [left, right] = canvas.columnSpan(0, 0, 100, 30, near(kWhiteCColor, 10));
    EXPECT_GT(right - left, 30) << "five letters of 18 px text";
}

}  // namespace
}  // namespace toolkit_test
