// The 96 parameters as a host sees them: names, labels, texts, properties, start values,
// and what happens to values no host should send but some do.
#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <tuple>

#include "effect/plugin/zav.h"
#include "loaded_plugin.h"

namespace ruvane::testing {
namespace {

const char* const kNames[48] = {
    "Main In",     "Main Out",    "Main Mix",   "DlyL Fb",     "DlyR Fb",      "DlyL FbPan",  "DlyR FbPan",
    "DlyL FbInv",  "DlyR FbInv",  "Mod LfoWave", "Mod LfoRate", "Mod LfoOffset", "Mod Source", "Flt Mod",
    "Flt Type",    "Flt Cutoff",  "Flt Res",    "Vco Manual",  "Vco Mod",      "DlyL DlyInv", "DlyR DlyInv",
    "Drv Gain",    "Mod EnvSpeed", "Flt Mode",  "DlyL Mode",   "DlyR Mode",    "DlyL Num",    "DlyR Num",
    "DlyL Den",    "DlyR Den",    "DlyL Range", "DlyR Range",  "Mod LfoMode",  "Mod LfoNum",  "Mod LfoDen",
    "DlyL Time",   "DlyR Time",   "Rvb Mode",   "Rvb Type",    "Rvb Damp",     "Rvb Amt",     "Main Bypass",
    "Flt On",      "Drv On",      "Mod On",     "Vco On",      "Rvb On",       "Mod Sens",
};

const char* const kLabels[48] = {
    "dB", "dB", "%", "dB", "dB", "%", "%", "", "", "", "Hz", "deg", "%", "%", "", "Hz",
    "", "x", "%", "", "", "dB", "ms", "", "", "", "", "", "", "", "ms", "ms",
    "", "", "", "ms", "ms", "", "", "%", "%", "", "", "", "", "", "", "%",
};

constexpr float kOneSixth = std::bit_cast<float>(0x3E2AAAC1u);
constexpr float kFiveSixths = std::bit_cast<float>(0x3F555561u);

const float kStartValues[48] = {
    0.5f, 0.5f, 0.5f, 0, 0, 0, 1, 0.25f, 0.25f, 0.1f, 0.5f, 0.5f, 1, 0.5f, kOneSixth, 1,
    0, 0.5f, 0.5f, 0.25f, 0.25f, 0, 0, kOneSixth, 0.25f, 0.25f, 0.1f, 0.1f, 0, 0, kFiveSixths, kFiveSixths,
    0.25f, 0.1f, 0, 0.4f, 0.4f, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0.5f,
};

// Controllers of the default MIDI map, by parameter.
const int kDefaultControllers[48] = {
    20, 22, 21, 23, 24, 25, 26, 27, 28, 29, 30, 31, 41, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54,
    56, 57, 58, 59, 60, 61, 62, 63, 75, 76, 77, 78, 79, 85, 86, 87, 88, 89, 90, 102, 103, 104, 105, 106,
};

TEST_F(LoadedPlugin, NamesAndLabelsOfAllParameters) {
    for (int i = 0; i < 48; ++i) {
        EXPECT_EQ(plugin->parameterName(i), kNames[i]) << i;
        EXPECT_EQ(plugin->parameterName(48 + i), std::string("CC# ") + kNames[i]) << 48 + i;
        EXPECT_EQ(plugin->parameterLabel(i), kLabels[i]) << i;
        EXPECT_EQ(plugin->parameterLabel(48 + i), "") << 48 + i;
        EXPECT_EQ(plugin->parameterDisplay(48 + i), "") << 48 + i;
    }
    EXPECT_EQ(plugin->parameterName(60), "CC# Mod Source");
}

TEST_F(LoadedPlugin, NameAboveTheLastParameterIsNotWritten) {
    char text[64] = "untouched";
    plugin->dispatch(effGetParamName, 96, 0, text);
    EXPECT_STREQ(text, "untouched");
}

TEST_F(LoadedPlugin, StartValuesAreThoseOfTheDefaultPreset) {
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(std::bit_cast<uint32_t>(plugin->getParameter(i)), std::bit_cast<uint32_t>(kStartValues[i]))
            << kNames[i] << " starts at " << plugin->getParameter(i);
    for (int i = 0; i < 48; ++i)
        EXPECT_FLOAT_EQ(plugin->getParameter(48 + i), (kDefaultControllers[i] + 0.5f) / 129.0f) << 48 + i;
    EXPECT_EQ(plugin->getParameter(96), 0.0f);
    EXPECT_EQ(plugin->programName(), "Default");
}

struct DisplayCase {
    int index;
    float value;
    const char* shown;
};

TEST_F(LoadedPlugin, DisplayTextsFollowTheValue) {
    const DisplayCase cases[] = {
        {0, 0.5f, "0.000000"},      {0, 0.0f, "-oo"},          {1, 1.0f, "12.04120"},
        {2, 1.0f, "D:0<>100:W"},   {2, 0.5f, "D:50<>50:W"},   {2, 0.0f, "D:100<>0:W"},
        {3, 0.5f, "-6.02060"},      {5, 0.25f, "L:75<>25:R"},  {12, 0.999f, "L:0<>100:E"},
        {7, 0.5f, "on"},            {7, 0.49f, "off"},         {9, 0.9f, "rnd"},
        {9, 0.1f, "sin"},           {10, 0.5f, "3.000000"},    {10, 0.0f, "0.010000"},
        {11, 0.5f, "L:0<>0:R"},     {11, 1.0f, "L:-90<>90+:R"}, {11, 0.0f, "L:+90<>90-:R"},
        {11, 0.75f, "L:-45<>45+:R"}, {13, 0.499f, "0"},        {13, 0.0f, "-100"},
        {13, 1.0f, "100"},          {18, 0.25f, "-50"},        {14, 1.0f / 3.0f, "BPF"},
        {14, 1.0f, "HPF"},          {15, 1.0f, "16000"},       {15, 0.0f, "50"},
        {16, 0.5f, "5.000000"},     {17, 1.0f, "2.000000"},    {17, 0.0f, "0.500000"},
        {21, 0.0f, "0.000000"},     {21, 1.0f, "24.08240"},    {22, 0.0f, "100"},
        {22, 1.0f, "1000"},         {23, 0.5f, "fb"},          {24, 0.75f, "note"},
        {26, 0.9f, "9"},            {28, 1.0f, "96"},          {28, 0.999f, "96"},
        {28, 0.0f, "1"},            {30, 0.5f, "1000"},        {32, 0.75f, "note"},
        {33, 0.9f, "8"},            {34, 0.5f, "12"},          {37, 0.75f, "out"},
        {38, 0.75f, "plate"},       {39, 0.5f, "50.00000"},    {40, 1.0f, "100.0000"},
        {41, 0.75f, "on"},          {47, 1.0f, "100"},         {47, 0.0f, "0"},
    };
    for (const DisplayCase& c : cases) {
        plugin->setParameter(c.index, c.value);
        EXPECT_EQ(plugin->parameterDisplay(c.index), c.shown) << kNames[c.index] << " at " << c.value;
    }
}

TEST_F(LoadedPlugin, DelayTimeTextShowsTheTimeInUse) {
    EXPECT_EQ(plugin->parameterDisplay(35), "2000.000000");
    plugin->setParameter(30, 0.5f);  // range 1000 ms: the 2000 ms time is cut
    EXPECT_EQ(plugin->parameterDisplay(35), "1000.000000");
    plugin->setParameter(24, 0.75f);  // note mode: 1/1 at 120 BPM
    EXPECT_EQ(plugin->parameterDisplay(35), "2000.000000");
    plugin->setParameter(28, 3.5f / 13.0f);  // 1/4
    EXPECT_EQ(plugin->parameterDisplay(35), "500.000000");
}

TEST_F(LoadedPlugin, PropertiesOfEveryParameter) {
    const std::set<int> switches{7, 8, 19, 20, 24, 25, 32, 37, 38, 41, 42, 43, 44, 45, 46};
    const std::map<int, int> integerRanges{{9, 5},  {26, 5}, {27, 5}, {33, 5}, {14, 3}, {23, 3}, {30, 3},
                                           {31, 3}, {28, 14}, {29, 14}, {34, 14}};
    for (int index = -1; index <= 100; ++index) {
        VstParameterProperties p{};
        p.flags = 0x7F;  // whatever the host left there
        const VstIntPtr answer = plugin->dispatch(effGetParameterProperties, index, 0, &p);
        if (switches.count(index)) {
            EXPECT_EQ(answer, 1) << index;
            EXPECT_EQ(p.minInteger, 0);
            EXPECT_EQ(p.maxInteger, 1);
            EXPECT_EQ(p.stepInteger, 1);
            EXPECT_EQ(p.largeStepInteger, 1);
            EXPECT_EQ(p.flags, kVstParameterIsSwitch | kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep);
        } else if (integerRanges.count(index)) {
            EXPECT_EQ(answer, 1) << index;
            EXPECT_EQ(p.minInteger, 1);
            EXPECT_EQ(p.maxInteger, integerRanges.at(index));
            EXPECT_EQ(p.stepInteger, 1);
            EXPECT_EQ(p.flags, 0);
        } else if (index == 22) {
            EXPECT_EQ(answer, 1);
            EXPECT_FLOAT_EQ(p.stepFloat, 1.0f / 900.0f);
            EXPECT_FLOAT_EQ(p.smallStepFloat, 1.0f / 900.0f);
            EXPECT_FLOAT_EQ(p.largeStepFloat, 1.0f / 90.0f);
            EXPECT_EQ(p.flags, kVstParameterUsesFloatStep);
        } else if (index == 35 || index == 36) {
            EXPECT_EQ(answer, 1);
            EXPECT_FLOAT_EQ(p.stepFloat, 0.0001f);
            EXPECT_FLOAT_EQ(p.smallStepFloat, 0.0001f);
            EXPECT_FLOAT_EQ(p.largeStepFloat, 0.1f);
            EXPECT_EQ(p.flags, kVstParameterUsesFloatStep);
        } else {
            EXPECT_EQ(answer, 0) << index;
        }
    }
    // A host that passes no bits gets none set by the effect.
    VstParameterProperties clean{};
    plugin->dispatch(effGetParameterProperties, 41, 0, &clean);
    EXPECT_EQ(clean.flags, 0);
}

// Values outside 0..1: NaN keeps what was there, everything else is limited to 0..1,
// so texts stay texts and switches land on a position.
TEST_F(LoadedPlugin, HostValuesOfAnyKindAreTakenSafely) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float hostile[] = {nan, inf, -inf, -1.0f, 3.0f, 1e30f, -0.0f, std::numeric_limits<float>::denorm_min()};
    for (float value : hostile) {
        for (int index = 0; index < 96; ++index) {
            const float before = plugin->getParameter(index);
            plugin->setParameter(index, value);
            const float after = plugin->getParameter(index);
            ASSERT_TRUE(after >= 0.0f && after <= 1.0f) << index << " took " << value << " as " << after;
            if (std::isnan(value)) {
                EXPECT_EQ(after, before) << index;
            }
        }
        for (int index = 0; index < 48; ++index) {
            const std::string text = plugin->parameterDisplay(index);
            EXPECT_FALSE(text.empty()) << index;
            EXPECT_EQ(text.find("nan"), std::string::npos) << index << ": " << text;
            EXPECT_EQ(text.find("inf"), std::string::npos) << index << ": " << text;
        }
    }
    plugin->setParameter(0, std::numeric_limits<float>::infinity());
    EXPECT_EQ(plugin->getParameter(0), 1.0f);
    plugin->setParameter(41, 3.0f);  // a raw integer from a host that took the switch as 0..1 steps
    EXPECT_EQ(plugin->parameterDisplay(41), "on");
}

struct ReadingCase {
    const char* what;
    std::vector<std::pair<int, float>> settings;
    int reading;
    int32_t number;
    int32_t decimalPosition;
    int32_t separator;
    uint8_t showsSign;
};

TEST(DisplayReading, FourDigitsWithPointSignAndSeparator) {
    ScopedConfigHome configHome;
    const ReadingCase cases[] = {
        {"mix at half", {{2, 0.5f}}, 2, 5050, 0, 2, 0},
        {"mix full wet", {{2, 1.0f}}, 2, 100, 0, 1, 0},
        {"mix dry", {{2, 0.0f}}, 2, 1000, 0, 3, 0},
        {"2000 ms", {}, 35, 2000, 0, 0, 0},
        {"250.5 ms", {{30, 0.5f}, {35, 0.2505f}}, 35, 2505, 3, 0, 0},
        {"4.6 ms", {{31, 1.0f / 6.0f}, {36, 0.046f}}, 36, 4600, 1, 0, 0},
        {"input silent", {{0, 0.0f}}, 0, -1000, 3, 0, 1},
        {"input unity", {{0, 0.5f}}, 0, 0, 1, 0, 1},
        {"offset full left", {{11, 0.0f}}, 11, -9000, 2, 0, 1},
        {"cutoff 16 kHz", {{15, 1.0f}}, 15, 1600, 2, 0, 0},
        {"tempo 120", {}, kTempoReading, 1200, 3, 0, 0},
        {"drive 16", {{21, 1.0f}}, 21, 2408, 2, 0, 1},
    };
    ZAV effect(nullptr, {});
    for (const ReadingCase& c : cases) {
        for (auto [index, value] : c.settings) effect.setParameter(index, value);
        DisplayReading reading;
        effect.getDisplayReading(c.reading, reading);
        EXPECT_EQ(reading.number, c.number) << c.what;
        EXPECT_EQ(reading.decimalPosition, c.decimalPosition) << c.what;
        EXPECT_EQ(reading.separator, c.separator) << c.what;
        EXPECT_EQ(reading.showsSign, c.showsSign) << c.what;
    }
}

TEST(DisplayReading, FractionsOfTheSyncedValues) {
    ScopedConfigHome configHome;
    ZAV effect(nullptr, {});
    effect.setParameter(27, 0.3f);           // right numerator 3
    effect.setParameter(29, 7.5f / 13.0f);  // right denominator 16
    effect.setParameter(33, 0.9f);           // LFO numerator 8
    effect.setParameter(34, 0.5f);           // LFO denominator 12
    const std::tuple<int, int, int> cases[] = {{26, 1, 1}, {28, 1, 1}, {27, 3, 16}, {29, 3, 16}, {33, 8, 12}, {34, 8, 12}};
    for (auto [index, numerator, denominator] : cases) {
        DisplayReading reading;
        effect.getDisplayReading(index, reading);
        EXPECT_EQ(reading.fractionNumerator, numerator) << index;
        EXPECT_EQ(reading.fractionDenominator, denominator) << index;
    }
}

}  // namespace
}  // namespace ruvane::testing
