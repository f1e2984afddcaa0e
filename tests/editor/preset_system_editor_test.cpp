// The preset system's file and stored-settings side, on a real effect instance: preset,
// bank and MIDI-settings files, stored defaults, compare memories, remembered paths.
#include "effect/editor/preset_system_editor.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <bit>
#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "effect/editor/editor.h"
#include "effect/plugin/byte_order.h"
#include "image_bytes.h"
#include "effect/plugin/zav.h"
#include "loaded_plugin.h"
#include "temp_folder.h"

namespace ruvane {
namespace {

using testing::otherByteOrder;
using testing::valueOffsets;

using testing::fileBytes;
using testing::namesIn;
using testing::ScopedConfigHome;
using testing::TempFolder;
using testing::writeBytes;
using Memory = CPresetSystemEditor::CompareMemory;

constexpr int kControllerBase = kNumSoundParameters;

std::unique_ptr<ZAV> newEffect() {
    return std::make_unique<ZAV>(nullptr, [](ZAV& zav) { return new Editor(&zav); });
}

Editor& editorOf(ZAV& effect) {
    auto* editor = dynamic_cast<Editor*>(effect.getEditor());
    if (editor == nullptr) throw std::logic_error("the effect has no Editor");
    return *editor;
}

std::vector<uint8_t> chunkOf(ZAV& effect) {
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return {bytes, bytes + size};
}

std::vector<uint8_t> bankBytes(ZAV& effect) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(effect.bank().data());
    return {bytes, bytes + sizeof(PresetBank)};
}

std::vector<float> parametersOf(ZAV& effect) {
    std::vector<float> values;
    for (int i = 0; i < CPresetSystemEffect::kNumParameters; ++i) values.push_back(effect.getParameter(i));
    return values;
}

// Everything a load could change: bank, current preset, controller values, parameters.
struct Snapshot {
    std::vector<uint8_t> chunk;
    std::vector<float> parameters;
    bool operator==(const Snapshot&) const = default;
};
Snapshot snapshotOf(ZAV& effect) { return {chunkOf(effect), parametersOf(effect)}; }
void PrintTo(const Snapshot& snapshot, std::ostream* out) {
    *out << "state with preset " << loadWord(snapshot.chunk.data() + 12) << " current";
}

// What a bank file carries: the bank (chunk bytes 32..13208) and the sound parameters.
bool sameBankAndSound(const Snapshot& a, const Snapshot& b) {
    return std::equal(a.chunk.begin() + 32, a.chunk.begin() + 13208, b.chunk.begin() + 32) &&
           std::equal(a.parameters.begin(), a.parameters.begin() + 48, b.parameters.begin());
}

float byteReversed(float value) { return std::bit_cast<float>(reverseBytes(std::bit_cast<uint32_t>(value))); }

// Values that read as a distinct number in 0.5..1 in either byte order, so that both
// orders are exact and, as controller values, name 48 different controllers both ways.
float twoWayValue(int index, int salt = 0) {
    const uint32_t high = static_cast<uint32_t>((2 * index + salt) % 96);
    const uint32_t low = static_cast<uint32_t>((2 * (47 - index) + salt) % 96);
    return std::bit_cast<float>(0x3F00003Fu | (high << 16) | (low << 8));
}


// The controller tables agree with each other and with the values of parameters 48..95.
void expectControllersConsistent(ZAV& effect) {
    for (int p = 0; p < kNumSoundParameters; ++p) {
        const int controller = effect.getParameterCC(p);
        EXPECT_EQ(MidiControllerMap::decode(effect.getParameter(kControllerBase + p)), controller) << p;
        if (controller != MidiControllerMap::kNone) {
            EXPECT_EQ(effect.getControllerParameter(controller), p);
        }
    }
    for (int c = 0; c < MidiControllerMap::kNumControllers; ++c) {
        const int parameter = effect.getControllerParameter(c);
        if (parameter != MidiControllerMap::kNone) {
            EXPECT_EQ(effect.getParameterCC(parameter), c) << c;
        }
    }
}

void expectAllValuesNormalised(ZAV& effect) {
    for (int p = 0; p < kNumPresets; ++p)
        for (int i = 0; i < kNumSoundParameters; ++i) {
            const float value = effect.bank()[p].values[i];
            ASSERT_TRUE(std::isfinite(value) && value >= 0.0f && value <= 1.0f) << p << " " << i << " " << value;
        }
    for (int i = 0; i < CPresetSystemEffect::kNumParameters; ++i) {
        const float value = effect.getParameter(i);
        ASSERT_TRUE(std::isfinite(value) && value >= 0.0f && value <= 1.0f) << i << " " << value;
    }
}

class PresetSystem : public ::testing::Test {
protected:
    Editor& editor() { return editorOf(*effect); }
    // A new instance, as a host makes one after this one is gone.
    void restart() {
        effect.reset();
        effect = newEffect();
    }
    std::string file(const std::string& name) const { return (files.path() / name).string(); }
    std::filesystem::path settingsFolder() const { return configHome.path() / "Orvanta" / "Ruvane"; }
    void renameCurrent(const char* name) { effect->renameCurrentPreset(name); }

