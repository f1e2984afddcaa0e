// The bank the effect ships with.
#pragma once

#include "effect/plugin/preset_record.h"

namespace ruvane {

// Writes the 61 factory presets (names and values) into bank.
void fillFactoryPresets(PresetBank& bank);

}  // namespace ruvane
