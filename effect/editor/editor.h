// The effect's editor. Its window and controls come later; for now it keeps the
// preset-system side alive with the effect.
#pragma once

#include "effect/editor/preset_system_editor.h"

namespace ruvane {

class ZAV;

class Editor : public CPresetSystemEditor {
public:
    explicit Editor(ZAV* effect);
};

}  // namespace ruvane