    ScopedConfigHome configHome;
    TempFolder files;
    std::unique_ptr<ZAV> effect = newEffect();
};

// The three kinds of file, so that the cases below run for each.
struct Kind {
    const char* name;
    std::size_t bytes;
    uint8_t tag;
    std::function<bool(Editor&, const std::string&, bool)> load;
    std::function<bool(Editor&, const std::string&)> save;
    std::function<void(Editor&, uint8_t*)> write;
    std::function<const std::string&(Editor&)> rememberedName;
};

const Kind kKinds[] = {
    {"Preset", kPresetImageBytes, '!',
     [](Editor& e, const std::string& p, bool r) { return e.loadPreset(p, r); },
     [](Editor& e, const std::string& p) { return e.savePreset(p); },
     [](Editor& e, uint8_t* image) { e.writePresetImage(image); },
     [](Editor& e) -> const std::string& { return e.currentPresetFile(); }},
    {"Bank", kBankImageBytes, '7',
     [](Editor& e, const std::string& p, bool r) { return e.loadBank(p, r); },
     [](Editor& e, const std::string& p) { return e.saveBank(p); },
     [](Editor& e, uint8_t* image) { e.writeBankImage(image); },
     [](Editor& e) -> const std::string& { return e.currentBankFile(); }},
    {"Midi", kMidiImageBytes, 0x0B,
     [](Editor& e, const std::string& p, bool r) { return e.loadMidiSettings(p, r); },
     [](Editor& e, const std::string& p) { return e.saveMidiSettings(p); },
     [](Editor& e, uint8_t* image) { e.writeMidiImage(image); },
     [](Editor& e) -> const std::string& { return e.currentMidiFile(); }},
};

std::string kindName(const ::testing::TestParamInfo<Kind>& info) { return info.param.name; }

// Test listings show the kind by name.
void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }

class EachKind : public PresetSystem, public ::testing::WithParamInterface<Kind> {
protected:
    std::vector<uint8_t> image() {
        std::vector<uint8_t> bytes(GetParam().bytes);
        GetParam().write(editor(), bytes.data());
        return bytes;
    }
    // Moves the effect away from the factory state in everything a file of any kind carries.
    void changeEverything() {
        effect->loadPreset(5);
        effect->setParameter(kMainMix, 0.123f);
        effect->setParameter(kDlyLFb, 0.877f);
        renameCurrent("Changed");
        effect->loadPreset(0);
        effect->setParameter(kMainIn, 0.321f);
        renameCurrent("Also changed");
        effect->setParameter(kControllerBase + kMainOut, MidiControllerMap::encode(7));
        effect->setParameter(kControllerBase + kFltCutoff, 1.0f);
    }
};

TEST_P(EachKind, ImagesAndFilesHaveTheFormatSizeAndHeader) {
    const std::string path = file(std::string("saved.") + GetParam().name);
    ASSERT_TRUE(GetParam().save(editor(), path));
    const std::vector<uint8_t> bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), GetParam().bytes);
    EXPECT_EQ(loadWord(bytes.data()), static_cast<uint32_t>(ZAV::kUniqueId));
    EXPECT_EQ(bytes[4], GetParam().tag);
    EXPECT_EQ(bytes, image());
}

