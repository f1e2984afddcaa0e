// The preset strip of CPresetSystemEditor: its controls, what each does, the file
// dialogs it runs and the controller readout.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "effect/editor/controls/film_strip.h"
#include "effect/editor/controls/preset_panel_buttons.h"
#include "effect/editor/layout.h"
#include "effect/editor/preset_names.h"
#include "effect/editor/preset_system_editor.h"
#include "toolkit/frame.h"
#include "toolkit/option_menu.h"
#include "toolkit/param_display.h"
#include "toolkit/text_edit.h"

namespace ruvane {

namespace {

constexpr toolkit::CColor kLegendColour{36, 36, 32, 255};
constexpr toolkit::CColor kNameWellColour{189, 207, 218, 255};
const toolkit::CFontDesc kPanelFont{"Arial", 9, 0};
// The preset list draws nothing itself: the background shows its drop-down mark.
constexpr int32_t kInvisibleListStyle = toolkit::kPopupStyle | toolkit::kCheckStyle | toolkit::kNoTextStyle |
                                        toolkit::kNoDrawStyle;
constexpr int kLastPresetIndex = kNumPresets - 1;

toolkit::CRect rectOf(const layout::Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

toolkit::CCoord frameHeightOf(const layout::Control& placement) {
    const layout::Bitmap* art = layout::findBitmap(placement.bitmap);
    return art != nullptr ? art->frameHeight() : placement.rect.height();
}

void styleText(toolkit::CParamDisplay* display) {
    display->setFont(kPanelFont);
    display->setFontColor(kLegendColour);
    display->setFrameColor(kLegendColour);
    display->setHoriAlign(toolkit::kCenterText);
    display->copyBackOffset();  // draws the background piece under its own rectangle
}

// The press of a panel button reports 1 (0.5 for its variant); 0 is its release.
bool isPress(float value) { return value > 0.0f; }

}  // namespace

toolkit::CControl* CPresetSystemEditor::getPanelControl(int32_t tag) const {
    if (tag < kFirstPanelTag || tag > kLastPanelTag) return nullptr;
    return panelControls_[static_cast<std::size_t>(tag - kFirstPanelTag)];
}

bool CPresetSystemEditor::open(void* /*parentWindow*/) {
    if (frame != nullptr && presetEffect_ != nullptr) buildPanel();
    return true;
}

void CPresetSystemEditor::buildPanel() {
    const PresetBank& bank = presetEffect_->bank();
    const int current = presetEffect_->getCurrentPreset();
    for (const layout::Control& placement : layout::kControls) {
        if (placement.tag < kFirstPanelTag || placement.tag > kLastPanelTag) continue;
        const toolkit::CRect rect = rectOf(placement.rect);
        toolkit::CBitmap* bitmap = openingBitmaps_.get(placement.bitmap);
        const toolkit::CCoord frameHeight = frameHeightOf(placement);
        toolkit::CControl* control = nullptr;
        switch (placement.kind) {
            case layout::ControlKind::TextEdit: {
                nameField_ = new toolkit::CTextEdit(rect, this, placement.tag,
                                                    presetNameText(bank[static_cast<std::size_t>(current)].name),
                                                    bitmap, 0);
                styleText(nameField_);
                nameField_->setBackColor(kNameWellColour);
                control = nameField_;
                break;
            }
            case layout::ControlKind::OptionMenu: {
                presetList_ = new toolkit::COptionMenu(rect, this, placement.tag, bitmap, nullptr, kInvisibleListStyle);
                for (const PresetRecord& preset : bank) presetList_->addEntry(presetNameText(preset.name));
                presetList_->setNbItemsPerColumn(kPresetListRows);
                presetList_->setCurrent(current);
                presetList_->copyBackOffset();
                control = presetList_;
                break;
            }
            case layout::ControlKind::ParamDisplay: {
                controllerDisplay_ = new toolkit::CParamDisplay(rect, bitmap, 0);
                controllerDisplay_->setTag(placement.tag);
                styleText(controllerDisplay_);
                controllerDisplay_->setValueToStringFunction(
                    [](float value, char text[256], toolkit::CParamDisplay*) {
                        const int entry = stepIndex(value, kControllerReadoutEntries);
                        std::snprintf(text, 256, "%s", CPresetSystemEffect::controllerName(entry));
                        return true;
                    });
                controllerDisplay_->setValue(stepCentre(kEmptyEntry, kControllerReadoutEntries));
                control = controllerDisplay_;
                break;
            }
            case layout::ControlKind::PSRockerSwitch:
                control = new CPSRockerSwitch(rect, this, placement.tag, frameHeight, bitmap, {}, toolkit::kHorizontal);
                break;
            case layout::ControlKind::SaveLoadButton:
                control = new CSaveLoadButton(rect, this, placement.tag, frameHeight, bitmap, {});
                break;
            case layout::ControlKind::PSKickButton:
                control = new CPSKickButton(rect, this, placement.tag, frameHeight, bitmap, {}, placement.doubleClickOnly);
                break;
            case layout::ControlKind::PSOnOffButton:
                control = new CPSOnOffButton(rect, this, placement.tag, bitmap);
                break;
            default:
                break;
        }
        if (control == nullptr) continue;
        panelControls_[static_cast<std::size_t>(placement.tag - kFirstPanelTag)] = control;
        frame->addView(control);
    }
    learnButton_ = getPanelControl(kLearnTag);
    forgetButton_ = getPanelControl(kForgetTag);
    mirrorMidiModes();
}

void CPresetSystemEditor::close() {
    // A name still being typed is kept, as a click elsewhere would keep it.
    if (nameField_ != nullptr && nameField_->isEditingText()) nameField_->commitEditing();
    // The dialog belongs to the window: it goes with it, and nothing is loaded or saved.
    fileDialog_.cancel();
    nameField_ = nullptr;
    presetList_ = nullptr;
    controllerDisplay_ = nullptr;
    learnButton_ = nullptr;
    forgetButton_ = nullptr;
    panelControls_.fill(nullptr);
}

void CPresetSystemEditor::idle() {
    if (frame == nullptr) return;
    AEffGUIEditor::idle();
    if (frame == nullptr) return;
    updateControllerDisplay();
    mirrorMidiModes();
    takeFileDialogAnswer();
}

// Value changes.

void CPresetSystemEditor::valueChanged(toolkit::CControl* control) {
    if (control == nullptr || frame == nullptr) return;
    const float v = control->getValue();
    switch (control->getTag()) {
        case kNameFieldTag: renameFromNameField(); break;
        case kPreviousNextTag: stepPreset(v); break;
        case kPresetListTag: choosePresetFromList(); break;
        case kLoadBankTag:
            if (isPress(v)) startFileDialog({PresetFileKind::Bank, false, asksForReversedLoad(v)});
            break;
        case kSaveBankTag:
            if (isPress(v)) startFileDialog({PresetFileKind::Bank, true, false});
            break;
        case kLoadPresetTag:
            if (isPress(v)) startFileDialog({PresetFileKind::Preset, false, asksForReversedLoad(v)});
            break;
        case kSavePresetTag:
            if (isPress(v)) startFileDialog({PresetFileKind::Preset, true, false});
            break;
        case kLoadMidiTag:
            if (isPress(v)) startFileDialog({PresetFileKind::MidiSettings, false, asksForReversedLoad(v)});
            break;
        case kSaveMidiTag:
            if (isPress(v)) startFileDialog({PresetFileKind::MidiSettings, true, false});
            break;
        case kDefaultBankTag:
            if (isPress(v)) asksToClearDefault(v) ? clearDefaultBank() : storeDefaultBank();
            break;
        case kDefaultPresetTag:
            if (isPress(v)) asksToClearDefault(v) ? clearDefaultPreset() : storeDefaultPreset();
            break;
        case kDefaultMidiTag:
            if (isPress(v)) storeDefaultMidi();
            break;
        case kStoreMemoryATag:
            if (isPress(v)) storeMemory(CompareMemory::A);
            break;
        case kStoreMemoryBTag:
            if (isPress(v)) storeMemory(CompareMemory::B);
            break;
        case kRecallMemoryATag:
            if (isPress(v)) recallMemory(CompareMemory::A);
            break;
        case kRecallMemoryBTag:
            if (isPress(v)) recallMemory(CompareMemory::B);
            break;
        case kLearnTag:
            // Stopping the other mode first: the two are never armed together.
            presetEffect_->stopUnassign();
            v != 0.0f ? presetEffect_->startLearn() : presetEffect_->stopLearn();
            mirrorMidiModes();
            break;
        case kForgetTag:
            presetEffect_->stopLearn();
            v != 0.0f ? presetEffect_->startUnassign() : presetEffect_->stopUnassign();
            mirrorMidiModes();
            break;
        default: break;
    }
}

void CPresetSystemEditor::renameFromNameField() {
    if (nameField_ == nullptr) return;
    const std::string name = cutToPresetName(nameField_->getText());
    nameField_->setText(name);
    presetEffect_->renameCurrentPreset(name.c_str());
    // The entry of the preset just renamed, also when the list has not caught up yet.
    showPresetNames();
}

void CPresetSystemEditor::showCurrentPreset(int index) {
    const PresetRecord& preset = presetEffect_->bank()[static_cast<std::size_t>(index)];
    const std::string title = presetNameText(preset.name);
    if (presetList_ != nullptr) {
        presetList_->setCurrent(index);
        if (toolkit::CMenuItem* entry = presetList_->getEntry(index); entry != nullptr && entry->getTitle() != title)
            entry->setTitle(title);
    }
    if (nameField_ != nullptr && !nameField_->isEditingText() && nameField_->getText() != title) {
        nameField_->setText(title);
        nameField_->invalid();
    }
}

void CPresetSystemEditor::stepPreset(float direction) {
    int preset = presetEffect_->getCurrentPreset();
    if (direction > 0.0f)
        preset = std::min(preset + 1, kLastPresetIndex);
    else if (direction < 0.0f)
        preset = std::max(preset - 1, 0);
    else
        return;
    showCurrentPreset(preset);
    presetEffect_->loadPreset(preset);
    // The name goes back as it is stored, so a name in another encoding stays untouched.
    char name[kPresetNameBytes + 1] = {};
    std::memcpy(name, presetEffect_->bank()[static_cast<std::size_t>(preset)].name, kPresetNameBytes);
    presetEffect_->renameCurrentPreset(name);
}

void CPresetSystemEditor::choosePresetFromList() {
    if (presetList_ == nullptr) return;
    const int preset = std::clamp(static_cast<int>(std::lround(presetList_->getValue())), 0, kLastPresetIndex);
    showCurrentPreset(preset);
    presetEffect_->loadPreset(preset);
    char name[kPresetNameBytes + 1] = {};
    std::memcpy(name, presetEffect_->bank()[static_cast<std::size_t>(preset)].name, kPresetNameBytes);
    presetEffect_->renameCurrentPreset(name);
}

void CPresetSystemEditor::showPresetNames() {
    if (frame == nullptr) return;
    const PresetBank& bank = presetEffect_->bank();
    if (presetList_ != nullptr) {
        for (int i = 0; i < kNumPresets && i < presetList_->getNbEntries(); ++i) {
            const std::string title = presetNameText(bank[static_cast<std::size_t>(i)].name);
            if (presetList_->getEntry(i)->getTitle() != title) presetList_->getEntry(i)->setTitle(title);
        }
    }
    showCurrentPreset(presetEffect_->getCurrentPreset());
}

void CPresetSystemEditor::presetsReloaded() {
    if (frame == nullptr) return;
    showPresetNames();
    frame->invalid();
}

// Readout and modes.

void CPresetSystemEditor::updateControllerDisplay() {
    if (controllerDisplay_ == nullptr) return;
    int entry = kEmptyEntry;
    toolkit::CPoint where;
    if (frame->getCurrentMouseLocation(where)) {
        auto* control = dynamic_cast<toolkit::CControl*>(frame->getViewAt(where));
        if (control != nullptr && control->getTag() >= 0 && control->getTag() < kNumSoundParameters) {
            const int controller = presetEffect_->getParameterCC(control->getTag());
            entry = controller >= 0 && controller < kNotAssignedEntry ? controller : kNotAssignedEntry;
        }
    }
    const float value = stepCentre(entry, kControllerReadoutEntries);
    if (controllerDisplay_->getValue() != value) {
        controllerDisplay_->setValue(value);
        controllerDisplay_->invalid();
    }
}

void CPresetSystemEditor::mirrorMidiModes() {
    const auto mirror = [](toolkit::CControl* button, bool armed) {
        if (button == nullptr) return;
        const float value = armed ? 1.0f : 0.0f;
        if (button->getValue() == value) return;
        button->setValue(value);
        button->invalid();
    };
    mirror(learnButton_, presetEffect_->isLearning());
    mirror(forgetButton_, presetEffect_->isUnassigning());
}

// File dialogs.

std::string& CPresetSystemEditor::rememberedFileName(PresetFileKind kind) {
    switch (kind) {
        case PresetFileKind::Bank: return currentBankFile_;
        case PresetFileKind::MidiSettings: return currentMidiFile_;
        case PresetFileKind::Preset: break;
    }
    return currentPresetFile_;
}

unsigned long CPresetSystemEditor::parentWindowId() const {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(systemWindow));
}

bool CPresetSystemEditor::startFileDialog(const PresetFileOperation& operation) {
    if (fileDialog_.isOpen()) return false;  // the open one keeps the user's attention
    const FileDialogRequest request = presetFileDialogRequest(
        operation, currentFolder_, rememberedFileName(operation.kind), parentWindowId());
    if (!fileDialog_.start(request)) return false;
    pendingFileOperation_ = operation;
    return true;
}

void CPresetSystemEditor::takeFileDialogAnswer() {
    std::string path;
    if (fileDialog_.poll(&path) != FileDialog::Status::Chosen) return;
    runFileOperation(pendingFileOperation_, path);
}

void CPresetSystemEditor::runFileOperation(const PresetFileOperation& operation, const std::string& path) {
    switch (operation.kind) {
        case PresetFileKind::Bank:
            operation.save ? saveBank(path) : loadBank(path, operation.reversed);
            break;
        case PresetFileKind::Preset:
            operation.save ? savePreset(path) : loadPreset(path, operation.reversed);
            break;
        case PresetFileKind::MidiSettings:
            operation.save ? saveMidiSettings(path) : loadMidiSettings(path, operation.reversed);
            break;
    }
    if (!operation.save && frame != nullptr) frame->invalid();
}

}  // namespace ruvane
