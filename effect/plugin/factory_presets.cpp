// The factory bank. Every preset is written as the changes it makes to a base row,
// grouped by section. Switches sit at their position centres. A delay line in note
// mode also carries the Range and Time of its synchronised time at 120 BPM, so that
// switching it to time mode keeps the delay where it was.
#include "effect/plugin/factory_presets.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <utility>

#include "effect/engine/parameter_mapping.h"

namespace ruvane {
namespace {

using Row = std::array<double, kNumSoundParameters>;

// Switch position centres, with the six decimals the bank stores.
constexpr double kOff = 0.25;
constexpr double kOn = 0.75;
constexpr std::array<double, 3> kThreeWay{0.166667, 0.5, 0.833334};
constexpr std::array<double, 5> kFiveWay{0.1, 0.3, 0.5, 0.7, 0.9};
constexpr std::array<double, 13> kThirteenWay{0.038462, 0.115385, 0.192308, 0.269231, 0.346154,
                                              0.423077, 0.5,      0.576923, 0.653846, 0.730769,
                                              0.807692, 0.884615, 0.961538};

constexpr double kLpf = kThreeWay[0];
constexpr double kBpf = kThreeWay[1];
constexpr double kHpf = kThreeWay[2];
constexpr double kFilterIn = kThreeWay[0];
constexpr double kFilterLoop = kThreeWay[1];
constexpr double kFilterWet = kThreeWay[2];
constexpr double kSine = kFiveWay[0];
constexpr double kSquare = kFiveWay[1];
constexpr double kTriangle = kFiveWay[2];
constexpr double kSaw = kFiveWay[3];
constexpr double kRandom = kFiveWay[4];
constexpr double kSpring = kOff;
constexpr double kPlate = kOn;
constexpr double kReverbWet = kOff;
constexpr double kReverbOutput = kOn;

constexpr double kSyncTempoBpm = 120.0;

// The start state: unity gains, half mix, free 2000 ms delays, every section off but the Vco.
constexpr Row kDefault{
    0.5,  0.5,  0.5,          0,   0,   0,   1,            0.25,         0.25, 0.1, 0.5, 0.5,
    1,    0.5,  kThreeWay[0], 1,   0,   0.5, 0.5,          0.25,         0.25, 0,   0,   kThreeWay[0],
    0.25, 0.25, 0.1,          0.1, 0,   0,   kThreeWay[2], kThreeWay[2], 0.25, 0.1, 0,   0.4,
    0.4,  0,    0,            0,   0.5, 0,   0,            0,            0,    1,   0,   0.5};

// The switch position of a table entry; a value missing from the table is an authoring error.
template <typename Table>
int positionOf(const Table& table, double value) {
    const auto found = std::find(table.begin(), table.end(), static_cast<float>(value));
    if (found == table.end()) throw std::logic_error("factory preset: value not in its sync table");
    return static_cast<int>(found - table.begin());
}

double centreOf(int position, int steps) {
    switch (steps) {
        case 2: return position == 0 ? kOff : kOn;
        case 3: return kThreeWay[position];
        case 5: return kFiveWay[position];
        default: return kThirteenWay[position];
    }
}

// The row with every switch moved to the centre of the position it reads.
Row centred(Row row) {
    for (int p = 0; p < kNumSoundParameters; ++p) {
        const int steps = kParameterInfo[p].steps;
        if (steps > 0) row[p] = centreOf(switchPosition(static_cast<float>(row[p]), steps), steps);
    }
    return row;
}

enum Line : int { kLeft = 0, kRight = 1 };

// The right line's parameter is the one after the left line's.
int forLine(Parameter leftLineParameter, Line line) {
    return static_cast<int>(leftLineParameter) + static_cast<int>(line);
}

class Draft {
public:
    explicit Draft(const Row& base) : row_(base) {}

    Draft& set(std::initializer_list<std::pair<Parameter, double>> changes) {
        for (const auto& [parameter, value] : changes) row_[parameter] = value;
        return *this;
    }

