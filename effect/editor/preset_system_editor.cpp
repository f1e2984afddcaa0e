#include "effect/editor/preset_system_editor.h"

namespace ruvane {

CPresetSystemEditor::CPresetSystemEditor(CPresetSystemEffect* effect) : AEffEditor(effect), presetEffect_(effect) {
    effect->setEditor(this);
}

CPresetSystemEditor::~CPresetSystemEditor() = default;

}  // namespace ruvane
