// Host controls for effect parameters: the value conversions, names, the class each
// kind of display gets, learned tables and the texts controls show.
#include <gtest/gtest.h>

#include "adapter/control_probe.h"
#include "adapter/framework/control_values.h"
#include "adapter/framework/number_formatter.h"
#include "adapter/vst_controls.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

TEST(ControlValues, SpanTheWholeIntegerRange) {
    const struct {
        double x, lo, hi;
        int32_t value;
    } cases[] = {
        {0.0, 0, 1, INT32_MIN},  {1.0, 0, 1, INT32_MAX},  {0.5, 0, 1, 0},        {-3.0, 0, 1, INT32_MIN},
        {7.0, 0, 1, INT32_MAX},  {NAN, 0, 1, INT32_MIN},  {50.0, 0, 100, 0},     {0.25, 0, 1, -1073741824},
        {-12.0, -24, 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ToControlValue(c.x, c.lo, c.hi), c.value) << c.x;
    EXPECT_DOUBLE_EQ(FromControlValue(INT32_MIN, 0, 1), 0.0);
    EXPECT_DOUBLE_EQ(FromControlValue(INT32_MAX, 0, 1), 1.0);
    EXPECT_DOUBLE_EQ(FromControlValue(INT32_MAX, -24, 6), 6.0);
    for (float x : {0.1f, 0.25f, 0.333f, 0.7f, 0.99f})
        EXPECT_EQ(static_cast<float>(FromControlValue(ToControlValue(x, 0, 1), 0, 1)), x) << x;
}

TEST(MultiName, IndexFullNameFiveAndThreeCharacters) {
    EXPECT_EQ(ParameterMultiName(3, "DlyL Time"), "3: DlyL Time\nDlyL \nDly\n");
    EXPECT_EQ(ParameterMultiName(47, "Mod Sens"), "47: Mod Sens\nMod S\nMod\n");
    EXPECT_EQ(ParameterMultiName(0, "In"), "0: In\nIn\nIn\n");
    EXPECT_EQ(MakeMasterBypassControl()->MultiName(), "Master Bypass\nMstr Byp\nMBYP");
}

TEST(Displays, CutToTwoDecimals) {
    const std::pair<const char*, const char*> cases[] = {
        {"12.3456", "12.34"}, {"12.3", "12.3"}, {"-0.005", "-0.00"}, {"Off", "Off"}, {"1.2.3.4", "1.2."}, {"", ""},
        {"5.", "5."},
    };
    for (const auto& [display, cut] : cases) EXPECT_EQ(CutToTwoDecimals(display), cut) << display;
}

TEST(Displays, LearnedTableTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"-\xE2\x88\x9E", "-oo dB"},    // minus infinity in UTF-8
        {"-\xB0 dB", "-oo dB"},         // and in a one-byte character set
        {"Position 012", "Position"},   // 12 characters keep their first 8
        {"12.50", "12.50"},
        {"a\tb", "aoo dB"},             // below " " counts too
        {"{x", "oo dB"},                // "{" is above "z"
        {"zzzzzzzzzz", "zzzzzzzz"},
        {"", ""},
    };
    for (const auto& [display, entry] : cases) EXPECT_EQ(CPluginControl_VST_Learn::TableText(display), entry) << display;
}

TEST(Displays, FractionPicksTheEntryBelow) {
    const std::pair<double, int32_t> cases[] = {
        {0.0, 0}, {0.005, 0}, {0.5, 50}, {0.999, 99}, {1.0, 100}, {-0.5, 0}, {1.5, 100}, {NAN, 0},
    };
    for (const auto& [fraction, entry] : cases) EXPECT_EQ(CPluginControl_VST_Learn::EntryOfFraction(fraction), entry) << fraction;
}

TEST(Displays, NumberFormatter) {
    EXPECT_EQ(FormatNumber(12.5, 2, "dB"), "12.50 dB");
    EXPECT_EQ(FormatNumber(-0.001, 2, ""), "0.00");
    EXPECT_EQ(FormatNumber(100, 0, "%"), "100 %");
}

TEST(Displays, OnOffControlTexts) {
    CPluginControl_OnOff plain("x");
    EXPECT_EQ(plain.ValueText(plain.ValueOfState(1)), "On");
    EXPECT_EQ(plain.ValueText(plain.ValueOfState(0)), "Off");
    CPluginControl_OnOff named("x", "Wet", std::string(300, 'd'));
    EXPECT_EQ(named.ValueText(INT32_MAX), "Wet");
    EXPECT_EQ(named.ValueText(INT32_MIN).size(), 255u);
    EXPECT_EQ(named.Kind(), kHPControlDiscrete);
    EXPECT_EQ(named.StateCount(), 2);
}

