// The factory bank: names, the rows the start state and the documentation rely on,
// the section counts, switch encoding and the sync demos' agreement with their names.
#include "effect/plugin/factory_presets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ruvane {
namespace {

using Row = std::array<double, kNumSoundParameters>;

const std::array<const char*, kNumPresets> kNames{
    "Default",          "1 4 Feedback",     "1 4 Feedback LP",   "1 4 Feedback->C",
    "1 4 Single",       "1 4 Single LP",    "1 4-1 8 Feedback->R", "1 6-1 12 Feedback",
    "1 4-1 8 X-talk",   "1 8 Feedback",     "1 8 Feedback BP",   "1 8 Single",
    "3 16 Feedback ",   "3 16 Feedback HP", "3 16 Single",       "3 16-1 8 X-talk",
    "1 8-1 12 Feedback", "1 12 Feedback",   "1 4 Bounce",        "1 8 Bounce",
    "Synesthesia",      "Doubler Rough",    "Doubler Stereo",    "Doubler Verb",
    "Mental Illness",   "Flanger Light",    "Spitsbergen",       "Splasher",
    "Takeawalk",        "Satori",           "Gasherbrum Four",   "Seti",
    "Hollow",           "Sarawak",          "South Pole",        "Deja Vu",
    "Panner",           "Shimoni Caves",    "Hissteria",         "Nanobot",
    "Dub Hit",          "Claustrophoby",    "Warm Slapback",     "Wow Tape",
    "Loose And Lazy",   "Dropper",          "Transmitter",       "Inertia",
    "Dylatation",       "Rain Forest",      "Helium",            "Angry Birds",
    "Drum Filter",      "Drunken Tape",     "Haunted Playground", "Overload",
    "Psyched",          "Pink Is Dotty",    "Zembrolodeon",      "Into The Sunset",
    "Piano Case",
};

constexpr double kSixth = 0.166667;
constexpr double kFiveSixths = 0.833334;

const Row kDefaultRow{
    0.5,  0.5,  0.5,    0,   0,   0,   1,           0.25,        0.25, 0.1, 0.5, 0.5,
    1,    0.5,  kSixth, 1,   0,   0.5, 0.5,         0.25,        0.25, 0,   0,   kSixth,
    0.25, 0.25, 0.1,    0.1, 0,   0,   kFiveSixths, kFiveSixths, 0.25, 0.1, 0,   0.4,
    0.4,  0,    0,      0,   0.5, 0,   0,           0,           0,    1,   0,   0.5};

const Row kQuarterFeedbackRow{
    0.50625, 0.5,  0.31625, 0.24, 0.24,     0,        1,   0.25, 0.25, 0.1, 0.5, 0.5,
    1,       0.5,  kSixth,  1,    0,        0.5,      0.5, 0.25, 0.25, 0.5, 0,   kSixth,
    0.75,    0.75, 0.1,     0.1,  0.269231, 0.269231, 0.5, 0.5,  0.25, 0.1, 0,   0.5,
    0.5,     0,    0,       0.1,  0.5,      0,        0,   0,    0,    0,   0,   0.5};

Row withChanges(Row row, std::initializer_list<std::pair<Parameter, double>> changes) {
    for (const auto& [parameter, value] : changes) row[parameter] = value;
    return row;
}

const Row kThreeSixteenthsRow = withChanges(kQuarterFeedbackRow, {{kMainIn, 0.502083},
                                                                  {kMainMix, 0.344167},
                                                                  {kDlyLNum, 0.3},
                                                                  {kDlyRNum, 0.3},
                                                                  {kDlyLDen, 0.576923},
                                                                  {kDlyRDen, 0.576923},
                                                                  {kDlyLTime, 0.375},
                                                                  {kDlyRTime, 0.375}});

// Presets given value for value; they keep their own switch encoding.
const std::set<int> kQuotedWhole{0, 1, 12};
constexpr int kDoublerStereo = 22;
constexpr int kWowTape = 43;

std::uint32_t bitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }

