#include "effect/editor/preset_file_dialogs.h"

namespace ruvane {

namespace {

struct DialogTexts {
    const char* loadTitle;
    const char* reversedLoadTitle;
    const char* saveTitle;
    const char* fileTypeName;
    const char* extension;
};

const DialogTexts& textsFor(PresetFileKind kind) {
    static constexpr DialogTexts kBank{"Load bank", "Load bank (endian-reversed)", "Save bank", "ZAV Bank", "zvb"};
    static constexpr DialogTexts kPreset{"Load preset", "Load preset (endian-reversed)", "Save preset",
                                         "ZAV Preset", "zav"};
    static constexpr DialogTexts kMidi{"Load MIDI settings", "Load MIDI settings (endian-reversed)",
                                       "Save midi settings as", "ZAV MIDI Settings", "zvm"};
    switch (kind) {
        case PresetFileKind::Bank: return kBank;
        case PresetFileKind::MidiSettings: return kMidi;
        case PresetFileKind::Preset: break;
    }
    return kPreset;
}

}  // namespace

FileDialogRequest presetFileDialogRequest(const PresetFileOperation& operation, const std::string& folder,
                                          const std::string& fileName, unsigned long parentWindow) {
    const DialogTexts& texts = textsFor(operation.kind);
    FileDialogRequest request;
    request.mode = operation.save ? FileDialogRequest::Mode::Save : FileDialogRequest::Mode::Open;
    request.title = operation.save ? texts.saveTitle : (operation.reversed ? texts.reversedLoadTitle : texts.loadTitle);
    request.fileTypeName = texts.fileTypeName;
    request.extension = texts.extension;
    request.folder = folder;
    if (operation.save) request.proposedName = fileName;
    request.parentWindow = parentWindow;
    return request;
}

}  // namespace ruvane
