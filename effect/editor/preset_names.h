// Preset names between the bank's 24 name bytes and the text the panel shows and
// takes. Names from old files may be in Latin-1 rather than UTF-8; they are shown as
// such instead of as broken text. A typed name is cut to what the 24 bytes hold,
// never in the middle of a character.
#pragma once

#include <string>
#include <string_view>

#include "effect/plugin/preset_record.h"

namespace ruvane {

// The name bytes up to the first zero (all 24 when there is none), as UTF-8 text.
std::string presetNameText(const char* nameBytes);

// The longest start of `typed` that fits a preset name and ends on a whole character.
std::string cutToPresetName(std::string_view typed);

}  // namespace ruvane
