// The editor's preset-system side: everything that moves presets, banks and MIDI
// settings between the effect, files and the user's stored settings, and the strip
// along the editor's bottom edge through which the user works it (name field, preset
// list, previous/next, file arrows, defaults, compare memories, MIDI learn and forget,
// and the readout of the controller under the mouse). The object exists for the whole
// life of the effect; the strip's controls exist while the editor's window is open.
//
// Files are addressed by full path; the process's working directory is never changed
// (it belongs to the host). Loads open the file for reading only; saves write a
// temporary file beside the target and rename it over, so a failed save leaves the
// old file whole. Every operation answers whether it did its work; one that fails
// changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "effect/editor/bitmaps.h"
#include "effect/editor/pending_editor_updates.h"
#include "effect/editor/preset_file_dialogs.h"
#include "effect/editor/preset_images.h"
#include "effect/plugin/editor_link.h"
#include "effect/plugin/preset_system_effect.h"
#include "platform/file_dialog.h"
#include "platform/settings_store.h"
#include "toolkit/aeffguieditor.h"
#include "toolkit/control_listener.h"

namespace toolkit {
class CControl;
class COptionMenu;
class CParamDisplay;
class CTextEdit;
}  // namespace toolkit

namespace ruvane {

class CPresetSystemEditor : public AEffGUIEditor, public toolkit::CControlListener, public EditorLink {
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

    // Tags of the strip's controls.
    enum PanelTag : int32_t {
        kNameFieldTag = 71,
        kPreviousNextTag = 72,
        kLoadBankTag = 73,
        kSaveBankTag = 74,
        kLoadPresetTag = 75,
        kSavePresetTag = 76,
        kControllerDisplayTag = 77,
        kLearnTag = 78,
        kLoadMidiTag = 79,
        kSaveMidiTag = 80,
        kDefaultMidiTag = 81,
        kForgetTag = 82,
        kPresetListTag = 83,
        kDefaultBankTag = 84,
        kDefaultPresetTag = 85,
        kStoreMemoryATag = 86,
        kStoreMemoryBTag = 87,
        kRecallMemoryATag = 88,
        kRecallMemoryBTag = 89,
    };
    static constexpr int32_t kFirstPanelTag = kNameFieldTag;
    static constexpr int32_t kLastPanelTag = kRecallMemoryBTag;
    // The preset list shows its 61 entries in columns of this many.
    static constexpr int32_t kPresetListRows = 16;
    // The controller readout carries entry i of the controller names as (i + 0.5) / 130.
    static constexpr int kControllerReadoutEntries = 130;
    static constexpr int kNotAssignedEntry = 128;
    static constexpr int kEmptyEntry = 129;

    explicit CPresetSystemEditor(CPresetSystemEffect* effect);
    ~CPresetSystemEditor() override;

    // The strip: built at the end of the editor's open, its pointers cleared at the
    // start of the editor's close, idled at the end of the editor's idle.
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    // Acts on the strip's tags and ignores every other.
    void valueChanged(toolkit::CControl* control) override;

    // From the effect, on any thread. The learn and forget buttons mirror the effect's
    // modes at every idle, so the first two need nothing more; a rename is shown at the
    // next idle.
    void learnEnded() override {}
    void unassignEnded() override {}
    void presetRenamed() override { pendingUpdates_.postEvent(PendingEditorUpdates::kPresetRenamed); }
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

    // The strip's control of a tag, null while the window is closed.
    toolkit::CControl* getPanelControl(int32_t tag) const;
    // The one file dialog that may be open; its answer is taken at idle.
    bool isFileDialogOpen() const { return fileDialog_.isOpen(); }
    // Shows the dialog of an operation; false when none could be shown (one is open already,
    // or there is no dialog program).
    bool startFileDialog(const PresetFileOperation& operation);

protected:
    CPresetSystemEffect* presetEffect() const { return presetEffect_; }
    // Preset names or the current preset changed by a load: the window shows them anew.
    virtual void presetsReloaded();
    // Notifications from the effect's threads, taken by the editor's idle.
    PendingEditorUpdates& pendingUpdates() { return pendingUpdates_; }
    // The name field and every title of the preset list show the bank's names again,
    // and the list's current entry is the current preset.
    void showPresetNames();
    // Bitmaps loaded while the window opens; the editor drops them once every control
    // holds its own reference.
    BitmapSet& openingBitmaps() { return openingBitmaps_; }

private:
    void buildPanel();
    void showCurrentPreset(int index);
    void renameFromNameField();
    void stepPreset(float direction);
    void choosePresetFromList();
    void updateControllerDisplay();
    void mirrorMidiModes();
    void takeFileDialogAnswer();
    void runFileOperation(const PresetFileOperation& operation, const std::string& path);
    std::string& rememberedFileName(PresetFileKind kind);
    unsigned long parentWindowId() const;

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

    FileDialog fileDialog_;
    PresetFileOperation pendingFileOperation_;
    PendingEditorUpdates pendingUpdates_;
    BitmapSet openingBitmaps_;

    toolkit::CTextEdit* nameField_ = nullptr;
    toolkit::COptionMenu* presetList_ = nullptr;
    toolkit::CParamDisplay* controllerDisplay_ = nullptr;
    toolkit::CControl* learnButton_ = nullptr;
    toolkit::CControl* forgetButton_ = nullptr;
    std::array<toolkit::CControl*, kLastPanelTag - kFirstPanelTag + 1> panelControls_{};
};

}  // namespace ruvane