class FactoryPresets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bank = new PresetBank;
        std::memset(bank->data(), 0xFF, sizeof(PresetBank));  // every byte must be written
        fillFactoryPresets(*bank);
    }
    static void TearDownTestSuite() {
        delete bank;
        bank = nullptr;
    }

    static float value(int preset, int parameter) { return (*bank)[preset].values[parameter]; }
    static int position(int preset, int parameter) {
        return switchPosition(value(preset, parameter), kParameterInfo[parameter].steps);
    }
    static bool on(int preset, int parameter) { return switchIsOn(value(preset, parameter)); }

    static std::string where(int preset, int parameter) {
        return std::string(kNames[preset]) + " / " + kParameterInfo[parameter].name;
    }

    static void expectRow(int preset, const Row& row) {
        for (int p = 0; p < kNumSoundParameters; ++p)
            EXPECT_EQ(bitsOf(value(preset, p)), bitsOf(static_cast<float>(row[p]))) << where(preset, p);
    }

    static inline PresetBank* bank = nullptr;
};

TEST_F(FactoryPresets, NamesAreStoredExactlyAndZeroPadded) {
    for (int i = 0; i < kNumPresets; ++i) {
        const char* stored = (*bank)[i].name;
        const std::size_t length = std::strlen(kNames[i]);
        ASSERT_LT(length, static_cast<std::size_t>(kPresetNameBytes));
        EXPECT_EQ(std::string(stored, length), kNames[i]) << "preset " << i;
        for (std::size_t b = length; b < kPresetNameBytes; ++b)
            EXPECT_EQ(stored[b], '\0') << "preset " << i << " byte " << b;
    }
}

TEST_F(FactoryPresets, QuotedRowsAreExact) {
    expectRow(0, kDefaultRow);
    expectRow(1, kQuarterFeedbackRow);
    expectRow(12, kThreeSixteenthsRow);
}

TEST_F(FactoryPresets, StartStateCarriesTheExactThreeWayFloats) {
    for (const int p : {kFltType, kFltMode}) EXPECT_EQ(bitsOf(value(0, p)), 0x3E2AAAC1u) << where(0, p);
    for (const int p : {kDlyLRange, kDlyRRange}) EXPECT_EQ(bitsOf(value(0, p)), 0x3F555561u) << where(0, p);
}

TEST_F(FactoryPresets, PartlyQuotedRowsHoldTheirQuotedValues) {
    struct Quoted {
        int preset;
        Parameter parameter;
        double value;
    };
    const Quoted quoted[] = {
        {kDoublerStereo, kDlyLTime, 0.046},      {kDoublerStereo, kDlyRTime, 0.046},
        {kDoublerStereo, kDlyLFb, 0.347917},     {kDoublerStereo, kDlyRFb, 0.347917},
        {kDoublerStereo, kDlyLFbPan, 0.50875},   {kDoublerStereo, kDlyRFbPan, 0.49125},
        {kDoublerStereo, kModLfoRate, 0.188722}, {kDoublerStereo, kModLfoOffset, 0.215},
        {kDoublerStereo, kModSource, 0.197083},  {kDoublerStereo, kModOn, 0.5},
        {kDoublerStereo, kVcoOn, 0.5},           {kDoublerStereo, kVcoMod, 0.782917},
        {kWowTape, kDlyLTime, 0.34},             {kWowTape, kDlyRTime, 0.34},
        {kWowTape, kDlyLFb, 0.27},               {kWowTape, kDlyRFb, 0.27},
        {kWowTape, kDlyLFbPan, 0.4095},          {kWowTape, kDlyRFbPan, 0.6205},
        {kWowTape, kModLfoRate, 0.226},          {kWowTape, kModLfoNum, 0.5},
        {kWowTape, kModLfoDen, 0.115385},        {kWowTape, kModSource, 0.2565},
        {kWowTape, kModSens, 0.0},
    };
    for (const auto& q : quoted)
        EXPECT_EQ(bitsOf(value(q.preset, q.parameter)), bitsOf(static_cast<float>(q.value)))
            << where(q.preset, q.parameter);

    struct Position {
        int preset;
        Parameter parameter;
        int position;
    };
    const Position positions[] = {
        {kDoublerStereo, kDlyLMode, 0}, {kDoublerStereo, kDlyRMode, 0}, {kDoublerStereo, kDlyLRange, 0},
        {kDoublerStereo, kDlyRRange, 0}, {kWowTape, kDlyLMode, 0},      {kWowTape, kDlyRMode, 0},
        {kWowTape, kDlyLRange, 1},      {kWowTape, kDlyRRange, 1},      {kWowTape, kModOn, 1},
        {kWowTape, kVcoOn, 1},
    };
    for (const auto& p : positions)
        EXPECT_EQ(position(p.preset, p.parameter), p.position) << where(p.preset, p.parameter);
}