    // Note mode with numerator/denominator as the musician reads them (3, 16 is 3/16).
    Draft& note(Line line, int numerator, int denominator) {
        const double ms = std::min(numerator * double{kWholeNoteMsAtOneBpm} / (denominator * kSyncTempoBpm),
                                   static_cast<double>(kMaxDelayMs));
        place(line, ms);
        row_[forLine(kDlyLMode, line)] = kOn;
        row_[forLine(kDlyLNum, line)] = kFiveWay[positionOf(kDelayNumerators, numerator)];
        row_[forLine(kDlyLDen, line)] = kThirteenWay[positionOf(kSyncDenominators, denominator)];
        return *this;
    }
    Draft& note(int numerator, int denominator) {
        return note(kLeft, numerator, denominator).note(kRight, numerator, denominator);
    }

    // Time mode, in milliseconds, in the smallest range that holds the time.
    Draft& time(Line line, double ms) {
        place(line, ms);
        row_[forLine(kDlyLMode, line)] = kOff;
        return *this;
    }
    Draft& time(double ms) { return time(kLeft, ms).time(kRight, ms); }

    // The LFO in note mode: numerator/denominator of a whole note per cycle.
    Draft& lfoNote(int numerator, int denominator) {
        row_[kModLfoMode] = kOn;
        row_[kModLfoNum] = kFiveWay[positionOf(kLfoNumerators, numerator)];
        row_[kModLfoDen] = kThirteenWay[positionOf(kSyncDenominators, denominator)];
        return *this;
    }

    operator const Row&() const { return row_; }

private:
    void place(Line line, double ms) {
        const int range = ms > kDelayRangesMs[1] ? 2 : ms > kDelayRangesMs[0] ? 1 : 0;
        row_[forLine(kDlyLRange, line)] = kThreeWay[range];
        row_[forLine(kDlyLTime, line)] = ms / kDelayRangesMs[range];
    }

    Row row_;
};

// Every section off, switches centred: the starting point of the character presets.
const Row kBlank = Draft(centred(kDefault)).set({{kVcoOn, kOff}});

const Row kQuarterFeedback = Draft(kDefault).note(1, 4).set(
    {{kMainIn, 0.50625}, {kMainMix, 0.31625}, {kDlyLFb, 0.24}, {kDlyRFb, 0.24}, {kDrvGain, 0.5},
     {kRvbDamp, 0.1}, {kVcoOn, 0.0}});

// The plain 1/4 feedback delay, switches centred: the starting point of the sync demos.
const Row kSyncDemo = centred(kQuarterFeedback);

class BankWriter {
public:
    explicit BankWriter(PresetBank& bank) : bank_(bank) {}

