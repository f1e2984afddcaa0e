// The --list-presets and --list-parameters tables.
#pragma once

#include <ostream>

#include "tools/ruvane-render/effect_setup.h"

namespace ruvane::render {

// Index and name of each preset; the current one is marked with '*'.
void listPresets(EffectSetup& setup, std::ostream& out);

// Index, name, normalised value, display text with its unit, and (Ruvane) the MIDI
// controller assigned to each sound parameter.
void listParameters(EffectSetup& setup, vsthost::PluginInstance& plugin, std::ostream& out);

}  // namespace ruvane::render
