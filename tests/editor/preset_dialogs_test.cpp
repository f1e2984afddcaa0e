// The preset strip's file dialogs, answered by a stand-in dialog program on PATH:
// titles and filters, the remembered folder and names, loads and saves through the
// dialog, a failing save, cancelling, and ending a dialog with the editor or effect.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "effect/editor/editor.h"
#include "effect/engine/parameters.h"
#include "stand_in_dialog.h"
#include "temp_folder.h"
#include "tests/editor/editor_fixture.h"
#include "toolkit/option_menu.h"

namespace ruvane {
namespace {

using testing::EditorFixture;
using testing::fileBytes;
using testing::StandInDialog;
using testing::TempFolder;
using Tag = CPresetSystemEditor::PanelTag;

bool noChildLeft() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

class PresetDialogs : public EditorFixture {
protected:
    // Idles the editor until its dialog has ended, as the host's idle calls would.
    void idleUntilTheDialogEnds() {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (editor->isFileDialogOpen() && std::chrono::steady_clock::now() < giveUp) {
            idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_FALSE(editor->isFileDialogOpen()) << "the dialog never ended";
    }
    std::string argument(const std::string& prefix) {
        for (const std::string& arg : stand.arguments())
            if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
        return "(none)";
    }
    std::string folder() { return files.path().string() + "/"; }
    // Saves the current preset through the dialog to path; answers the file's bytes.
    std::vector<uint8_t> savePresetAs(const std::string& path) {
        stand.answerPath(path);
        click(Tag::kSavePresetTag);
        idleUntilTheDialogEnds();
        return fileBytes(path);
    }

    StandInDialog stand;
    TempFolder files;
};

struct TitleCase {
    int tag;
    int32_t buttons;
    std::string title;
    std::string filter;
};

class DialogTitles : public PresetDialogs, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(DialogTitles, EachArrowAsksWithItsTitleAndFileType) {
    stand.cancel();
    click(GetParam().tag, GetParam().buttons);
    ASSERT_TRUE(editor->isFileDialogOpen());
    idleUntilTheDialogEnds();
    EXPECT_EQ(argument("--title="), GetParam().title);
    EXPECT_EQ(argument("--file-filter="), GetParam().filter);
}

constexpr int32_t kLeft = toolkit::kLButton;
constexpr int32_t kRight = toolkit::kRButton;

INSTANTIATE_TEST_SUITE_P(
    Arrows, DialogTitles,
    ::testing::Values(
        TitleCase{Tag::kLoadPresetTag, kLeft, "Load preset", "ZAV Preset | *.zav"},
        TitleCase{Tag::kLoadPresetTag, kRight, "Load preset (endian-reversed)", "ZAV Preset | *.zav"},
        // A right click with a modifier is a normal load.
        TitleCase{Tag::kLoadPresetTag, kRight | toolkit::kShift, "Load preset", "ZAV Preset | *.zav"},
        TitleCase{Tag::kSavePresetTag, kLeft, "Save preset", "ZAV Preset | *.zav"},
        TitleCase{Tag::kLoadBankTag, kLeft, "Load bank", "ZAV Bank | *.zvb"},
        TitleCase{Tag::kLoadBankTag, kRight, "Load bank (endian-reversed)", "ZAV Bank | *.zvb"},
        TitleCase{Tag::kSaveBankTag, kLeft, "Save bank", "ZAV Bank | *.zvb"},
        TitleCase{Tag::kLoadMidiTag, kLeft, "Load MIDI settings", "ZAV MIDI Settings | *.zvm"},
        TitleCase{Tag::kLoadMidiTag, kRight | toolkit::kControl, "Load MIDI settings",
                  "ZAV MIDI Settings | *.zvm"},
        TitleCase{Tag::kLoadMidiTag, kRight, "Load MIDI settings (endian-reversed)", "ZAV MIDI Settings | *.zvm"},
        TitleCase{Tag::kSaveMidiTag, kLeft, "Save midi settings as", "ZAV MIDI Settings | *.zvm"}));

TEST_F(PresetDialogs, SavedAndLoadedPresetComesBackAndTheFolderIsRemembered) {
    hostSets(kFltCutoff, 0.25f);
    const std::string path = folder() + "bright.zav";
    stand.answerPath(folder() + "bright");  // typed without its extension
    click(Tag::kSavePresetTag);
    idleUntilTheDialogEnds();
    ASSERT_EQ(fileBytes(path).size(), 221u);
    EXPECT_EQ(editor->currentFolder(), folder());
    EXPECT_EQ(editor->currentPresetFile(), "bright.zav");

    hostSets(kFltCutoff, 0.75f);
    stand.answerPath(path);
    click(Tag::kLoadPresetTag);
    idleUntilTheDialogEnds();
    EXPECT_EQ(argument("--filename="), folder());
    EXPECT_FLOAT_EQ(parameter(kFltCutoff), 0.25f);
    idle();
    EXPECT_FLOAT_EQ(control(kFltCutoff).getValue(), 0.25f);

    // The next save proposes the remembered name in the remembered folder.
    stand.cancel();
    click(Tag::kSavePresetTag);
    idleUntilTheDialogEnds();
    EXPECT_EQ(argument("--filename="), path);
}

TEST_F(PresetDialogs, BankAndMidiSettingsGoThroughTheirDialogsToo) {
    effect->clearParameterCC(kMainIn);
    stand.answerPath(folder() + "set.zvb");
    click(Tag::kSaveBankTag);
    idleUntilTheDialogEnds();
    stand.answerPath(folder() + "map.zvm");
    click(Tag::kSaveMidiTag);
    idleUntilTheDialogEnds();
    EXPECT_EQ(fileBytes(folder() + "set.zvb").size(), 13181u);
    EXPECT_EQ(fileBytes(folder() + "map.zvm").size(), 197u);

    effect->assignCC(kMainIn, 20);
    char renamed[] = "Renamed";
    effect->setProgramName(renamed);
    stand.answerPath(folder() + "map.zvm");
    click(Tag::kLoadMidiTag);
    idleUntilTheDialogEnds();
    EXPECT_EQ(effect->getParameterCC(kMainIn), 999);
    stand.answerPath(folder() + "set.zvb");
    click(Tag::kLoadBankTag);
    idleUntilTheDialogEnds();
    idle();
    const auto& list = dynamic_cast<toolkit::COptionMenu&>(control(Tag::kPresetListTag));
    EXPECT_NE(list.getEntry(0)->getTitle(), "Renamed");
    EXPECT_EQ(effect->getCurrentPreset(), 0);
}

TEST_F(PresetDialogs, ASaveThatFailsLeavesTheOldFileWhole) {
    const std::string path = folder() + "keep.zav";
    const std::vector<uint8_t> old = savePresetAs(path);
    ASSERT_EQ(old.size(), 221u);
    ::chmod(path.c_str(), 0444);

    char renamed[] = "Changed";
    effect->setProgramName(renamed);
    stand.answerPath(path);
    click(Tag::kSavePresetTag);
    idleUntilTheDialogEnds();
    EXPECT_EQ(fileBytes(path), old);
    // A folder that is not there: nothing is made.
    stand.answerPath(folder() + "missing/new.zav");
    click(Tag::kSavePresetTag);
    idleUntilTheDialogEnds();
    EXPECT_FALSE(std::filesystem::exists(folder() + "missing"));
    EXPECT_EQ(testing::namesIn(files.path()), std::vector<std::string>{"keep.zav"});
}

// The user types "keep" where "keep.zav" exists: the dialog asked about "keep" only, so
// the editor asks about "keep.zav" before the save replaces it. No keeps the old file.
TEST_F(PresetDialogs, ATypedNameThatLeadsToAnExistingFileAsksBeforeReplacingIt) {
    const std::string path = folder() + "keep.zav";
    const std::vector<uint8_t> old = savePresetAs(path);
    ASSERT_EQ(old.size(), 221u);
    EXPECT_TRUE(stand.questionArguments().empty()) << "a name typed whole was asked about twice";

    char renamed[] = "Changed";
    effect->setProgramName(renamed);
    for (bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replace" : "keep");
        stand.forgetQuestion();
        stand.answerPath(folder() + "keep");
        stand.answerReplaceQuestion(replace);
        click(Tag::kSavePresetTag);
        idleUntilTheDialogEnds();
        const std::vector<std::string> question = stand.questionArguments();
        ASSERT_FALSE(question.empty()) << "the save replaced keep.zav without asking";
        EXPECT_EQ(argument("--title="), "Save preset");
        EXPECT_NE(std::find(question.begin(), question.end(), "--title=Save preset"), question.end());
        bool namesTheFile = false;
        for (const std::string& arg : question) namesTheFile |= arg.find("\"keep.zav\"") != std::string::npos;
        EXPECT_TRUE(namesTheFile);
        const std::vector<uint8_t> now = fileBytes(path);
        ASSERT_EQ(now.size(), 221u);
        if (replace) {
            EXPECT_NE(now, old);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(now.data()) + 5, 7), "Changed");
        } else {
            EXPECT_EQ(now, old);
        }
        EXPECT_EQ(testing::namesIn(files.path()), std::vector<std::string>{"keep.zav"});
    }
}

TEST_F(PresetDialogs, CancelledOrEmptyAnswersChangeNothing) {
    const std::vector<uint8_t> before = [&] {
        void* data = nullptr;
        const VstInt32 size = effect->getChunk(&data);
        return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    }();
    for (auto answer : {+[](StandInDialog& s) { s.cancel(); }, +[](StandInDialog& s) { s.answer("", 0); },
                        +[](StandInDialog& s) { s.answer("/a.zvb\n/b.zvb\n", 0); }}) {
        answer(stand);
        click(Tag::kLoadBankTag);
        idleUntilTheDialogEnds();
    }
    void* data = nullptr;
    const VstInt32 size = effect->getChunk(&data);
    EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size), before);
    EXPECT_TRUE(testing::namesIn(files.path()).empty());
}

