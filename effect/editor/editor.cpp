#include "effect/editor/editor.h"

#include "effect/plugin/zav.h"

namespace ruvane {

Editor::Editor(ZAV* effect) : CPresetSystemEditor(effect) {}

}  // namespace ruvane
