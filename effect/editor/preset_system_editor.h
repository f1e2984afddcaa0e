// The editor's preset-system side: everything that moves presets, banks and MIDI
// settings between the effect, files and the user's stored settings. It exists for
// the whole life of the effect, with or without a window.
//
// Files are addressed by full path; the process's working directory is never changed
// (it belongs to the host). Loads open the file for reading only; saves write a
// temporary file beside the target and rename it over, so a failed save leaves the
// old file whole. Every operation answers whether it did its work; one that fails
// changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "effect/editor/preset_images.h"
#include "effect/plugin/editor_link.h"
#include "effect/plugin/preset_system_effect.h"
#include "platform/settings_store.h"
#include "vst/aeffeditor.h"

namespace ruvane {

class CPresetSystemEditor : public AEffEditor, public EditorLink {
public:
    // The remembered folder and file names hold at most this many bytes.
    static constexpr std::size_t kMaxPathTextBytes = 256;

    // Names of the stored values.
    static constexpr char kDefaultBankValue[] = "DefaultBank";
    static constexpr char kDefaultPresetValue[] = "DefaultPreset";
    static constexpr char kDefaultMidiValue[] = "DefaultMidi";
    static constexpr char kMemoryAValue[] = "MemoA";
    static constexpr char kMemoryBValue[] = "MemoB";
    static constexpr char kFolderValue[] = "CurrDir";
    static constexpr char kBankFileValue[] = "CurrBank";
    static constexpr char kPresetFileValue[] = "CurrPreset";
    static constexpr char kMidiFileValue[] = "CurrMidi";

    enum class CompareMemory { A, B };

    explicit CPresetSystemEditor(CPresetSystemEffect* effect);
    ~CPresetSystemEditor() override;

    void parameterChanged(int /*index*/, float /*value*/) override {}
    void setLinkChannels(bool /*linked*/) override {}
    void tempoChanged(float /*bpm*/) override {}
    void learnEnded() override {}
    void unassignEnded() override {}
    void presetRenamed() override {}
    // Stored default bank, preset and MIDI settings, then the remembered folder and files.
    void loadUserDefaults() override;

    // Images of the effect's state (buffers of kBankImageBytes, kPresetImageBytes,
    // kMidiImageBytes). Reading one applies it to the effect; reverse asks for every
    // value to be byte-reversed once more (files from a tool that wrote them wrongly).
    void writeBankImage(uint8_t* image);
    void writePresetImage(uint8_t* image);
    void writeMidiImage(uint8_t* image);
    // Makes preset 0 current first, whatever the image holds.
    bool readBankImage(const uint8_t* image, bool reverse);
    bool readPresetImage(const uint8_t* image, bool reverse);
    bool readMidiImage(const uint8_t* image, bool reverse);

    // Files, by full path. The path's folder and file name become the remembered ones.
    // A bank load makes preset 0 current first, also when the file cannot be read.
    // A file shorter than its format is rejected; a longer one is read up to its size.
    bool loadBank(const std::string& path, bool reverse);
    bool saveBank(const std::string& path);
    bool loadPreset(const std::string& path, bool reverse);
    bool savePreset(const std::string& path);
    bool loadMidiSettings(const std::string& path, bool reverse);
    bool saveMidiSettings(const std::string& path);

    // Stored defaults, applied to every new instance.
    bool storeDefaultBank();
    bool clearDefaultBank();
    bool storeDefaultPreset();
    bool clearDefaultPreset();
    bool storeDefaultMidi();

    // The two compare memories: the current preset, kept in the stored settings.
    bool storeMemory(CompareMemory memory);
    bool recallMemory(CompareMemory memory);

    // How the panel's controls ask: a load control reports exactly 0.5 for a
    // byte-reversed load; a default control below 0.75 clears the default.
    static bool asksForReversedLoad(float controlValue) { return controlValue == 0.5f; }
    static bool asksToClearDefault(float controlValue) { return controlValue < 0.75f; }

    const std::string& currentFolder() const { return currentFolder_; }
    const std::string& currentBankFile() const { return currentBankFile_; }
    const std::string& currentPresetFile() const { return currentPresetFile_; }
    const std::string& currentMidiFile() const { return currentMidiFile_; }

protected:
    CPresetSystemEffect* presetEffect() const { return presetEffect_; }
    // Preset names or the current preset changed by a load: the window shows them anew.
    virtual void presetsReloaded() {}

private:
    // Takes folder and file name of a chosen path; a path without a folder changes neither.
    void rememberPath(const std::string& path, std::string& fileName);
    bool readImageFile(const std::string& path, uint8_t* image, std::size_t size);
    bool writeImageFile(const std::string& path, const uint8_t* image, std::size_t size);
    bool storeImage(std::string_view valueName, const uint8_t* image, std::size_t size);
    bool recallImage(std::string_view valueName, uint8_t* image, std::size_t size);
    std::string storedText(std::string_view valueName) const;
    int32_t uniqueId() const;

    CPresetSystemEffect* presetEffect_;
    SettingsStore settings_;
    std::string currentFolder_;
    std::string currentBankFile_;
    std::string currentPresetFile_;
    std::string currentMidiFile_;
};

}  // namespace ruvane
