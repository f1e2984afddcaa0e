// The four-digit LED value display: which reading it shows and how a reading becomes
// the frames of its digits, decimal points and separator lamps. Plain values in, plain
// values out: the editor puts them into its film-strip displays.
#pragma once

#include <array>
#include <cstdint>

#include "effect/plugin/parameter_text.h"

namespace ruvane {

struct DisplayFrames {
    // Control values (0..1) of digit 1 (13 frames), digits 2-4 (11 frames each),
    // the decimal points after digits 1-3 and the separator lamps 1-3 (2 frames each).
    std::array<float, 4> digits{};
    std::array<float, 3> points{};
    std::array<float, 3> separators{};
    bool operator==(const DisplayFrames&) const = default;
};

// Frame counts of the digit strips: blank, 0-9, and on digit 1 also minus and plus.
inline constexpr int kFirstDigitFrames = 13;
inline constexpr int kDigitFrames = 11;

// The frames showing a reading; a fraction shows only in the blink's visible phase.
DisplayFrames renderReading(const DisplayReading& reading, bool blinkVisible);

// What each mode of the delay channels and the LFO reads when its control is edited
// or pointed at: the step numerator in sync (note) mode, else the time or rate.
struct SyncModes {
    bool left = false;
    bool right = false;
    bool lfo = false;
};

// The reading for an edited control's tag, or `previous` for a tag without one.
int readingForEditedTag(int tag, const SyncModes& modes, int previous);

// The reading under the mouse when nothing is edited: the LFO, left and right delay
// areas first, then the knob under the mouse (knobTag, -1 for none), else the tempo.
int readingAtPoint(double x, double y, int knobTag, const SyncModes& modes);

// Readings of a synchronised delay's numerator; only these blink when out of range.
inline constexpr int kLeftDelayNumeratorReading = 26;
inline constexpr int kRightDelayNumeratorReading = 27;

}  // namespace ruvane
