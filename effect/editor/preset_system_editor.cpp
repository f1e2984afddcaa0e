#include "effect/editor/preset_system_editor.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <span>
#include <system_error>
#include <vector>

#include "effect/engine/parameters.h"
#include "platform/file_io.h"

namespace ruvane {

namespace {

std::string workingFolder() {
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    if (error || folder.empty()) return {};
    if (folder.back() != '/') folder += '/';
    return folder.size() <= CPresetSystemEditor::kMaxPathTextBytes ? folder : std::string();
}

}  // namespace

CPresetSystemEditor::CPresetSystemEditor(CPresetSystemEffect* effect)
    : AEffGUIEditor(effect),
      presetEffect_(effect),
      settings_(SettingsStore::defaultFolder()),
      currentFolder_(workingFolder()) {
    effect->setEditor(this);
}

CPresetSystemEditor::~CPresetSystemEditor() {
    // Only the stored settings are touched here: the effect may be going away too. A
    // text that did not change is not written again, so a host scanning or closing many
    // instances does not rewrite the settings each time.
    for (const auto& [valueName, text] : {std::pair{kFolderValue, &currentFolder_},
                                          std::pair{kBankFileValue, &currentBankFile_},
                                          std::pair{kPresetFileValue, &currentPresetFile_},
                                          std::pair{kMidiFileValue, &currentMidiFile_}}) {
        if (storedText(valueName) != *text) settings_.writeText(valueName, *text);
    }
}

int32_t CPresetSystemEditor::uniqueId() const { return presetEffect_->getPluginId(); }

void CPresetSystemEditor::loadUserDefaults() {
    std::vector<uint8_t> image(kBankImageBytes);
    if (recallImage(kDefaultBankValue, image.data(), kBankImageBytes)) readBankImage(image.data(), false);
    if (recallImage(kDefaultPresetValue, image.data(), kPresetImageBytes)) readPresetImage(image.data(), false);
    if (recallImage(kDefaultMidiValue, image.data(), kMidiImageBytes)) readMidiImage(image.data(), false);
    currentFolder_ = storedText(kFolderValue);
    currentBankFile_ = storedText(kBankFileValue);
    currentPresetFile_ = storedText(kPresetFileValue);
    currentMidiFile_ = storedText(kMidiFileValue);
}

// Images.

void CPresetSystemEditor::writeBankImage(uint8_t* image) {
    auto bank = std::make_unique<PresetBank>(presetEffect_->bankSnapshot());
    encodeBankImage(*bank, uniqueId(), image);
}

void CPresetSystemEditor::writePresetImage(uint8_t* image) {
    encodePresetImage(presetEffect_->presetSnapshot(presetEffect_->getCurrentPreset()), uniqueId(), image);
}

void CPresetSystemEditor::writeMidiImage(uint8_t* image) {
    ControllerValues values{};
    for (int i = 0; i < kNumSoundParameters; ++i) values[i] = presetEffect_->getParameter(kNumSoundParameters + i);
    encodeMidiImage(values, uniqueId(), image);
}

bool CPresetSystemEditor::readBankImage(const uint8_t* image, bool reverse) {
    presetEffect_->loadPreset(0);
    auto bank = std::make_unique<PresetBank>();
    if (!decodeBankImage(image, uniqueId(), reverse, *bank)) return false;
    for (int p = 0; p < kNumPresets; ++p) presetEffect_->replacePreset(p, (*bank)[static_cast<std::size_t>(p)]);
    presetEffect_->loadPreset(0);
    presetsReloaded();
    return true;
}

bool CPresetSystemEditor::readPresetImage(const uint8_t* image, bool reverse) {
    PresetRecord decoded{};
    if (!decodePresetImage(image, uniqueId(), reverse, decoded)) return false;
    const int current = presetEffect_->getCurrentPreset();
    presetEffect_->replacePreset(current, decoded);
    char name[kPresetNameBytes + 1] = {};
    std::memcpy(name, decoded.name, kPresetNameBytes);
    presetEffect_->renameCurrentPreset(name);
    presetEffect_->loadPreset(current);
    presetsReloaded();
    return true;
}

bool CPresetSystemEditor::readMidiImage(const uint8_t* image, bool reverse) {
    ControllerValues values{};
    if (!decodeMidiImage(image, uniqueId(), reverse, values)) return false;
    for (int i = 0; i < kNumSoundParameters; ++i) {
        if (std::isnan(values[i])) continue;  // carries no assignment: the old one stays
        presetEffect_->setParameter(kNumSoundParameters + i, normalisedOr(values[i], 0.0f));
    }
    return true;
}

// Files.

void CPresetSystemEditor::rememberPath(const std::string& path, std::string& fileName) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return;
    std::string folder = path.substr(0, slash + 1);
    std::string name = path.substr(slash + 1);
    // A text cut short would name another folder or file: keep the last one that fitted.
    if (folder.size() > kMaxPathTextBytes || name.size() > kMaxPathTextBytes) return;
    currentFolder_ = std::move(folder);
    fileName = std::move(name);
}

