// The value display: which reading it shows, and how readings become digit frames.
#include "effect/editor/value_display.h"

#include <gtest/gtest.h>

#include <string>

#include "effect/engine/parameters.h"

namespace ruvane {
namespace {

// The display as text: per digit its frame ('_' blank, '0'-'9', '-', '+'), then the lit
// decimal point '.' after a digit and the lit separator lamp ':' after a digit.
std::string shown(const DisplayFrames& frames) {
    std::string text;
    for (int d = 0; d < 4; ++d) {
        const int count = d == 0 ? kFirstDigitFrames : kDigitFrames;
        const int frame = static_cast<int>(frames.digits[static_cast<std::size_t>(d)] * (count - 1) + 0.5f);
        text += frame == 0 ? '_' : frame <= 10 ? static_cast<char>('0' + frame - 1) : frame == 11 ? '-' : '+';
        if (d < 3 && frames.points[static_cast<std::size_t>(d)] == 1.0f) text += '.';
        if (d < 3 && frames.separators[static_cast<std::size_t>(d)] == 1.0f) text += ':';
    }
    return text;
}

DisplayReading number(int value, int decimalPosition, bool showsSign = false, int separator = 0) {
    DisplayReading reading;
    reading.number = value;
    reading.decimalPosition = decimalPosition;
    reading.showsSign = showsSign ? 1 : 0;
    reading.separator = separator;
    return reading;
}

DisplayReading fraction(int numerator, int denominator) {
    DisplayReading reading;
    reading.fractionNumerator = numerator;
    reading.fractionDenominator = denominator;
    return reading;
}

struct RenderCase {
    const char* what;
    DisplayReading reading;
    bool blinkVisible;
    std::string expected;
};

class ValueDisplayRendering : public ::testing::TestWithParam<RenderCase> {};

TEST_P(ValueDisplayRendering, ShowsTheReading) {
    EXPECT_EQ(shown(renderReading(GetParam().reading, GetParam().blinkVisible)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, ValueDisplayRendering,
    ::testing::Values(
        // 2000 ms, 250.5 ms and 4.6 ms of delay.
        RenderCase{"WholeNumber", number(2000, 0), true, "2000"},
        RenderCase{"PointAfterDigitThree", number(2505, 3), true, "250.5"},
        RenderCase{"PointAfterDigitOne", number(4600, 1), true, "4.600"},
        RenderCase{"LeadingZeroShows", number(1200, 3), true, "120.0"},
        // Signed: one digit less and the point a place further right; -100 dB has none.
        RenderCase{"MinusHundred", number(-1000, 3, true), true, "-100"},
        RenderCase{"PlusTwelvePointThree", number(1234, 2, true), true, "+12.3"},
        RenderCase{"MinusFivePointOneTwo", number(-5123, 1, true), true, "-5.12"},
        RenderCase{"ZeroIsPlus", number(0, 1, true), true, "+0.00"},
        // Pair readings light a separator lamp: 50/50, full wet, full dry.
        RenderCase{"HalfAndHalf", number(5050, 0, false, 2), true, "50:50"},
        RenderCase{"FullWet", number(100, 0, false, 1), true, "0:100"},
        RenderCase{"FullDry", number(1000, 0, false, 3), true, "100:0"},
        // Fractions: numerator, separator 2, the denominator right-aligned.
        RenderCase{"SmallDenominator", fraction(3, 8), true, "3_:_8"},
        RenderCase{"TwoDigitDenominator", fraction(9, 96), true, "9_:96"},
        RenderCase{"FractionInItsDarkPhase", fraction(9, 96), false, "____"}),
    [](const ::testing::TestParamInfo<RenderCase>& info) { return std::string(info.param.what); });

TEST(ValueDisplayReadingChoice, EditedControlReadsItsOwnOrItsModesReading) {
    const SyncModes free{};
    const SyncModes sync{true, true, true};
    EXPECT_EQ(readingForEditedTag(kFltCutoff, free, 0), kFltCutoff);
    EXPECT_EQ(readingForEditedTag(kTempoReading, free, 0), kTempoReading);
    EXPECT_EQ(readingForEditedTag(kModLfoRate, free, 0), kModLfoRate);
    EXPECT_EQ(readingForEditedTag(kModLfoRate, sync, 0), kModLfoNum);
    EXPECT_EQ(readingForEditedTag(kDlyLTime, free, 0), kDlyLTime);
    EXPECT_EQ(readingForEditedTag(kDlyLTime, sync, 0), kDlyLNum);
    EXPECT_EQ(readingForEditedTag(kDlyRTime, sync, 0), kDlyRNum);
    // A switch or button has no reading: the one shown before stays.
    EXPECT_EQ(readingForEditedTag(kFltType, free, kMainMix), kMainMix);
    EXPECT_EQ(readingForEditedTag(62, free, kRvbAmt), kRvbAmt);
}

TEST(ValueDisplayReadingChoice, MouseAreasComeBeforeTheKnobUnderTheMouse) {
    const SyncModes free{};
    const SyncModes leftSync{true, false, false};
    // Corners of the areas are inside (inclusive bounds).
    EXPECT_EQ(readingAtPoint(302, 81, -1, free), kModLfoRate);
    EXPECT_EQ(readingAtPoint(364, 136, -1, SyncModes{false, false, true}), kModLfoNum);
    EXPECT_EQ(readingAtPoint(88, 19, -1, free), kDlyLTime);
    EXPECT_EQ(readingAtPoint(150, 74, -1, leftSync), kDlyLNum);
    EXPECT_EQ(readingAtPoint(120, 100, -1, leftSync), kDlyRTime);
    // A knob inside an area does not win over the area.
    EXPECT_EQ(readingAtPoint(120, 40, kDlyLFb, free), kDlyLTime);
    EXPECT_EQ(readingAtPoint(700, 40, kMainMix, free), kMainMix);
    EXPECT_EQ(readingAtPoint(700, 40, -1, free), kTempoReading);
    EXPECT_EQ(readingAtPoint(-1, -1, -1, free), kTempoReading);
}

}  // namespace
}  // namespace ruvane