TEST_P(EachKind, ASavedFileLoadsBackWhatWasSaved) {
    if (GetParam().bytes == kPresetImageBytes) effect->loadPreset(5);  // a preset loads into the current one
    const Snapshot saved = snapshotOf(*effect);
    const std::string path = file("roundtrip");
    ASSERT_TRUE(GetParam().save(editor(), path));
    changeEverything();
    if (GetParam().bytes == kPresetImageBytes) effect->loadPreset(5);
    const Snapshot changed = snapshotOf(*effect);

    ASSERT_TRUE(GetParam().load(editor(), path, false));
    const Snapshot loaded = snapshotOf(*effect);
    if (GetParam().bytes == kBankImageBytes) {
        EXPECT_TRUE(sameBankAndSound(loaded, saved));
        EXPECT_EQ(effect->getCurrentPreset(), 0);
    } else if (GetParam().bytes == kPresetImageBytes) {
        EXPECT_EQ(std::vector<uint8_t>(loaded.chunk.begin() + 32 + 5 * 216, loaded.chunk.begin() + 32 + 6 * 216),
                  std::vector<uint8_t>(saved.chunk.begin() + 32 + 5 * 216, saved.chunk.begin() + 32 + 6 * 216));
        EXPECT_EQ(std::vector<float>(loaded.parameters.begin(), loaded.parameters.begin() + 48),
                  std::vector<float>(saved.parameters.begin(), saved.parameters.begin() + 48));
        EXPECT_EQ(std::string(effect->bank()[0].name), "Also changed");  // other presets untouched
        EXPECT_EQ(effect->getCurrentPreset(), 5);
    } else {
        EXPECT_EQ(std::vector<float>(loaded.parameters.begin() + 48, loaded.parameters.end()),
                  std::vector<float>(saved.parameters.begin() + 48, saved.parameters.end()));
        EXPECT_EQ(std::vector<float>(loaded.parameters.begin(), loaded.parameters.begin() + 48),
                  std::vector<float>(changed.parameters.begin(), changed.parameters.begin() + 48));
        expectControllersConsistent(*effect);
    }
}

// Files from a machine of the other byte order load right without the flag; with the
// flag every value comes out byte-reversed. A native file with the flag is reversed too.
// Names are never touched.
struct OrderCase {
    bool otherOrder;
    bool reverse;
    bool expectReversed;
};

class FileByteOrder : public PresetSystem,
                  public ::testing::WithParamInterface<std::tuple<Kind, OrderCase>> {};