bool CPresetSystemEditor::readImageFile(const std::string& path, uint8_t* image, std::size_t size) {
    // A file shorter than its format was cut off somewhere: it is not loaded.
    const auto start = readFileStart(path, std::span(image, size));
    return start && start->bytesRead == size;
}

bool CPresetSystemEditor::writeImageFile(const std::string& path, const uint8_t* image, std::size_t size) {
    return replaceFile(path, std::span(image, size));
}

bool CPresetSystemEditor::loadBank(const std::string& path, bool reverse) {
    if (path.empty()) return false;
    rememberPath(path, currentBankFile_);
    std::vector<uint8_t> image(kBankImageBytes);
    if (!readImageFile(path, image.data(), kBankImageBytes)) {
        presetEffect_->loadPreset(0);
        return false;
    }
    return readBankImage(image.data(), reverse);
}

bool CPresetSystemEditor::saveBank(const std::string& path) {
    if (path.empty()) return false;
    rememberPath(path, currentBankFile_);
    std::vector<uint8_t> image(kBankImageBytes);
    writeBankImage(image.data());
    return writeImageFile(path, image.data(), kBankImageBytes);
}

bool CPresetSystemEditor::loadPreset(const std::string& path, bool reverse) {
    if (path.empty()) return false;
    rememberPath(path, currentPresetFile_);
    uint8_t image[kPresetImageBytes];
    return readImageFile(path, image, kPresetImageBytes) && readPresetImage(image, reverse);
}

bool CPresetSystemEditor::savePreset(const std::string& path) {
    if (path.empty()) return false;
    rememberPath(path, currentPresetFile_);
    uint8_t image[kPresetImageBytes];
    writePresetImage(image);
    return writeImageFile(path, image, kPresetImageBytes);
}

bool CPresetSystemEditor::loadMidiSettings(const std::string& path, bool reverse) {
    if (path.empty()) return false;
    rememberPath(path, currentMidiFile_);
    uint8_t image[kMidiImageBytes];
    return readImageFile(path, image, kMidiImageBytes) && readMidiImage(image, reverse);
}

bool CPresetSystemEditor::saveMidiSettings(const std::string& path) {
    if (path.empty()) return false;
    rememberPath(path, currentMidiFile_);
    uint8_t image[kMidiImageBytes];
    writeMidiImage(image);
    return writeImageFile(path, image, kMidiImageBytes);
}

// Stored settings.

bool CPresetSystemEditor::storeImage(std::string_view valueName, const uint8_t* image, std::size_t size) {
    return settings_.writeBinary(valueName, std::span(image, size));
}

bool CPresetSystemEditor::recallImage(std::string_view valueName, uint8_t* image, std::size_t size) {
    return settings_.readBinary(valueName, std::span(image, size));
}

std::string CPresetSystemEditor::storedText(std::string_view valueName) const {
    return settings_.readText(valueName, kMaxPathTextBytes).value_or(std::string());
}

bool CPresetSystemEditor::storeDefaultBank() {
    std::vector<uint8_t> image(kBankImageBytes);
    writeBankImage(image.data());
    return storeImage(kDefaultBankValue, image.data(), kBankImageBytes);
}

bool CPresetSystemEditor::clearDefaultBank() { return settings_.remove(kDefaultBankValue); }

bool CPresetSystemEditor::storeDefaultPreset() {
    uint8_t image[kPresetImageBytes];
    writePresetImage(image);
    return storeImage(kDefaultPresetValue, image, kPresetImageBytes);
}

bool CPresetSystemEditor::clearDefaultPreset() { return settings_.remove(kDefaultPresetValue); }

bool CPresetSystemEditor::storeDefaultMidi() {
    uint8_t image[kMidiImageBytes];
    writeMidiImage(image);
    return storeImage(kDefaultMidiValue, image, kMidiImageBytes);
}

bool CPresetSystemEditor::storeMemory(CompareMemory memory) {
    uint8_t image[kPresetImageBytes];
    writePresetImage(image);
    return storeImage(memory == CompareMemory::A ? kMemoryAValue : kMemoryBValue, image, kPresetImageBytes);
}

bool CPresetSystemEditor::recallMemory(CompareMemory memory) {
    uint8_t image[kPresetImageBytes];
    return recallImage(memory == CompareMemory::A ? kMemoryAValue : kMemoryBValue, image, kPresetImageBytes) &&
           readPresetImage(image, false);
}

}  // namespace ruvane
