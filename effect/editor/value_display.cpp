#include "effect/editor/value_display.h"

#include <cstdlib>

#include "effect/engine/parameters.h"

namespace ruvane {

namespace {

// Frame k of a strip with n frames is the control value k / (n - 1).
float firstDigitFrame(int frame) { return static_cast<float>(frame) / (kFirstDigitFrames - 1); }
float digitFrame(int frame) { return static_cast<float>(frame) / (kDigitFrames - 1); }

// The digit's frame: frame 0 is blank, frames 1-10 show 0-9.
int frameOfDigit(int digit) { return digit + 1; }
constexpr int kMinusFrame = 11;
constexpr int kPlusFrame = 12;
constexpr float kLit = 1.0f;

// Lamps numbered 1..3; 0 (or anything else) lights none.
void light(std::array<float, 3>& lamps, int number) {
    if (number >= 1 && number <= 3) lamps[static_cast<std::size_t>(number - 1)] = kLit;
}

// Mouse areas of the value display's readings (inclusive bounds).
struct Area {
    double left, top, right, bottom;
    bool contains(double x, double y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};
constexpr Area kLfoArea{302, 81, 364, 136};
constexpr Area kLeftDelayArea{88, 19, 150, 74};
constexpr Area kRightDelayArea{88, 82, 150, 137};

int lfoReading(const SyncModes& modes) { return modes.lfo ? kModLfoNum : kModLfoRate; }
int leftDelayReading(const SyncModes& modes) { return modes.left ? kDlyLNum : kDlyLTime; }
int rightDelayReading(const SyncModes& modes) { return modes.right ? kDlyRNum : kDlyRTime; }

bool readsItsOwnIndex(int tag) {
    switch (tag) {
        case kMainIn: case kMainOut: case kMainMix: case kDlyLFb: case kDlyRFb: case kDlyLFbPan:
        case kDlyRFbPan: case kModLfoOffset: case kModSource: case kFltMod: case kFltCutoff:
        case kFltRes: case kVcoManual: case kVcoMod: case kDrvGain: case kModEnvSpeed:
        case kRvbDamp: case kRvbAmt: case kModSens: case kTempoReading:
            return true;
        default:
            return false;
    }
}

}  // namespace

DisplayFrames renderReading(const DisplayReading& reading, bool blinkVisible) {
    DisplayFrames frames;
    if (reading.fractionNumerator == 0) {
        int number = reading.number;
        int decimalPosition = reading.decimalPosition;
        if (reading.showsSign != 0) {
            // The sign takes the first digit: one digit less, the point one place right
            // (past digit 3 there is none).
            number /= 10;
            decimalPosition = (decimalPosition + 1) % 4;
            frames.digits[0] = firstDigitFrame(number >= 0 ? kPlusFrame : kMinusFrame);
        }
        const int magnitude = std::abs(number) % 10000;
        if (reading.showsSign == 0) frames.digits[0] = firstDigitFrame(frameOfDigit(magnitude / 1000));
        frames.digits[1] = digitFrame(frameOfDigit(magnitude / 100 % 10));
        frames.digits[2] = digitFrame(frameOfDigit(magnitude / 10 % 10));
        frames.digits[3] = digitFrame(frameOfDigit(magnitude % 10));
        light(frames.separators, reading.separator);
        light(frames.points, decimalPosition);
    } else if (blinkVisible) {
        frames.digits[0] = firstDigitFrame(frameOfDigit(std::abs(reading.fractionNumerator) % 10));
        light(frames.separators, 2);
        const int denominator = std::abs(reading.fractionDenominator) % 100;
        if (denominator >= 10) frames.digits[2] = digitFrame(frameOfDigit(denominator / 10));
        frames.digits[3] = digitFrame(frameOfDigit(denominator % 10));
    }
    return frames;
}

int readingForEditedTag(int tag, const SyncModes& modes, int previous) {
    if (readsItsOwnIndex(tag)) return tag;
    if (tag == kModLfoRate) return lfoReading(modes);
    if (tag == kDlyLTime) return leftDelayReading(modes);
    if (tag == kDlyRTime) return rightDelayReading(modes);
    return previous;
}

int readingAtPoint(double x, double y, int knobTag, const SyncModes& modes) {
    if (kLfoArea.contains(x, y)) return lfoReading(modes);
    if (kLeftDelayArea.contains(x, y)) return leftDelayReading(modes);
    if (kRightDelayArea.contains(x, y)) return rightDelayReading(modes);
    if (knobTag >= 0) return knobTag;
    return kTempoReading;
}

}  // namespace ruvane