TEST_F(PresetDialogs, OnlyOneDialogAtATimeAndTheEditorKeepsRunning) {
    stand.stayOpen();
    click(Tag::kLoadPresetTag);
    ASSERT_TRUE(editor->isFileDialogOpen());
    stand.forgetRun();
    click(Tag::kSaveBankTag);  // ignored while the first is open
    for (int i = 0; i < 10; ++i) idle();
    EXPECT_FALSE(stand.ran());
    hostSets(kFltCutoff, 0.3f);  // the editor still follows the host meanwhile
    idle();
    EXPECT_EQ(control(kFltCutoff).getValue(), 0.3f);
    EXPECT_TRUE(editor->isFileDialogOpen());
}

TEST_F(PresetDialogs, ClosingTheEditorEndsAnOpenDialog) {
    stand.stayOpen();
    click(Tag::kLoadBankTag);
    ASSERT_TRUE(editor->isFileDialogOpen());
    editor->close();
    EXPECT_FALSE(editor->isFileDialogOpen());
    EXPECT_TRUE(noChildLeft());
}

TEST_F(PresetDialogs, ClosingTheEffectEndsAnOpenDialog) {
    stand.stayOpen();
    click(Tag::kSaveMidiTag);
    ASSERT_TRUE(editor->isFileDialogOpen());
    effect.reset();
    EXPECT_TRUE(noChildLeft());
}

TEST_F(PresetDialogs, WithoutTheDialogProgramNothingHappensAndStderrSaysWhy) {
    TempFolder emptyPath;
    const std::string oldPath = std::getenv("PATH");
    ::setenv("PATH", emptyPath.path().c_str(), 1);
    ::testing::internal::CaptureStderr();
    click(Tag::kLoadPresetTag);
    const std::string message = ::testing::internal::GetCapturedStderr();
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_FALSE(editor->isFileDialogOpen());
    EXPECT_NE(message.find("zenity"), std::string::npos);
}

}  // namespace
}  // namespace ruvane
