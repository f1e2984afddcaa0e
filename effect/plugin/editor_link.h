// What the effect tells its editor. The editor object exists for the whole life of
// the effect, whether or not its window is open; calls may come from the audio thread
// (MIDI-driven parameter changes, host tempo changes).
#pragma once

namespace ruvane {

class EditorLink {
public:
    // A parameter changed (host, preset, MIDI): the controls follow.
    virtual void parameterChanged(int index, float value) = 0;
    // The link switch, which edits the left and right delay lines together.
    virtual void setLinkChannels(bool linked) = 0;
    virtual void tempoChanged(float bpm) = 0;
    // Learn or unassign mode ended on the effect's side: the panel buttons go off.
    virtual void learnEnded() = 0;
    virtual void unassignEnded() = 0;
    // The current preset was renamed by the host: the name field and the menu follow.
    virtual void presetRenamed() = 0;
    // Stored default bank, preset and MIDI settings, and the remembered folder and files.
    virtual void loadUserDefaults() = 0;

protected:
    ~EditorLink() = default;
};

}  // namespace ruvane