TEST_P(FileByteOrder, ValuesComeOutAsTheFlagsSay) {
    const Kind& kind = std::get<0>(GetParam());
    const OrderCase order = std::get<1>(GetParam());
    const bool isBank = kind.bytes == kBankImageBytes;
    const bool isMidi = kind.bytes == kMidiImageBytes;

    // The state to save: two-way values everywhere a value goes, distinct names.
    if (isMidi) {
        for (int i = 0; i < kNumSoundParameters; ++i) effect->setParameter(kControllerBase + i, twoWayValue(i));
    } else {
        for (int p = isBank ? 0 : 9; p <= (isBank ? 60 : 9); ++p) {
            effect->loadPreset(p);
            for (int i = 0; i < kNumSoundParameters; ++i) effect->setParameter(i, twoWayValue(i, p));
            renameCurrent(("Two way " + std::to_string(p)).c_str());
        }
    }
    const auto original = std::make_unique<PresetBank>(effect->bank());
    std::vector<float> originalControllers;
    for (int i = 0; i < kNumSoundParameters; ++i) originalControllers.push_back(effect->getParameter(kControllerBase + i));

    std::vector<uint8_t> bytes(kind.bytes);
    kind.write(editor(), bytes.data());
    if (order.otherOrder) bytes = otherByteOrder(std::move(bytes));
    const std::string path = file("ordered");
    writeBytes(path, bytes);

    // Start from something else, so that a load that does nothing is seen.
    restart();
    effect->loadPreset(9);
    ASSERT_TRUE(kind.load(editor(), path, order.reverse));
    auto expected = [&](float value) { return order.expectReversed ? byteReversed(value) : value; };

    if (isMidi) {
        for (int i = 0; i < kNumSoundParameters; ++i)
            EXPECT_EQ(effect->getParameter(kControllerBase + i), expected(originalControllers[i])) << i;
        expectControllersConsistent(*effect);
        return;
    }
    for (int p = isBank ? 0 : 9; p <= (isBank ? 60 : 9); ++p) {
        EXPECT_EQ(std::memcmp(effect->bank()[p].name, (*original)[p].name, kPresetNameBytes), 0) << p;
        for (int i = 0; i < kNumSoundParameters; ++i)
            ASSERT_EQ(effect->bank()[p].values[i], expected((*original)[p].values[i])) << p << " " << i;
    }
    EXPECT_EQ(effect->getCurrentPreset(), isBank ? 0 : 9);
    EXPECT_EQ(effect->getParameter(kMainMix), effect->bank()[effect->getCurrentPreset()].values[kMainMix]);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileByteOrder,
    ::testing::Combine(::testing::ValuesIn(kKinds),
                       ::testing::Values(OrderCase{false, false, false}, OrderCase{false, true, true},
                                         OrderCase{true, false, false}, OrderCase{true, true, true})),
    [](const ::testing::TestParamInfo<std::tuple<Kind, OrderCase>>& info) {
        const OrderCase order = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) + (order.otherOrder ? "OtherOrder" : "Native") +
               (order.reverse ? "Reversed" : "");
    });

// Files that are not this effect's, not of this kind, cut short or no files at all
// change nothing; a bank load still makes preset 0 current first.
enum class Damage { OtherEffect, OtherTagBank, OtherTagPreset, OtherTagMidi, OneByteShort, Empty, Missing, Folder };

struct DamageCase {
    const char* name;
    Damage damage;
};

class FileRejected : public EachKind {};

TEST_P(FileRejected, FilesThatDoNotFitChangeNothing) {
    const DamageCase damages[] = {
        {"another effect's id", Damage::OtherEffect}, {"bank tag", Damage::OtherTagBank},
        {"preset tag", Damage::OtherTagPreset},       {"MIDI tag", Damage::OtherTagMidi},
        {"one byte short", Damage::OneByteShort},     {"empty", Damage::Empty},
        {"missing", Damage::Missing},                 {"a folder", Damage::Folder},
    };
    for (const DamageCase& d : damages) {
        SCOPED_TRACE(d.name);
        std::vector<uint8_t> bytes = image();
        const uint8_t tags[] = {'7', '!', 0x0B};
        const uint8_t* wrongTag = d.damage == Damage::OtherTagBank     ? &tags[0]
                                  : d.damage == Damage::OtherTagPreset ? &tags[1]
                                  : d.damage == Damage::OtherTagMidi   ? &tags[2]
                                                                       : nullptr;
        if (wrongTag != nullptr && *wrongTag == GetParam().tag) continue;  // that is the right tag
        if (wrongTag != nullptr) bytes[4] = *wrongTag;
        if (d.damage == Damage::OtherEffect) storeWord(bytes.data(), 0x41424344);
        if (d.damage == Damage::OneByteShort) bytes.pop_back();
        if (d.damage == Damage::Empty) bytes.clear();
        const std::string path = file("damaged");
        std::filesystem::remove_all(path);
        if (d.damage == Damage::Folder)
            std::filesystem::create_directory(path);
        else if (d.damage != Damage::Missing)
            writeBytes(path, bytes);

        changeEverything();
        effect->loadPreset(5);
        const Snapshot before = snapshotOf(*effect);
        EXPECT_FALSE(GetParam().load(editor(), path, false));
        EXPECT_FALSE(GetParam().load(editor(), path, true));
        if (GetParam().bytes == kBankImageBytes) {
            EXPECT_EQ(effect->getCurrentPreset(), 0);
            effect->loadPreset(5);
        }
        EXPECT_EQ(snapshotOf(*effect), before);
    }
}

