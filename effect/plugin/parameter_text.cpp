#include "effect/plugin/parameter_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "effect/engine/delay_engine.h"
#include "effect/engine/parameter_mapping.h"
#include "effect/engine/parameters.h"
#include "vst/vst_strings.h"

namespace ruvane {

namespace {

// Gains below -98 dB read as -100 dB on the value display.
constexpr float kReadingFloorGain = 1.2589254e-05f;
constexpr float kReadingFloorDb = -100.0f;
constexpr int kCcNamePrefixLength = 4;  // "CC# "

const char* const kOffOn[] = {"off", "on"};
const char* const kLfoWaves[] = {"sin", "sqr", "tri", "saw", "rnd"};
const char* const kFilterTypes[] = {"LPF", "BPF", "HPF"};
const char* const kFilterModes[] = {"in", "fb", "fx"};
const char* const kDelayModes[] = {"time", "note"};
const char* const kLfoModes[] = {"freq", "note"};
const char* const kReverbModes[] = {"fx", "out"};
const char* const kReverbTypes[] = {"spring", "plate"};

// Percent pairs always sum to 100: b = floor(101 v), at most 100.
int pairShare(float v) {
    const float b = std::floor(101.0f * v);
    return b >= 100.0f ? 100 : (b > 0.0f ? static_cast<int>(b) : 0);
}

template <size_t N>
void writeChoice(const char* const (&choices)[N], float v, char* text) {
    vst_strncpy(text, choices[switchPosition(v, static_cast<int>(N))], kMaxParameterTextLength);
}

template <typename... Args>
void writeFormat(char* text, const char* format, Args... args) {
    std::snprintf(text, kMaxParameterTextLength + 1, format, args...);
}

void writePair(char* text, const char* format, float v) {
    const int b = pairShare(v);
    writeFormat(text, format, 100 - b, b);
}

// Rounds the magnitude first, so "-0" is never shown.
void writeSignedPercent(char* text, float v) {
    const float m = mapping::bipolar(v);
    const int a = static_cast<int>(std::floor(std::fabs(m) * 100.0f + 0.5f));
    writeFormat(text, m < 0.0f && a != 0 ? "-%d" : "%d", a);
}

void writeOffset(char* text, float v) {
    const float theta = mapping::lfoOffsetRadians(v);
    const int a = static_cast<int>(std::floor(std::fabs(theta) / kHalfPi * 90.0f + 0.5f));
    if (a == 0)
        vst_strncpy(text, "L:0<>0:R", kMaxParameterTextLength);
    else if (theta > 0.0f)
        writeFormat(text, "L:-%d<>%d+:R", a, a);
    else
        writeFormat(text, "L:+%d<>%d-:R", a, a);
}

template <size_t N>
int tableNumber(const std::array<float, N>& table, float v) {
    return static_cast<int>(tableEntry(table, v));
}

float decibelsOrFloor(float gain) {
    return gain < kReadingFloorGain ? kReadingFloorDb : 20.0f * std::log10(gain);
}

void setFraction(DisplayReading& reading, int numerator, int denominator) {
    reading.fractionNumerator = numerator;
    reading.fractionDenominator = denominator;
}

}  // namespace

void parameterName(int index, char* text) {
    if (index < 0 || index >= 2 * kNumSoundParameters) return;
    if (index < kNumSoundParameters) {
        vst_strncpy(text, kParameterInfo[static_cast<size_t>(index)].name, kMaxParameterTextLength);
        return;
    }
    std::memcpy(text, "CC# ", kCcNamePrefixLength);
    vst_strncpy(text + kCcNamePrefixLength, kParameterInfo[static_cast<size_t>(index - kNumSoundParameters)].name,
                kMaxParameterTextLength - kCcNamePrefixLength);
}

void parameterLabel(int index, char* text) {
    const bool sound = index >= 0 && index < kNumSoundParameters;
    vst_strncpy(text, sound ? kParameterInfo[static_cast<size_t>(index)].label : "", kMaxParameterTextLength);
}

void parameterDisplay(const DelayEngine& engine, int index, char* text) {
    *text = '\0';
    if (index < 0 || index >= kNumSoundParameters) return;
    const float v = engine.getParameter(index);
    const int maxLen = kMaxParameterTextLength;
    switch (index) {
        case kMainIn:
        case kMainOut: dB2string(mapping::gain(v), text, maxLen); break;
        case kMainMix: writePair(text, "D:%d<>%d:W", v); break;
        case kDlyLFb:
        case kDlyRFb: dB2string(v, text, maxLen); break;
        case kDlyLFbPan:
        case kDlyRFbPan: writePair(text, "L:%d<>%d:R", v); break;
        case kModLfoWave: writeChoice(kLfoWaves, v, text); break;
        case kModLfoRate: float2string(engine.lfoRateHz(), text, maxLen); break;
        case kModLfoOffset: writeOffset(text, v); break;
        case kModSource: writePair(text, "L:%d<>%d:E", v); break;
        case kFltMod:
        case kVcoMod: writeSignedPercent(text, v); break;
        case kFltType: writeChoice(kFilterTypes, v, text); break;
        case kFltCutoff: int2string(static_cast<int>(engine.cutoffHz()), text, maxLen); break;
        case kFltRes: float2string(10.0f * v, text, maxLen); break;
        case kVcoManual: float2string(std::exp2(mapping::bipolar(v)), text, maxLen); break;
        case kDrvGain: dB2string(mapping::powerOfSixteen(v), text, maxLen); break;
        case kModEnvSpeed: int2string(static_cast<int>(std::floor(mapping::envelopeSpeedMs(v) + 0.5f)), text, maxLen); break;
        case kFltMode: writeChoice(kFilterModes, v, text); break;
        case kDlyLMode:
        case kDlyRMode: writeChoice(kDelayModes, v, text); break;
        case kDlyLNum:
        case kDlyRNum: writeFormat(text, "%d", tableNumber(kDelayNumerators, v)); break;
        case kDlyLDen:
        case kDlyRDen:
        case kModLfoDen: writeFormat(text, "%d", tableNumber(kSyncDenominators, v)); break;
        case kDlyLRange:
        case kDlyRRange: writeFormat(text, "%d", tableNumber(kDelayRangesMs, v)); break;
        case kModLfoMode: writeChoice(kLfoModes, v, text); break;
        case kModLfoNum: writeFormat(text, "%d", tableNumber(kLfoNumerators, v)); break;
        case kDlyLTime: writeFormat(text, "%f", static_cast<double>(engine.delayTimeMs(0))); break;
        case kDlyRTime: writeFormat(text, "%f", static_cast<double>(engine.delayTimeMs(1))); break;
        case kRvbMode: writeChoice(kReverbModes, v, text); break;
        case kRvbType: writeChoice(kReverbTypes, v, text); break;
        case kRvbDamp:
        case kRvbAmt: float2string(100.0f * v, text, maxLen); break;
        case kModSens: writeFormat(text, "%d", static_cast<int>(std::floor(100.0f * v + 0.5f))); break;
        default: writeChoice(kOffOn, v, text); break;  // the two-position switches
    }
}

bool parameterProperties(int index, VstParameterProperties* p) {
    auto integerRange = [p](int32_t minimum, int32_t maximum) {
        p->minInteger = minimum;
        p->maxInteger = maximum;
        p->stepInteger = 1;
        p->flags = 0;
    };
    auto floatSteps = [p](float step, float largeStep) {
        p->stepFloat = step;
        p->smallStepFloat = step;
        p->largeStepFloat = largeStep;
        p->flags = kVstParameterUsesFloatStep;
    };
    switch (index) {
        case kDlyLFbInv: case kDlyRFbInv: case kDlyLDlyInv: case kDlyRDlyInv: case kDlyLMode: case kDlyRMode:
        case kModLfoMode: case kRvbMode: case kRvbType: case kMainBypass: case kFltOn: case kDrvOn: case kModOn:
        case kVcoOn: case kRvbOn:
            p->minInteger = 0;
            p->maxInteger = 1;
            p->stepInteger = 1;
            p->largeStepInteger = 1;
            // Only the host's own switch, integer-range and integer-step bits are kept.
            p->flags &= kVstParameterIsSwitch | kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep;
            return true;
        case kModLfoWave: case kDlyLNum: case kDlyRNum: case kModLfoNum: integerRange(1, 5); return true;
        case kFltType: case kFltMode: case kDlyLRange: case kDlyRRange: integerRange(1, 3); return true;
        case kDlyLDen: case kDlyRDen: case kModLfoDen: integerRange(1, 14); return true;
        case kModEnvSpeed: floatSteps(0.0011111111f, 0.011111111f); return true;
        case kDlyLTime: case kDlyRTime: floatSteps(0.0001f, 0.1f); return true;
        default: return false;
    }
}

void displayReading(const DelayEngine& engine, int index, DisplayReading& reading) {
    const float v = index >= 0 && index < kNumSoundParameters ? engine.getParameter(index) : 0.0f;
    float a = 0.0f;
    int separator = 0;
    bool isSigned = false;
    switch (index) {
        case kMainIn:
        case kMainOut: a = decibelsOrFloor(mapping::gain(v)); isSigned = true; break;
        case kDlyLFb:
        case kDlyRFb: a = decibelsOrFloor(v); isSigned = true; break;
        case kMainMix:
        case kDlyLFbPan:
        case kDlyRFbPan:
        case kModSource: {
            const int b = pairShare(v);
            separator = b == 100 ? 1 : (b > 0 ? 2 : 3);
            a = b > 0 ? static_cast<float>(b + (100 - b) * 100) : 1000.0f;
            break;
        }
        case kModLfoRate: a = engine.lfoRateHz(); break;
        case kModLfoOffset: a = mapping::lfoOffsetRadians(v) * 90.0f / kHalfPi; isSigned = true; break;
        case kFltMod:
        case kVcoMod: a = mapping::bipolar(v) * 100.0f; isSigned = true; break;
        case kFltCutoff: a = engine.cutoffHz() / 1000.0f; break;
        case kFltRes:
        case kModSens: a = 10.0f * v; break;
        case kVcoManual: a = std::exp2(mapping::bipolar(v)); break;
        case kDrvGain: a = 20.0f * std::log10(mapping::powerOfSixteen(v)); isSigned = true; break;
        case kModEnvSpeed: a = mapping::envelopeSpeedMs(v); break;
        case kDlyLTime: a = engine.delayTimeMs(0); break;
        case kDlyRTime: a = engine.delayTimeMs(1); break;
        case kRvbDamp:
        case kRvbAmt: a = 100.0f * v; break;
        case kTempoReading: a = engine.tempoBpm(); break;
        case kDlyLNum:
        case kDlyLDen:
            setFraction(reading, tableNumber(kDelayNumerators, engine.getParameter(kDlyLNum)),
                        tableNumber(kSyncDenominators, engine.getParameter(kDlyLDen)));
            break;
        case kDlyRNum:
        case kDlyRDen:
            setFraction(reading, tableNumber(kDelayNumerators, engine.getParameter(kDlyRNum)),
                        tableNumber(kSyncDenominators, engine.getParameter(kDlyRDen)));
            break;
        case kModLfoNum:
        case kModLfoDen:
            setFraction(reading, tableNumber(kLfoNumerators, engine.getParameter(kModLfoNum)),
                        tableNumber(kSyncDenominators, engine.getParameter(kModLfoDen)));
            break;
        default: break;
    }
    reading.separator = separator;
    reading.showsSign = isSigned ? 1 : 0;
    if (separator != 0) {
        reading.number = static_cast<int32_t>(std::floor(a + 0.5f));
        reading.decimalPosition = 0;
        return;
    }
    // Four digits: the decimal point moves to keep as many places as the magnitude allows.
    const float c = std::fabs(a);
    float digits;
    if (c < 10.0f) {
        digits = std::floor(1000.0f * c + 0.5f);
        reading.decimalPosition = 1;
    } else if (c < 100.0f) {
        digits = std::floor(100.0f * c + 0.5f);
        reading.decimalPosition = 2;
    } else if (c < 1000.0f) {
        digits = std::floor(10.0f * c + 0.5f);
        reading.decimalPosition = 3;
    } else {
        digits = std::floor(c + 0.5f);
        reading.decimalPosition = 0;
    }
    reading.number = static_cast<int32_t>(a < 0.0f ? -digits : digits);
}

}  // namespace ruvane
