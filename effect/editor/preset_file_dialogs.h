// The six file dialogs of the preset panel: load and save for presets, banks and MIDI
// settings, each with its title and its one file type.
#pragma once

#include <string>

#include "platform/file_dialog.h"

namespace ruvane {

enum class PresetFileKind { Bank, Preset, MidiSettings };

struct PresetFileOperation {
    PresetFileKind kind = PresetFileKind::Preset;
    bool save = false;
    bool reversed = false;  // a load that byte-reverses every value once more
    bool operator==(const PresetFileOperation&) const = default;
};

// The dialog for an operation, started in `folder`; a save proposes `fileName`.
FileDialogRequest presetFileDialogRequest(const PresetFileOperation& operation, const std::string& folder,
                                          const std::string& fileName, unsigned long parentWindow);

}  // namespace ruvane