// The first 221 bytes of a bank file look like a preset file but for the tag.
TEST_F(PresetSystem, TheStartOfABankFileIsNoPreset) {
    std::vector<uint8_t> bank(kBankImageBytes);
    editor().writeBankImage(bank.data());
    const std::string path = file("start.zav");
    writeBytes(path, std::vector<uint8_t>(bank.begin(), bank.begin() + kPresetImageBytes));
    const Snapshot before = snapshotOf(*effect);
    EXPECT_FALSE(editor().loadPreset(path, false));
    EXPECT_EQ(snapshotOf(*effect), before);
}

TEST_P(FileRejected, ALongerFileLoadsItsFormatSizeAndTheRestIsIgnored) {
    std::vector<uint8_t> bytes = image();
    const Snapshot saved = snapshotOf(*effect);
    bytes.resize(bytes.size() + 100, 0xFF);
    const std::string path = file("long");
    writeBytes(path, bytes);
    changeEverything();
    effect->loadPreset(0);
    ASSERT_TRUE(GetParam().load(editor(), path, false));
    const Snapshot loaded = snapshotOf(*effect);
    if (GetParam().bytes == kBankImageBytes) {
        EXPECT_TRUE(sameBankAndSound(loaded, saved));
    } else if (GetParam().bytes == kPresetImageBytes) {
        EXPECT_EQ(std::vector<float>(loaded.parameters.begin(), loaded.parameters.begin() + 48),
                  std::vector<float>(saved.parameters.begin(), saved.parameters.begin() + 48));
    } else {
        EXPECT_EQ(std::vector<float>(loaded.parameters.begin() + 48, loaded.parameters.end()),
                  std::vector<float>(saved.parameters.begin() + 48, saved.parameters.end()));
    }
}

// Any value bits at all (NaN, infinities, negatives, huge) behind a valid header: the
// effect ends with every value finite and in 0..1 and its controller tables in agreement.
TEST_P(FileRejected, RandomValuesBehindAValidHeaderAreBounded) {
    std::mt19937 random(99);
    const float specials[] = {std::nanf(""), -std::nanf(""), INFINITY, -INFINITY, -1.0f, 2.0f, 1e30f, -0.0f, 1.0f};
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> bytes = image();
        for (std::size_t i = 5; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(random());
        for (std::size_t offset : valueOffsets(bytes.size()))
            if (random() % 4 == 0) storeFloat(&bytes[offset], specials[random() % std::size(specials)]);
        if (round % 2 == 1) bytes = otherByteOrder(std::move(bytes));
        const std::string path = file("random");
        writeBytes(path, bytes);
        ASSERT_TRUE(GetParam().load(editor(), path, round % 3 == 0));
        expectAllValuesNormalised(*effect);
        expectControllersConsistent(*effect);
    }
}

// Random files of any size and content: bounded, no crash, and nothing accepted that
// is not a whole image of this kind.
TEST_P(FileRejected, RandomFilesOfAnySize) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        std::vector<uint8_t> bytes(random() % (2 * GetParam().bytes + 2));
        for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
        const std::string path = file("noise");
        writeBytes(path, bytes);
        const bool accepted = GetParam().load(editor(), path, round % 2 == 0);
        const uint32_t id = bytes.size() >= 4 ? loadWord(bytes.data()) : 0;
        const bool ours = bytes.size() >= GetParam().bytes && bytes[4] == GetParam().tag &&
                          (id == static_cast<uint32_t>(ZAV::kUniqueId) ||
                           id == reverseBytes(static_cast<uint32_t>(ZAV::kUniqueId)));
        EXPECT_EQ(accepted, ours) << round;
        expectAllValuesNormalised(*effect);
    }
}

TEST_P(EachKind, AReadOnlyFileLoads) {
    const std::string path = file("locked");
    ASSERT_TRUE(GetParam().save(editor(), path));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(GetParam().load(editor(), path, false));
}