// The display effect's parameters: 0 linear 0..100 %, 1 Off/On, 2 decibels with minus
// infinity at 0, 3 a 12-character text, 4 Low/Mid/High.
class ProbedControls : public ::testing::Test {
protected:
    void SetUp() override {
        wrapper.LoadEffect(testEffectPath("effect_displays").c_str());
        ASSERT_TRUE(wrapper.HasEffect());
    }
    std::unique_ptr<CPluginControl> probe(int32_t index) { return MakeParameterControl(wrapper, index); }
    static int32_t at(double fraction) { return ToControlValue(fraction, 0, 1); }

    QuietHost host;
    CPluginWrapper wrapper;
};

TEST_F(ProbedControls, EvenlySpacedNumbersGiveALinearControl) {
    auto control = probe(0);
    auto* linear = dynamic_cast<CPluginControl_VST_linear*>(control.get());
    ASSERT_NE(linear, nullptr) << control->ClassName();
    EXPECT_EQ(linear->DisplayMinimum(), 0.0);
    EXPECT_EQ(linear->DisplayMaximum(), 100.0);
    EXPECT_EQ(linear->StepCount(), 100);
    EXPECT_EQ(linear->UnitLabel(), "%");
    EXPECT_EQ(linear->DisplayPrecision(), 2);
    EXPECT_TRUE(linear->IsAutomatable());
    EXPECT_EQ(linear->DefaultValue(), at(0.25));
    EXPECT_EQ(linear->MultiName(), "0: Param 0 Name\nParam\nPar\n");
    EXPECT_EQ(linear->ValueText(at(0.5)), "50.00 %");
    EXPECT_EQ(linear->ValueText(at(0.0)), "0.00 %");
    EXPECT_EQ(wrapper.GetParameter(0), 0.25f);  // probing gave the value back
}

TEST_F(ProbedControls, TwoTextsGiveAnOnOffControlWithTheCurrentState) {
    auto control = probe(1);
    auto* onOff = dynamic_cast<CPluginControl_OnOff*>(control.get());
    ASSERT_NE(onOff, nullptr) << control->ClassName();
    EXPECT_EQ(onOff->OnText(), "On");
    EXPECT_EQ(onOff->OffText(), "Off");
    EXPECT_FALSE(onOff->IsOn(onOff->DefaultValue()));  // 0.25 rounds to off
    wrapper.SetParameter(1, 0.75f);
    auto on = probe(1);
    EXPECT_TRUE(dynamic_cast<CPluginControl_OnOff&>(*on).IsOn(on->DefaultValue()));
    EXPECT_EQ(wrapper.GetParameter(1), 0.75f);
}

TEST_F(ProbedControls, DecibelsAreLearnedWithMinusInfinityAsText) {
    auto control = probe(2);
    auto* learn = dynamic_cast<CPluginControl_VST_Learn*>(control.get());
    ASSERT_NE(learn, nullptr) << control->ClassName();
    EXPECT_EQ(learn->Entry(0), "-oo dB");
    EXPECT_EQ(learn->Entry(50), "-6.02");
    EXPECT_EQ(learn->Entry(100), "0.00");
    EXPECT_EQ(learn->Entry(101), "");
    EXPECT_EQ(learn->UnitLabel(), "dB");
    EXPECT_EQ(learn->ValueText(at(0.0)), "-oo dB");
    EXPECT_EQ(learn->ValueText(at(0.999)), "-0.09 dB");  // entry 99, not 100
    EXPECT_EQ(learn->ValueText(at(1.0)), "0.00 dB");
    EXPECT_EQ(learn->DefaultValue(), at(0.25));
    EXPECT_EQ(wrapper.GetParameter(2), 0.25f);
}

TEST_F(ProbedControls, LongTextsKeepEightCharactersAndWordsStayText) {
    auto position = probe(3);
    auto* learn = dynamic_cast<CPluginControl_VST_Learn*>(position.get());
    ASSERT_NE(learn, nullptr) << position->ClassName();
    EXPECT_EQ(learn->Entry(12), "Position");
    EXPECT_EQ(learn->ValueText(at(0.5)), "Position");
    EXPECT_EQ(learn->UnitLabel(), "");
    auto choice = probe(4);
    ASSERT_STREQ(choice->ClassName(), "CPluginControl_VST_Learn");
    EXPECT_EQ(choice->ValueText(at(0.1)), "Low");
    EXPECT_EQ(choice->ValueText(at(0.5)), "Mid");
    EXPECT_EQ(choice->ValueText(at(1.0)), "High");
}

}  // namespace
}  // namespace ruvane::testing
