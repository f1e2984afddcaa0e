// One palette for the whole panel, lit from the top left.
#pragma once

#include "effect/editor/skin/paint.h"

namespace ruvane::skin::palette {

// Anodised faceplate; the preset-name field sits on exactly this colour.
inline constexpr Colour kFace = Colour::rgb(189, 207, 218);
inline constexpr Colour kPlate = Colour::rgb(172, 191, 204);
inline constexpr Colour kEngraveDark = Colour::rgb(92, 108, 120);
inline constexpr Colour kEngraveLight = Colour::rgb(236, 244, 248, 0.85);
inline constexpr Colour kLegend = Colour::rgb(36, 36, 32);
inline constexpr Colour kLegendSoft = Colour::rgb(36, 36, 32, 0.72);
inline constexpr Colour kLightText = Colour::rgb(226, 232, 236);

// Channel accents: left delay warm amber, right delay cool teal.
inline constexpr Colour kAccentLeft = Colour::rgb(222, 124, 36);
inline constexpr Colour kAccentRight = Colour::rgb(28, 146, 164);

// Knobs.
inline constexpr Colour kBakelite = Colour::rgb(22, 22, 24);
inline constexpr Colour kSkirtLight = Colour::rgb(222, 226, 230);
inline constexpr Colour kSkirtDark = Colour::rgb(96, 102, 110);
inline constexpr Colour kPointer = Colour::rgb(244, 236, 210);

// LEDs.
inline constexpr Colour kLedOn = Colour::rgb(255, 64, 36);
inline constexpr Colour kLedHot = Colour::rgb(255, 214, 170);
inline constexpr Colour kLedOff = Colour::rgb(86, 26, 22);
inline constexpr Colour kAmberOn = Colour::rgb(255, 170, 40);
inline constexpr Colour kAmberOff = Colour::rgb(92, 66, 30);

// Keys and housings.
inline constexpr Colour kKeyTop = Colour::rgb(78, 82, 88);
inline constexpr Colour kKeyBottom = Colour::rgb(44, 47, 52);
inline constexpr Colour kKeyText = Colour::rgb(228, 226, 214);
inline constexpr Colour kHousing = Colour::rgb(30, 32, 36);
inline constexpr Colour kSlot = Colour::rgb(16, 17, 20);

// Value display and meters.
inline constexpr Colour kGlass = Colour::rgb(26, 14, 12);
inline constexpr Colour kSegmentOn = Colour::rgb(255, 78, 34);
inline constexpr Colour kSegmentOff = Colour::rgb(255, 78, 34, 0.09);
inline constexpr Colour kMeterGreen = Colour::rgb(80, 230, 90);
inline constexpr Colour kMeterYellow = Colour::rgb(250, 214, 50);
inline constexpr Colour kMeterRed = Colour::rgb(255, 56, 40);

// Preset strip.
inline constexpr Colour kStrip = Colour::rgb(56, 64, 72);
inline constexpr Colour kStripText = Colour::rgb(214, 222, 228);
inline constexpr Colour kWell = kFace;
inline constexpr Colour kSaveRed = Colour::rgb(226, 58, 44);
inline constexpr Colour kLoadGreen = Colour::rgb(64, 196, 84);

}  // namespace ruvane::skin::palette