TEST_F(FactoryPresets, SectionCountsAcrossTheBank) {
    struct Count {
        const char* what;
        std::function<bool(int)> has;
        int expected;
    };
    const Count counts[] = {
        {"note mode", [](int i) { return on(i, kDlyLMode) || on(i, kDlyRMode); }, 40},
        {"plate reverb", [](int i) { return position(i, kRvbType) == 1; }, 26},
        {"reverb on", [](int i) { return on(i, kRvbOn); }, 25},
        {"filter on", [](int i) { return on(i, kFltOn); }, 36},
        {"modulation on", [](int i) { return on(i, kModOn); }, 39},
        {"drive on", [](int i) { return on(i, kDrvOn); }, 6},
        {"vco on", [](int i) { return on(i, kVcoOn); }, 30},
        {"bypassed", [](int i) { return on(i, kMainBypass); }, 0},
    };
    for (const auto& count : counts) {
        int found = 0;
        for (int i = 0; i < kNumPresets; ++i) found += count.has(i) ? 1 : 0;
        EXPECT_EQ(found, count.expected) << count.what;
    }
}

TEST_F(FactoryPresets, ValuesAreFiniteAndNormalised) {
    for (int i = 0; i < kNumPresets; ++i)
        for (int p = 0; p < kNumSoundParameters; ++p) {
            const float v = value(i, p);
            EXPECT_TRUE(std::isfinite(v) && v >= 0.0f && v <= 1.0f) << where(i, p) << " = " << v;
        }
}

TEST_F(FactoryPresets, SwitchesSitAtPositionCentres) {
    for (int i = 0; i < kNumPresets; ++i) {
        if (kQuotedWhole.contains(i)) continue;
        for (int p = 0; p < kNumSoundParameters; ++p) {
            const int steps = kParameterInfo[p].steps;
            if (steps == 0) continue;
            if (i == kDoublerStereo && (p == kModOn || p == kVcoOn)) continue;  // quoted at 0.5
            EXPECT_NEAR(value(i, p), switchValue(position(i, p), steps), 1e-6) << where(i, p);
        }
    }
}

// A line in note mode stores the Range and Time of its synchronised time at 120 BPM.
TEST_F(FactoryPresets, NoteLinesCarryTheirTimeAtTheDefaultTempo) {
    struct Line {
        Parameter mode, num, den, range, time;
    };
    const Line lines[] = {{kDlyLMode, kDlyLNum, kDlyLDen, kDlyLRange, kDlyLTime},
                          {kDlyRMode, kDlyRNum, kDlyRDen, kDlyRRange, kDlyRTime}};
    for (int i = 0; i < kNumPresets; ++i)
        for (const auto& line : lines) {
            if (!on(i, line.mode)) continue;
            const double ms = std::min(kDelayNumerators[position(i, line.num)] * 240000.0 /
                                           (kSyncDenominators[position(i, line.den)] * kDefaultTempoBpm),
                                       5000.0);
            const int range = ms > 1000.0 ? 2 : ms > 100.0 ? 1 : 0;
            EXPECT_EQ(position(i, line.range), range) << where(i, line.range);
            EXPECT_NEAR(value(i, line.time), ms / kDelayRangesMs[range], 1e-6) << where(i, line.time);
        }
}

