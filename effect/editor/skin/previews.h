// Pictures for people: the contact sheet of every bitmap and the composed panel.
#pragma once

#include "effect/editor/skin/paint.h"

#include <map>

namespace ruvane::skin {

// Every bitmap with its id, size and frames (film strips at 0, 25, 50, 75, 100).
Surface renderContactSheet(const std::map<int, Surface>& bitmaps, int scale);

// The background with every control drawn at its start value at its place, and the
// preset name in its field: what the editor shows when it opens.
Surface renderComposedPanel(const std::map<int, Surface>& bitmaps, int scale);

// The same panel in use: knobs turned, sections on, a fraction on the display, meters
// lit, a key held down. Shows the other frames where they belong.
Surface renderPanelInUse(const std::map<int, Surface>& bitmaps, int scale);

}  // namespace ruvane::skin
