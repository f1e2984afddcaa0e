// What the host and the editor are shown for each of the 96 parameters: names,
// labels, display texts computed from the engine's current state, host properties,
// and the readings of the editor's four-digit value display.
#pragma once

#include <cstdint>

#include "vst/aeffect.h"

namespace ruvane {

class DelayEngine;

// Text buffers hosts hand over for labels and display texts hold 64 bytes.
inline constexpr int kMaxParameterTextLength = 63;

// The value display's content: a four-digit number with decimal point, sign,
// percent-pair separator lamps, or a fraction.
struct DisplayReading {
    int32_t number = 0;
    int32_t decimalPosition = 0;  // 0 none, 1..3: after digit 1..3
    uint8_t showsSign = 0;          // the first digit shows the sign
    int32_t separator = 0;        // 0 none, 1..3: which separator lamp is lit
    int32_t fractionNumerator = 0;
    int32_t fractionDenominator = 0;
};

// Reading index of the tempo, beyond the parameters.
inline constexpr int kTempoReading = 49;

void parameterName(int index, char* text);
void parameterLabel(int index, char* text);
void parameterDisplay(const DelayEngine& engine, int index, char* text);
bool parameterProperties(int index, VstParameterProperties* properties);
void displayReading(const DelayEngine& engine, int index, DisplayReading& reading);

}  // namespace ruvane