    void add(const char* name, const Row& values) {
        PresetRecord& record = bank_.at(next_++);
        std::memset(record.name, 0, sizeof record.name);
        std::memcpy(record.name, name, std::min(std::strlen(name), sizeof record.name));
        for (int p = 0; p < kNumSoundParameters; ++p) record.values[p] = static_cast<float>(values[p]);
    }

private:
    PresetBank& bank_;
    int next_ = 0;
};

}  // namespace

void fillFactoryPresets(PresetBank& bank) {
    BankWriter out(bank);

    out.add("Default", kDefault);
    out.add("1 4 Feedback", kQuarterFeedback);
    out.add("1 4 Feedback LP", Draft(kSyncDemo)
        .set({{kDlyLFb, 0.3}, {kDlyRFb, 0.3}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop}, {kFltCutoff, 0.55}, {kFltRes, 0.15}}));
    out.add("1 4 Feedback->C", Draft(kSyncDemo)
        .set({{kDlyLFbPan, 0.5}, {kDlyRFbPan, 0.5}}));
    out.add("1 4 Single", Draft(kSyncDemo)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.0}, {kDlyRFb, 0.0}}));
    out.add("1 4 Single LP", Draft(kSyncDemo)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.0}, {kDlyRFb, 0.0}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterWet}, {kFltCutoff, 0.5}, {kFltRes, 0.1}}));
    out.add("1 4-1 8 Feedback->R", Draft(kSyncDemo).note(kRight, 1, 8)
        .set({{kDlyLFb, 0.3}, {kDlyRFb, 0.3}, {kDlyLFbPan, 1.0}, {kDlyRFbPan, 1.0}}));
    out.add("1 6-1 12 Feedback", Draft(kSyncDemo).note(kLeft, 1, 6).note(kRight, 1, 12));
    out.add("1 4-1 8 X-talk", Draft(kSyncDemo).note(kRight, 1, 8)
        .set({{kDlyLFb, 0.4}, {kDlyRFb, 0.4}, {kDlyLFbPan, 1.0}, {kDlyRFbPan, 0.0}}));
    out.add("1 8 Feedback", Draft(kSyncDemo).note(1, 8)
        .set({{kDlyLFb, 0.28}, {kDlyRFb, 0.28}}));
    out.add("1 8 Feedback BP", Draft(kSyncDemo).note(1, 8)
        .set({{kMainMix, 0.38}, {kDlyLFb, 0.34}, {kDlyRFb, 0.34}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop}, {kFltCutoff, 0.55}, {kFltRes, 0.2}}));
    out.add("1 8 Single", Draft(kSyncDemo).note(1, 8)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.0}, {kDlyRFb, 0.0}}));
    out.add("3 16 Feedback ", Draft(kQuarterFeedback).note(3, 16)
        .set({{kMainIn, 0.502083}, {kMainMix, 0.344167}}));
    out.add("3 16 Feedback HP", Draft(kSyncDemo).note(3, 16)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.3}, {kDlyRFb, 0.3}})
        .set({{kFltOn, kOn}, {kFltType, kHpf}, {kFltMode, kFilterLoop}, {kFltCutoff, 0.45}, {kFltRes, 0.1}}));
    out.add("3 16 Single", Draft(kSyncDemo).note(3, 16)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.0}, {kDlyRFb, 0.0}}));
    out.add("3 16-1 8 X-talk", Draft(kSyncDemo).note(kLeft, 3, 16).note(kRight, 1, 8)
        .set({{kDlyLFb, 0.4}, {kDlyRFb, 0.4}, {kDlyLFbPan, 1.0}, {kDlyRFbPan, 0.0}}));
    out.add("1 8-1 12 Feedback", Draft(kSyncDemo).note(kLeft, 1, 8).note(kRight, 1, 12));
    out.add("1 12 Feedback", Draft(kSyncDemo).note(1, 12)
        .set({{kDlyLFb, 0.26}, {kDlyRFb, 0.26}}));
    out.add("1 4 Bounce", Draft(kSyncDemo)
        .set({{kDlyLFb, 0.4}, {kDlyRFb, 0.4}, {kDlyLFbPan, 1.0}, {kDlyRFbPan, 0.0}, {kDlyRFbInv, kOn}}));
    out.add("1 8 Bounce", Draft(kSyncDemo).note(1, 8)
        .set({{kDlyLFb, 0.38}, {kDlyRFb, 0.38}, {kDlyLFbPan, 1.0}, {kDlyRFbPan, 0.0}, {kDlyRFbInv, kOn}}));

    out.add("Synesthesia", Draft(kBlank).note(kLeft, 1, 4).note(kRight, 3, 16)
        .set({{kMainMix, 0.38}, {kDlyLFb, 0.34}, {kDlyRFb, 0.34}, {kDlyLFbPan, 0.2}, {kDlyRFbPan, 0.8}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.6}, {kFltRes, 0.3}, {kFltMod, 0.75}})
        .set({{kModOn, kOn}, {kModLfoWave, kTriangle}, {kModLfoRate, 0.18}, {kModLfoOffset, 0.75}, {kModSource, 0.15}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.56}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.3}, {kRvbAmt, 0.3}}));
    out.add("Doubler Rough", Draft(kBlank).time(kLeft, 19.0).time(kRight, 27.0)
        .set({{kMainMix, 0.45}, {kMainOut, 0.52}, {kDlyLFb, 0.12}, {kDlyRFb, 0.12}})
        .set({{kDrvOn, kOn}, {kDrvGain, 0.45}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterWet}, {kFltCutoff, 0.78}, {kFltRes, 0.05}})
        .set({{kModOn, kOn}, {kModLfoWave, kRandom}, {kModLfoRate, 0.35},
              {kModLfoOffset, 0.62}, {kModSource, 0.3}, {kModSens, 0.55}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.6}}));
    out.add("Doubler Stereo", Draft(kBlank).time(4.6)
        .set({{kMainMix, 0.45}, {kDlyLFb, 0.347917}, {kDlyRFb, 0.347917}, {kDlyLFbPan, 0.50875}, {kDlyRFbPan, 0.49125}})
        .set({{kModOn, 0.5}, {kModLfoWave, kSine}, {kModLfoRate, 0.188722},
              {kModLfoOffset, 0.215}, {kModSource, 0.197083}})
        .set({{kVcoOn, 0.5}, {kVcoMod, 0.782917}}));
    out.add("Doubler Verb", Draft(kBlank).time(kLeft, 11.0).time(kRight, 17.0)
        .set({{kMainMix, 0.4}, {kMainOut, 0.54}, {kDlyLFb, 0.1}, {kDlyRFb, 0.1}, {kDlyRDlyInv, kOn}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.12}, {kModLfoOffset, 0.8}, {kModSource, 0.1}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.62}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.45}, {kRvbAmt, 0.22}}));
    out.add("Mental Illness", Draft(kBlank).time(kLeft, 230.0).time(kRight, 370.0)
        .set({{kMainMix, 0.45}, {kMainOut, 0.54}, {kDlyLFb, 0.4}, {kDlyRFb, 0.38},
              {kDlyLFbPan, 0.7}, {kDlyRFbPan, 0.35}, {kDlyLFbInv, kOn}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.55}, {kFltRes, 0.2}, {kFltMod, 0.8}})
        .set({{kModOn, kOn}, {kModLfoWave, kRandom}, {kModLfoRate, 0.45},
              {kModLfoOffset, 0.3}, {kModSource, 0.25}, {kModSens, 0.6}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.45}, {kVcoMod, 0.85}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.2}, {kRvbAmt, 0.35}}));
    out.add("Flanger Light", Draft(kBlank).time(2.5)
        .set({{kMainMix, 0.5}, {kMainOut, 0.52}, {kDlyLFb, 0.3}, {kDlyRFb, 0.3}})
        .set({{kModOn, kOn}, {kModLfoWave, kTriangle}, {kModLfoRate, 0.1}, {kModLfoOffset, 0.65}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.9}})
        .set({{kRvbType, kPlate}}));
    out.add("Spitsbergen", Draft(kBlank).note(kLeft, 3, 8).note(kRight, 1, 2)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.45}, {kDlyRFb, 0.45}, {kDlyLFbPan, 0.15}, {kDlyRFbPan, 0.85}})
        .set({{kFltOn, kOn}, {kFltType, kHpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.48}, {kFltRes, 0.15}, {kFltMod, 0.6}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.06}, {kModLfoOffset, 0.7}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.53}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.05}, {kRvbAmt, 0.45}}));
    out.add("Splasher", Draft(kBlank).time(kLeft, 45.0).time(kRight, 70.0)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.3}, {kDlyRFb, 0.3}, {kDlyLFbPan, 0.6}, {kDlyRFbPan, 0.4}})
        .set({{kFltOn, kOn}, {kFltType, kHpf}, {kFltMode, kFilterWet},
              {kFltCutoff, 0.5}, {kFltRes, 0.2}, {kFltMod, 0.7}})
        .set({{kModOn, kOn}, {kModSource, 1.0}, {kModEnvSpeed, 0.1}, {kModSens, 0.75}})
        .set({{kRvbOn, kOn}, {kRvbType, kSpring}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.15}, {kRvbAmt, 0.4}}));
    out.add("Takeawalk", Draft(kBlank).note(kLeft, 3, 8).note(kRight, 1, 4).lfoNote(2, 1)
        .set({{kMainMix, 0.33}, {kDlyLFb, 0.3}, {kDlyRFb, 0.3}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.62}, {kFltRes, 0.1}, {kFltMod, 0.6}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.54}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.3}, {kRvbAmt, 0.2}}));
    out.add("Satori", Draft(kBlank).note(kLeft, 1, 2).note(kRight, 3, 4)
        .set({{kMainMix, 0.35}, {kMainOut, 0.58}, {kDlyLFb, 0.5}, {kDlyRFb, 0.5}, {kDlyLFbPan, 0.3}, {kDlyRFbPan, 0.7}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.05}, {kModLfoOffset, 0.75}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.58}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.08}, {kRvbAmt, 0.4}}));
    out.add("Gasherbrum Four", Draft(kBlank).note(kLeft, 1, 2).note(kRight, 5, 8)
        .set({{kMainMix, 0.38}, {kMainOut, 0.53}, {kDlyLFb, 0.55},
              {kDlyRFb, 0.5}, {kDlyLFbPan, 0.2}, {kDlyRFbPan, 0.8}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.58}, {kFltRes, 0.08}, {kFltMod, 0.62}})
        .set({{kModOn, kOn}, {kModLfoWave, kTriangle}, {kModLfoRate, 0.04}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.02}, {kRvbAmt, 0.5}}));
    out.add("Seti", Draft(kBlank).time(kLeft, 333.0).time(kRight, 444.0)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.35}, {kDlyRFb, 0.35}, {kDlyLFbPan, 0.75}, {kDlyRFbPan, 0.25}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.7}, {kFltRes, 0.3}, {kFltMod, 0.8}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.3}, {kModLfoOffset, 0.5}, {kModSource, 0.2}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.6}, {kVcoMod, 0.65}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.1}, {kRvbAmt, 0.3}}));
    out.add("Hollow", Draft(kBlank).time(kLeft, 8.0).time(kRight, 12.0)
        .set({{kMainMix, 0.5}, {kMainOut, 0.53}, {kDlyLFb, 0.45}, {kDlyRFb, 0.45}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterIn},
              {kFltCutoff, 0.5}, {kFltRes, 0.15}, {kFltMod, 0.58}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.08}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}})
        .set({{kRvbType, kPlate}}));
    out.add("Sarawak", Draft(kBlank).note(kLeft, 1, 6).note(kRight, 1, 8)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.35}, {kDlyRFb, 0.35}, {kDlyLFbPan, 0.3}, {kDlyRFbPan, 0.7}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.66}, {kFltRes, 0.12}, {kFltMod, 0.65}})
        .set({{kModOn, kOn}, {kModLfoWave, kRandom}, {kModLfoRate, 0.3}, {kModLfoOffset, 0.4}, {kModSource, 0.2}})
        .set({{kRvbOn, kOn}, {kRvbType, kSpring}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.25}, {kRvbAmt, 0.3}}));
    out.add("South Pole", Draft(kBlank).note(kLeft, 1, 2).note(kRight, 1, 1)
        .set({{kMainMix, 0.4}, {kMainOut, 0.57}, {kDlyLFb, 0.5}, {kDlyRFb, 0.5}, {kDlyLFbPan, 0.4}, {kDlyRFbPan, 0.6}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.46}, {kFltRes, 0.05}, {kFltMod, 0.56}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.03}, {kModLfoOffset, 0.7}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.48}, {kVcoMod, 0.55}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.04}, {kRvbAmt, 0.45}}));
    out.add("Deja Vu", Draft(kBlank).note(1, 2)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.55}, {kDlyRFb, 0.55}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop}, {kFltCutoff, 0.55}, {kFltRes, 0.1}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.1}, {kModLfoOffset, 0.5}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.56}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.2}, {kRvbAmt, 0.35}}));
    out.add("Panner", Draft(kBlank).note(kLeft, 1, 8).note(kRight, 1, 4).lfoNote(1, 1)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.35}, {kDlyRFb, 0.35},
              {kDlyLFbPan, 1.0}, {kDlyRFbPan, 0.0}, {kDlyLDlyInv, kOn}})
        .set({{kModOn, kOn}, {kModLfoWave, kTriangle}, {kModLfoOffset, 1.0}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.56}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.3}, {kRvbAmt, 0.15}}));
    out.add("Shimoni Caves", Draft(kBlank).note(kLeft, 3, 8).note(kRight, 5, 16)
        .set({{kMainMix, 0.35}, {kMainOut, 0.55}, {kDlyLFb, 0.45},
              {kDlyRFb, 0.45}, {kDlyLFbPan, 0.2}, {kDlyRFbPan, 0.8}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.5}, {kFltRes, 0.15}, {kFltMod, 0.56}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.07}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.05}, {kRvbAmt, 0.5}}));
    out.add("Hissteria", Draft(kBlank).time(kLeft, 90.0).time(kRight, 140.0)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.4}, {kDlyRFb, 0.4}, {kDlyLFbPan, 0.5}, {kDlyRFbPan, 0.5}})
        .set({{kFltOn, kOn}, {kFltType, kHpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.62}, {kFltRes, 0.25}, {kFltMod, 0.8}})
        .set({{kModOn, kOn}, {kModSource, 1.0}, {kModEnvSpeed, 0.05}, {kModSens, 0.7}}));
    out.add("Nanobot", Draft(kBlank).time(kLeft, 14.0).time(kRight, 21.0)
        .set({{kMainMix, 0.45}, {kMainOut, 0.54}, {kDlyLFb, 0.5}, {kDlyRFb, 0.5}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop}, {kFltCutoff, 0.72}, {kFltRes, 0.1}})
        .set({{kModOn, kOn}, {kModLfoWave, kSquare}, {kModLfoRate, 0.55}, {kModLfoOffset, 0.5}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.6}, {kVcoMod, 0.7}}));
    out.add("Dub Hit", Draft(kBlank).note(3, 8)
        .set({{kMainMix, 0.45}, {kMainOut, 0.55}, {kDlyLFb, 0.5}, {kDlyRFb, 0.5}, {kDlyLFbPan, 0.3}, {kDlyRFbPan, 0.7}})
        .set({{kDrvOn, kOn}, {kDrvGain, 0.35}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.52}, {kFltRes, 0.12}, {kFltMod, 0.62}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.12}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kRvbOn, kOn}, {kRvbType, kSpring}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.2}, {kRvbAmt, 0.35}}));
    out.add("Claustrophoby", Draft(kBlank).time(kLeft, 23.0).time(kRight, 31.0)
        .set({{kMainMix, 0.4}, {kMainOut, 0.53}, {kDlyLFb, 0.3}, {kDlyRFb, 0.3}, {kDlyLFbPan, 0.7}, {kDlyRFbPan, 0.3}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterIn},
              {kFltCutoff, 0.6}, {kFltRes, 0.1}, {kFltMod, 0.6}})
        .set({{kModOn, kOn}, {kModSource, 1.0}, {kModEnvSpeed, 0.2}, {kModSens, 0.6}})
        .set({{kRvbOn, kOn}, {kRvbType, kSpring}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.5}, {kRvbAmt, 0.35}}));
    out.add("Warm Slapback", Draft(kBlank).time(kLeft, 110.0).time(kRight, 125.0)
        .set({{kMainMix, 0.4}, {kMainOut, 0.54}, {kDlyLFb, 0.12}, {kDlyRFb, 0.12}})
        .set({{kDrvOn, kOn}, {kDrvGain, 0.2}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop}, {kFltCutoff, 0.6}, {kFltRes, 0.05}})
        .set({{kVcoOn, kOn}}));
    out.add("Wow Tape", Draft(kBlank).time(340.0)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.27}, {kDlyRFb, 0.27}, {kDlyLFbPan, 0.4095}, {kDlyRFbPan, 0.6205}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.226}, {kModLfoNum, kFiveWay[2]},
              {kModLfoDen, kThirteenWay[1]}, {kModSource, 0.2565}, {kModSens, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.53}}));
    out.add("Loose And Lazy", Draft(kBlank).note(1, 4)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.35}, {kDlyRFb, 0.35}})
        .set({{kModOn, kOn}, {kModLfoWave, kRandom}, {kModLfoRate, 0.15}, {kModLfoOffset, 0.5}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.47}, {kVcoMod, 0.56}})
        .set({{kRvbType, kPlate}}));
    out.add("Dropper", Draft(kBlank).time(kLeft, 300.0).time(kRight, 450.0)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.35}, {kDlyRFb, 0.35}, {kDlyLFbPan, 0.3}, {kDlyRFbPan, 0.7}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterWet},
              {kFltCutoff, 0.6}, {kFltRes, 0.1}, {kFltMod, 0.7}})
        .set({{kModOn, kOn}, {kModSource, 1.0}, {kModEnvSpeed, 0.6}, {kModSens, 0.75}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.9}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.2}, {kRvbAmt, 0.25}}));
    out.add("Transmitter", Draft(kBlank).time(kLeft, 60.0).time(kRight, 85.0)
        .set({{kMainMix, 0.55}, {kMainOut, 0.6}, {kDlyLFb, 0.35},
              {kDlyRFb, 0.35}, {kDlyLFbPan, 0.8}, {kDlyRFbPan, 0.2}})
        .set({{kDrvOn, kOn}, {kDrvGain, 0.55}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterWet},
              {kFltCutoff, 0.56}, {kFltRes, 0.3}, {kFltMod, 0.56}})
        .set({{kModOn, kOn}, {kModLfoWave, kRandom}, {kModLfoRate, 0.6}, {kModLfoOffset, 0.5}, {kModSource, 0.1}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.56}}));
    out.add("Inertia", Draft(kBlank).note(kLeft, 1, 4).note(kRight, 3, 8)
        .set({{kMainMix, 0.35}, {kDlyLFb, 0.4}, {kDlyRFb, 0.4}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.45}, {kFltRes, 0.2}, {kFltMod, 0.75}})
        .set({{kModOn, kOn}, {kModSource, 1.0}, {kModEnvSpeed, 1.0}, {kModSens, 0.7}})
        .set({{kRvbType, kPlate}}));
    out.add("Dylatation", Draft(kBlank).time(kLeft, 400.0).time(kRight, 600.0)
        .set({{kMainMix, 0.38}, {kDlyLFb, 0.4}, {kDlyRFb, 0.4}, {kDlyLFbPan, 0.2}, {kDlyRFbPan, 0.8}})
        .set({{kModOn, kOn}, {kModLfoWave, kTriangle}, {kModLfoRate, 0.04}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.3}, {kVcoMod, 0.62}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.15}, {kRvbAmt, 0.3}}));
    out.add("Rain Forest", Draft(kBlank).note(kLeft, 1, 12).note(kRight, 3, 32)
        .set({{kMainMix, 0.4}, {kMainOut, 0.53}, {kDlyLFb, 0.45},
              {kDlyRFb, 0.45}, {kDlyLFbPan, 0.3}, {kDlyRFbPan, 0.7}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.75}, {kFltRes, 0.15}, {kFltMod, 0.75}})
        .set({{kModOn, kOn}, {kModLfoWave, kRandom}, {kModLfoRate, 0.55}, {kModLfoOffset, 0.3}, {kModSource, 0.0}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.1}, {kRvbAmt, 0.35}}));
    out.add("Helium", Draft(kBlank).time(30.0)
        .set({{kMainMix, 0.6}, {kDlyLFb, 0.15}, {kDlyRFb, 0.15}})
        .set({{kModOn, kOn}, {kModLfoWave, kSaw}, {kModLfoRate, 0.62}, {kModLfoOffset, 0.5}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.95}})
        .set({{kRvbType, kPlate}}));
    out.add("Angry Birds", Draft(kBlank).note(kLeft, 1, 16).note(kRight, 1, 12).lfoNote(1, 8)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.3}, {kDlyRFb, 0.3}, {kDlyLFbPan, 1.0}, {kDlyRFbPan, 0.0}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.72}, {kFltRes, 0.35}, {kFltMod, 0.85}})
        .set({{kModOn, kOn}, {kModLfoWave, kSaw}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.6}, {kVcoMod, 0.7}})
        .set({{kRvbType, kPlate}}));
    out.add("Drum Filter", Draft(kBlank).note(kLeft, 1, 8).note(kRight, 1, 16)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.3}, {kDlyRFb, 0.3}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.45}, {kFltRes, 0.2}, {kFltMod, 0.8}})
        .set({{kModOn, kOn}, {kModSource, 1.0}, {kModEnvSpeed, 0.08}, {kModSens, 0.65}})
        .set({{kRvbType, kPlate}}));
    out.add("Drunken Tape", Draft(kBlank).time(kLeft, 380.0).time(kRight, 520.0)
        .set({{kMainMix, 0.42}, {kMainOut, 0.55}, {kDlyLFb, 0.4},
              {kDlyRFb, 0.4}, {kDlyLFbPan, 0.25}, {kDlyRFbPan, 0.75}})
        .set({{kDrvOn, kOn}, {kDrvGain, 0.3}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop}, {kFltCutoff, 0.64}, {kFltRes, 0.05}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.09}, {kModLfoOffset, 0.7}, {kModSource, 0.1}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.48}, {kVcoMod, 0.62}}));
    out.add("Haunted Playground", Draft(kBlank).note(kLeft, 3, 8).note(kRight, 1, 2)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.45}, {kDlyRFb, 0.45},
              {kDlyLFbPan, 0.35}, {kDlyRFbPan, 0.65}, {kDlyRFbInv, kOn}})
        .set({{kFltOn, kOn}, {kFltType, kHpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.4}, {kFltRes, 0.1}, {kFltMod, 0.58}})
        .set({{kModOn, kOn}, {kModLfoWave, kTriangle}, {kModLfoRate, 0.15}, {kModLfoOffset, 0.8}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoManual, 0.52}, {kVcoMod, 0.6}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.05}, {kRvbAmt, 0.4}}));
    out.add("Overload", Draft(kBlank).note(kLeft, 1, 8).note(kRight, 3, 16)
        .set({{kMainIn, 0.58}, {kMainOut, 0.57}, {kMainMix, 0.6}, {kDlyLFb, 0.45},
              {kDlyRFb, 0.45}, {kDlyLFbPan, 0.1}, {kDlyRFbPan, 0.9}})
        .set({{kDrvOn, kOn}, {kDrvGain, 0.6}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop}, {kFltCutoff, 0.58}, {kFltRes, 0.15}}));
    out.add("Psyched", Draft(kBlank).note(kLeft, 1, 4).note(kRight, 3, 8)
        .set({{kMainMix, 0.42}, {kMainOut, 0.59}, {kDlyLFb, 0.4}, {kDlyRFb, 0.4}, {kDlyLFbPan, 0.8}, {kDlyRFbPan, 0.2}})
        .set({{kFltOn, kOn}, {kFltType, kBpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.58}, {kFltRes, 0.2}, {kFltMod, 0.8}})
        .set({{kModOn, kOn}, {kModLfoWave, kTriangle}, {kModLfoRate, 0.2}, {kModLfoOffset, 1.0}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.6}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.12}, {kRvbAmt, 0.3}}));
    out.add("Pink Is Dotty", Draft(kBlank).note(kLeft, 3, 16).note(kRight, 3, 8).lfoNote(3, 8)
        .set({{kMainMix, 0.36}, {kDlyLFb, 0.38}, {kDlyRFb, 0.38}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.6}, {kFltRes, 0.1}, {kFltMod, 0.6}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.53}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.25}, {kRvbAmt, 0.2}}));
    out.add("Zembrolodeon", Draft(kBlank).time(kLeft, 5.0).time(kRight, 7.5)
        .set({{kMainMix, 0.45}, {kDlyLFb, 0.45}, {kDlyRFb, 0.45}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.7}, {kFltRes, 0.1}, {kFltMod, 0.6}})
        .set({{kModOn, kOn}, {kModLfoWave, kTriangle}, {kModLfoRate, 0.3},
              {kModLfoOffset, 0.7}, {kModSource, 0.3}, {kModSens, 0.5}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.7}})
        .set({{kRvbOn, kOn}, {kRvbType, kSpring}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.3}, {kRvbAmt, 0.3}}));
    out.add("Into The Sunset", Draft(kBlank).note(kLeft, 1, 2).note(kRight, 3, 4)
        .set({{kMainMix, 0.38}, {kMainOut, 0.52}, {kDlyLFb, 0.5}, {kDlyRFb, 0.5}, {kDlyLFbPan, 0.3}, {kDlyRFbPan, 0.7}})
        .set({{kFltOn, kOn}, {kFltType, kLpf}, {kFltMode, kFilterLoop},
              {kFltCutoff, 0.52}, {kFltRes, 0.08}, {kFltMod, 0.6}})
        .set({{kModOn, kOn}, {kModLfoWave, kSine}, {kModLfoRate, 0.04}, {kModLfoOffset, 0.6}, {kModSource, 0.0}})
        .set({{kVcoOn, kOn}, {kVcoMod, 0.55}})
        .set({{kRvbOn, kOn}, {kRvbType, kPlate}, {kRvbMode, kReverbWet}, {kRvbDamp, 0.03}, {kRvbAmt, 0.5}}));
    out.add("Piano Case", Draft(kBlank).time(kLeft, 18.0).time(kRight, 26.0)
        .set({{kMainMix, 0.4}, {kDlyLFb, 0.4}, {kDlyRFb, 0.4}, {kDlyLFbPan, 0.6}, {kDlyRFbPan, 0.4}})
        .set({{kFltOn, kOn}, {kFltType, kHpf}, {kFltMode, kFilterIn},
              {kFltCutoff, 0.35}, {kFltRes, 0.1}, {kFltMod, 0.56}})
        .set({{kModOn, kOn}, {kModSource, 1.0}, {kModSens, 0.5}})
        .set({{kRvbOn, kOn}, {kRvbType, kSpring}, {kRvbMode, kReverbOutput}, {kRvbDamp, 0.3}, {kRvbAmt, 0.4}}));
}

}  // namespace ruvane
