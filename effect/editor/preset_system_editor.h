// The editor's preset-system side: everything that moves presets, banks and MIDI
// settings between the effect, files and the user's stored settings. It exists for
// the whole life of the effect, with or without a window.
#pragma once

#include "effect/plugin/editor_link.h"
#include "effect/plugin/preset_system_effect.h"
#include "vst/aeffeditor.h"

namespace ruvane {

class CPresetSystemEditor : public AEffEditor, public EditorLink {
public:
    explicit CPresetSystemEditor(CPresetSystemEffect* effect);
    ~CPresetSystemEditor() override;

    void parameterChanged(int /*index*/, float /*value*/) override {}
    void setLinkChannels(bool /*linked*/) override {}
    void tempoChanged(float /*bpm*/) override {}
    void learnEnded() override {}
    void unassignEnded() override {}
    void presetRenamed() override {}
    void loadUserDefaults() override {}

protected:
    CPresetSystemEffect* presetEffect() const { return presetEffect_; }

private:
    CPresetSystemEffect* presetEffect_;
};

}  // namespace ruvane