// Names like "1 4-1 8 Feedback->R" or "3 16 Single" describe the delay they demonstrate.
TEST_F(FactoryPresets, SyncDemosMatchTheirNames) {
    const std::regex pattern(
        R"(^(\d+) (\d+)(?:-(\d+) (\d+))? (Feedback|Single|X-talk|Bounce)(->C|->R)?(?: (LP|BP|HP))? ?$)");
    const std::vector<std::string> filterNames{"LP", "BP", "HP"};
    for (int i = 1; i <= 19; ++i) {
        SCOPED_TRACE(kNames[i]);
        std::cmatch m;
        ASSERT_TRUE(std::regex_match(kNames[i], m, pattern));
        const int fraction[2][2] = {{std::stoi(m[1]), std::stoi(m[2])},
                                    {std::stoi(m[m[3].matched ? 3 : 1]), std::stoi(m[m[4].matched ? 4 : 2])}};
        const std::string kind = m[5], route = m[6], filter = m[7];

        const Parameter modes[2] = {kDlyLMode, kDlyRMode}, nums[2] = {kDlyLNum, kDlyRNum},
                        dens[2] = {kDlyLDen, kDlyRDen}, feedback[2] = {kDlyLFb, kDlyRFb};
        for (int line = 0; line < 2; ++line) {
            EXPECT_TRUE(on(i, modes[line]));
            EXPECT_EQ(kDelayNumerators[position(i, nums[line])], fraction[line][0]);
            EXPECT_EQ(kSyncDenominators[position(i, dens[line])], fraction[line][1]);
            if (kind == "Single")
                EXPECT_EQ(value(i, feedback[line]), 0.0f);
            else
                EXPECT_GT(value(i, feedback[line]), 0.0f);
        }

        const float panL = value(i, kDlyLFbPan), panR = value(i, kDlyRFbPan);
        if (kind == "X-talk") {
            EXPECT_EQ(panL, 1.0f);
            EXPECT_EQ(panR, 0.0f);
        } else if (route == "->C") {
            EXPECT_NEAR(panL, 0.5f, 0.05f);
            EXPECT_NEAR(panR, 0.5f, 0.05f);
        } else if (route == "->R") {
            EXPECT_EQ(panL, 1.0f);
            EXPECT_EQ(panR, 1.0f);
        } else if (kind == "Feedback") {
            EXPECT_EQ(panL, 0.0f);
            EXPECT_EQ(panR, 1.0f);
        }

        EXPECT_EQ(on(i, kFltOn), !filter.empty());
        if (!filter.empty()) {
            const auto type = std::find(filterNames.begin(), filterNames.end(), filter) - filterNames.begin();
            EXPECT_EQ(position(i, kFltType), type);
            EXPECT_EQ(position(i, kFltMode), kind == "Single" ? 2 : 1);  // "fx" : "fb"
        }
    }
}

// A section that is switched on has something to do.
TEST_F(FactoryPresets, SwitchedOnSectionsAreAudible) {
    const auto moved = [](float v) { return std::fabs(v - 0.5f) > 0.01f; };
    for (int i = 0; i < kNumPresets; ++i) {
        SCOPED_TRACE(kNames[i]);
        EXPECT_GT(value(i, kMainMix), 0.0f);
        if (on(i, kModOn)) {
            EXPECT_TRUE((on(i, kFltOn) && moved(value(i, kFltMod))) || (on(i, kVcoOn) && moved(value(i, kVcoMod))));
        }
        if (on(i, kRvbOn)) {
            EXPECT_GT(value(i, kRvbAmt), 0.0f);
        }
    }
}

}  // namespace
}  // namespace ruvane