TEST_P(EachKind, AFailedSaveLeavesTheOldFileWhole) {
    const std::string path = file("old");
    const std::vector<uint8_t> old(GetParam().bytes, 0x5A);
    writeBytes(path, old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(GetParam().save(editor(), path));
    EXPECT_EQ(fileBytes(path), old);

    // The disk fills up during the write.
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = GetParam().bytes / 2;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedOk = GetParam().save(editor(), path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(namesIn(files.path()), std::vector<std::string>{"old"});
}

// Folder and file name of a chosen path are remembered per kind and kept for the next
// instance; the working directory stays where the host has it.
TEST_P(EachKind, RemembersFolderAndFileNameOfTheChosenPath) {
    const auto workingFolder = std::filesystem::current_path();
    std::filesystem::create_directory(files.path() / "sub");
    const std::string folder = file("sub") + "/";
    ASSERT_TRUE(GetParam().save(editor(), folder + "chosen.file"));
    ASSERT_TRUE(GetParam().load(editor(), folder + "chosen.file", false));
    EXPECT_EQ(std::filesystem::current_path(), workingFolder);
    EXPECT_EQ(editor().currentFolder(), folder);
    EXPECT_EQ(GetParam().rememberedName(editor()), "chosen.file");
    int remembered = 0;
    for (const auto& name : {editor().currentBankFile(), editor().currentPresetFile(), editor().currentMidiFile()})
        remembered += name.empty() ? 0 : 1;
    EXPECT_EQ(remembered, 1);  // the other kinds keep theirs

    // A path without a folder, and one too long to remember, leave both as they were.
    GetParam().load(editor(), "bare-name", false);
    GetParam().load(editor(), "/" + std::string(300, 'f') + "/x", false);
    GetParam().load(editor(), "/tmp/" + std::string(300, 'n'), false);
    EXPECT_EQ(editor().currentFolder(), folder);
    EXPECT_EQ(GetParam().rememberedName(editor()), "chosen.file");

    restart();
    EXPECT_EQ(editor().currentFolder(), folder);
    EXPECT_EQ(GetParam().rememberedName(editor()), "chosen.file");
}

INSTANTIATE_TEST_SUITE_P(Files, EachKind, ::testing::ValuesIn(kKinds), kindName);
INSTANTIATE_TEST_SUITE_P(Files, FileRejected, ::testing::ValuesIn(kKinds), kindName);

TEST_F(PresetSystem, WithNothingStoredTheRememberedTextsAreEmpty) {
    EXPECT_EQ(editor().currentFolder(), "");
    EXPECT_EQ(editor().currentBankFile(), "");
    EXPECT_EQ(editor().currentPresetFile(), "");
    EXPECT_EQ(editor().currentMidiFile(), "");
    restart();  // nothing changed, so nothing was written: a scan leaves no settings behind
    SettingsStore store(settingsFolder());
    for (const char* name : {"CurrDir", "CurrBank", "CurrPreset", "CurrMidi"}) EXPECT_FALSE(store.readText(name)) << name;
}

TEST_F(PresetSystem, ABankLoadFromAFileMakesPresetZeroCurrentWhateverTheFile) {
    effect->loadPreset(12);
    EXPECT_FALSE(editor().loadBank(file("does-not-exist.zvb"), false));
    EXPECT_EQ(effect->getCurrentPreset(), 0);
    effect->loadPreset(12);
    EXPECT_FALSE(editor().loadBank("", false));  // no path chosen: nothing at all
    EXPECT_EQ(effect->getCurrentPreset(), 12);
}

TEST_F(PresetSystem, ANameOfTwentyFourCharactersKeepsAllOfThemWithoutTerminator) {
    const char name[] = "ABCDEFGHIJKLMNOPQRSTUVWX";
    static_assert(sizeof name == 25);
    effect->loadPreset(3);
    renameCurrent(name);
    const std::string path = file("long-name.zav");
    ASSERT_TRUE(editor().savePreset(path));
    const std::vector<uint8_t> bytes = fileBytes(path);
    EXPECT_EQ(std::string(bytes.begin() + 5, bytes.begin() + 29), name);

    restart();
    ASSERT_TRUE(editor().loadPreset(path, false));
    char shown[64];
    std::memset(shown, '#', sizeof shown);
    effect->getProgramName(shown);
    EXPECT_EQ(std::string(shown, 24), name);
    EXPECT_EQ(shown[24], '\0');
    EXPECT_EQ(std::memcmp(effect->bank()[0].name, name, 24), 0);
}

// Stored defaults apply to every new instance: the default bank replaces the factory
// bank, the default preset then replaces preset 0, the default MIDI settings the map.
TEST_F(PresetSystem, StoredDefaultsShapeTheNextInstance) {
    const Snapshot factory = snapshotOf(*effect);

    effect->loadPreset(4);
    effect->setParameter(kMainMix, 0.2f);
    renameCurrent("Bank default four");
    ASSERT_TRUE(editor().storeDefaultBank());
    const std::vector<uint8_t> storedBank = bankBytes(*effect);

    effect->loadPreset(7);
    effect->setParameter(kMainMix, 0.61f);
    effect->setParameter(kDlyLFb, 0.45f);
    renameCurrent("Preset default");
    ASSERT_TRUE(editor().storeDefaultPreset());
    const PresetRecord storedPreset = effect->bank()[7];

    effect->setParameter(kControllerBase + kMainIn, MidiControllerMap::encode(64));
    ASSERT_TRUE(editor().storeDefaultMidi());

    restart();
    EXPECT_EQ(effect->getCurrentPreset(), 0);
    EXPECT_EQ(std::memcmp(&effect->bank()[0], &storedPreset, sizeof(PresetRecord)), 0);
    std::vector<uint8_t> expectedBank = storedBank;
    std::memcpy(expectedBank.data(), &storedPreset, sizeof(PresetRecord));
    EXPECT_EQ(bankBytes(*effect), expectedBank);
    EXPECT_EQ(std::string(effect->bank()[4].name), "Bank default four");
    EXPECT_EQ(effect->getParameter(kMainMix), 0.61f);
    EXPECT_EQ(effect->getParameter(kDlyLFb), 0.45f);
    EXPECT_EQ(effect->getParameterCC(kMainIn), 64);
    expectControllersConsistent(*effect);

    // Cleared defaults: the factory bank again; the MIDI default has no clearing.
    ASSERT_TRUE(editor().clearDefaultBank());
    ASSERT_TRUE(editor().clearDefaultPreset());
    SettingsStore(settingsFolder()).remove("DefaultMidi");
    restart();
    EXPECT_EQ(snapshotOf(*effect), factory);
}

TEST_F(PresetSystem, ADefaultPresetAloneReplacesOnlyPresetZero) {
    const std::vector<uint8_t> factoryBank = bankBytes(*effect);
    effect->loadPreset(30);
    ASSERT_TRUE(editor().storeDefaultPreset());
    const PresetRecord stored = effect->bank()[30];
    restart();
    std::vector<uint8_t> expected = factoryBank;
    std::memcpy(expected.data(), &stored, sizeof(PresetRecord));
    EXPECT_EQ(bankBytes(*effect), expected);
    for (const int i : {kMainIn, kMainOut, kMainMix, kDlyLFb, kRvbAmt})
        EXPECT_EQ(effect->getParameter(i), effect->bank()[0].values[i]) << i;
}

// A crash after a temporary value was written but before it was renamed: the leftover
// is not a value, and the next instance starts as if it were not there.
TEST_F(PresetSystem, ALeftoverTemporaryValueIsNeverApplied) {
    const Snapshot factory = snapshotOf(*effect);
    effect->loadPreset(30);
    std::vector<uint8_t> preset(kPresetImageBytes);
    editor().writePresetImage(preset.data());
    std::vector<uint8_t> bank(kBankImageBytes);
    editor().writeBankImage(bank.data());
    std::filesystem::create_directories(settingsFolder());
    writeBytes(settingsFolder() / ".DefaultPreset.1234-0-99.tmp", preset);
    writeBytes(settingsFolder() / ".DefaultBank.1234-1-98.tmp", bank);
    // The half that was written of a value, had it been written in place:
    writeBytes(settingsFolder() / "DefaultBank", std::vector<uint8_t>(bank.begin(), bank.begin() + 4096));
    restart();
    EXPECT_EQ(snapshotOf(*effect), factory);
}

TEST_F(PresetSystem, CompareMemoriesRoundTrip) {
    effect->loadPreset(2);
    effect->setParameter(kMainMix, 0.11f);
    renameCurrent("Memory A");
    ASSERT_TRUE(editor().storeMemory(Memory::A));
    const PresetRecord a = effect->bank()[2];
    effect->setParameter(kMainMix, 0.77f);
    renameCurrent("Memory B");
    ASSERT_TRUE(editor().storeMemory(Memory::B));
    const PresetRecord b = effect->bank()[2];

    struct Recall {
        Memory memory;
        const PresetRecord* expected;
    };
    for (const Recall recall : {Recall{Memory::A, &a}, Recall{Memory::B, &b}, Recall{Memory::A, &a}}) {
        effect->loadPreset(20);
        ASSERT_TRUE(editor().recallMemory(recall.memory));
        EXPECT_EQ(effect->getCurrentPreset(), 20);
        EXPECT_EQ(std::memcmp(&effect->bank()[20], recall.expected, sizeof(PresetRecord)), 0);
        EXPECT_EQ(effect->getParameter(kMainMix), recall.expected->values[kMainMix]);
    }

    // The memories outlive the instance.
    restart();
    effect->loadPreset(40);
    ASSERT_TRUE(editor().recallMemory(Memory::B));
    EXPECT_EQ(std::memcmp(&effect->bank()[40], &b, sizeof(PresetRecord)), 0);
}

TEST_F(PresetSystem, RecallingAnEmptyMemoryChangesNothing) {
    const Snapshot before = snapshotOf(*effect);
    EXPECT_FALSE(editor().recallMemory(Memory::A));
    EXPECT_FALSE(editor().recallMemory(Memory::B));
    EXPECT_EQ(snapshotOf(*effect), before);
}

// The settings folder cannot be made (a file stands where it should be): storing
// fails and changes nothing, recalling finds nothing, and nothing crashes.
TEST(PresetSystemWithoutSettings, AnUnwritableSettingsFolderChangesNothing) {
    ScopedConfigHome configHome;
    const auto blocker = configHome.path() / "blocker";
    writeBytes(blocker, {1, 2, 3});
    ::setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    {
        auto effect = newEffect();
        Editor& editor = editorOf(*effect);
        const Snapshot before = snapshotOf(*effect);
        EXPECT_FALSE(editor.storeDefaultBank());
        EXPECT_FALSE(editor.storeDefaultPreset());
        EXPECT_FALSE(editor.storeDefaultMidi());
        EXPECT_FALSE(editor.storeMemory(Memory::A));
        EXPECT_FALSE(editor.clearDefaultBank());
        EXPECT_FALSE(editor.clearDefaultPreset());
        EXPECT_FALSE(editor.recallMemory(Memory::A));
        EXPECT_EQ(snapshotOf(*effect), before);
    }  // the destructor's writes fail quietly
    EXPECT_EQ(fileBytes(blocker), (std::vector<uint8_t>{1, 2, 3}));
}

struct ControlCase {
    float value;
    bool reversedLoad;
    bool clearsDefault;
};

class PanelControlValues : public ::testing::TestWithParam<ControlCase> {};

TEST_P(PanelControlValues, AskForReversedLoadsAndClearing) {
    EXPECT_EQ(CPresetSystemEditor::asksForReversedLoad(GetParam().value), GetParam().reversedLoad);
    EXPECT_EQ(CPresetSystemEditor::asksToClearDefault(GetParam().value), GetParam().clearsDefault);
}

INSTANTIATE_TEST_SUITE_P(Values, PanelControlValues,
                         ::testing::Values(ControlCase{0.0f, false, true}, ControlCase{0.4999f, false, true},
                                           ControlCase{0.5f, true, true}, ControlCase{0.7499f, false, true},
                                           ControlCase{0.75f, false, false}, ControlCase{1.0f, false, false}));

}  // namespace
}  // namespace ruvane
