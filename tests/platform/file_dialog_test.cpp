// The file dialog runs as a child process the caller polls: what it is asked, what
// counts as a choice, and that ending it early leaves no process behind.
#include "platform/file_dialog.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "stand_in_dialog.h"
#include "temp_folder.h"

namespace ruvane {
namespace {

using Mode = FileDialogRequest::Mode;
using Status = FileDialog::Status;
using testing::StandInDialog;
using testing::TempFolder;
using testing::waitForDialog;

FileDialogRequest loadPresetRequest(const std::string& folder) {
    return {Mode::Open, "Load preset", "ZAV Preset", "zav", folder, "ignored.zav", 0};
}

FileDialogRequest saveBankRequest(const std::string& folder, const std::string& name) {
    return {Mode::Save, "Save bank", "ZAV Bank", "zvb", folder, name, 0};
}

// True when this process has no child left, running or waiting to be reaped.
bool noChildLeft() {
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

TEST(FileDialog, AsksWithTitleOneFilterAndTheRememberedFolder) {
    StandInDialog stand;
    stand.cancel();
    FileDialog dialog;
    ASSERT_TRUE(dialog.start(loadPresetRequest("/home/user/presets/")));
    waitForDialog(dialog, nullptr);
    EXPECT_EQ(stand.arguments(), (std::vector<std::string>{"--file-selection", "--title=Load preset",
                                                            "--file-filter=ZAV Preset | *.zav",
                                                            "--filename=/home/user/presets/"}));
}

TEST(FileDialog, SaveProposesTheRememberedNameInTheRememberedFolder) {
    StandInDialog stand;
    stand.cancel();
    FileDialog dialog;
    ASSERT_TRUE(dialog.start(saveBankRequest("/data/banks", "live set.zvb")));
    waitForDialog(dialog, nullptr);
    EXPECT_EQ(stand.arguments(),
              (std::vector<std::string>{"--file-selection", "--title=Save bank", "--file-filter=ZAV Bank | *.zvb",
                                        "--save", "--confirm-overwrite", "--filename=/data/banks/live set.zvb"}));
}

TEST(FileDialog, StartsInTheHomeFolderWhenNoneIsRemembered) {
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/home/someone", 1);
    const auto args = FileDialog::commandLine(loadPresetRequest(""));
    ::setenv("HOME", oldHome.c_str(), 1);
    EXPECT_EQ(args.back(), "--filename=/home/someone/");
}

TEST(FileDialog, BelongsToTheHostWindowWhenOneIsKnown) {
    FileDialogRequest request = loadPresetRequest("/x/");
    request.parentWindow = 4194311;
    const auto args = FileDialog::commandLine(request);
    EXPECT_NE(std::find(args.begin(), args.end(), "--attach=4194311"), args.end());
    EXPECT_NE(std::find(args.begin(), args.end(), "--modal"), args.end());
}

struct AnswerCase {
    const char* what;
    Mode mode;
    std::string output;
    int status;
    Status expected;
    std::string path;  // when chosen
};

void PrintTo(const AnswerCase& answer, std::ostream* out) { *out << answer.what; }

class FileDialogAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(FileDialogAnswers, OnlyOneConfirmedFileCounts) {
    const AnswerCase& c = GetParam();
    StandInDialog stand;
    stand.answer(c.output, c.status);
    FileDialog dialog;
    FileDialogRequest request = c.mode == Mode::Open ? loadPresetRequest("/p/") : saveBankRequest("/p/", "a.zvb");
    ASSERT_TRUE(dialog.start(request));
    std::string path = "untouched";
    EXPECT_EQ(waitForDialog(dialog, &path), c.expected);
    EXPECT_EQ(path, c.expected == Status::Chosen ? c.path : "untouched");
    // Reported once; afterwards there is no dialog.
    EXPECT_EQ(dialog.poll(&path), Status::Closed);
    EXPECT_FALSE(dialog.isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileDialogAnswers,
    ::testing::Values(
        AnswerCase{"OnePath", Mode::Open, "/p/my preset.zav\n", 0, Status::Chosen, "/p/my preset.zav"},
        AnswerCase{"PathWithoutNewline", Mode::Open, "/p/x.zav", 0, Status::Chosen, "/p/x.zav"},
        AnswerCase{"Cancelled", Mode::Open, "", 1, Status::NothingChosen, ""},
        AnswerCase{"CancelledDespiteText", Mode::Open, "/p/x.zav\n", 1, Status::NothingChosen, ""},
        AnswerCase{"ConfirmedNothing", Mode::Open, "", 0, Status::NothingChosen, ""},
        AnswerCase{"SeveralFiles", Mode::Open, "/p/a.zav\n/p/b.zav\n", 0, Status::NothingChosen, ""},
        AnswerCase{"AFolder", Mode::Open, "/p/\n", 0, Status::NothingChosen, ""},
        AnswerCase{"DialogFailed", Mode::Open, "", 255, Status::NothingChosen, ""},
        AnswerCase{"SaveGetsTheExtension", Mode::Save, "/p/new bank\n", 0, Status::Chosen, "/p/new bank.zvb"},
        AnswerCase{"SaveKeepsItsExtension", Mode::Save, "/p/old.ZVB\n", 0, Status::Chosen, "/p/old.ZVB"}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.what); });

TEST(FileDialog, AnswerTooLongForAPathIsNoChoice) {
    StandInDialog stand;
    stand.answer("/" + std::string(FileDialog::kMaxAnswerBytes + 10, 'a') + "\n", 0);
    FileDialog dialog;
    ASSERT_TRUE(dialog.start(loadPresetRequest("/p/")));
    EXPECT_EQ(waitForDialog(dialog, nullptr), Status::NothingChosen);
}

TEST(FileDialog, OneDialogAtATime) {
    StandInDialog stand;
    stand.stayOpen();
    FileDialog dialog;
    ASSERT_TRUE(dialog.start(loadPresetRequest("/p/")));
    EXPECT_FALSE(dialog.start(saveBankRequest("/p/", "b.zvb")));
    EXPECT_EQ(dialog.poll(nullptr), Status::Open);
    dialog.cancel();
}

TEST(FileDialog, EndingAnOpenDialogLeavesNoProcess) {
    StandInDialog stand;
    stand.stayOpen();
    {
        FileDialog dialog;
        ASSERT_TRUE(dialog.start(loadPresetRequest("/p/")));
        EXPECT_EQ(dialog.poll(nullptr), Status::Open);
        dialog.cancel();
        EXPECT_FALSE(dialog.isOpen());
        EXPECT_EQ(dialog.poll(nullptr), Status::Closed);
        EXPECT_TRUE(noChildLeft());
    }
    {
        FileDialog dialog;  // going away with the dialog open, as the editor does when the effect closes
        ASSERT_TRUE(dialog.start(loadPresetRequest("/p/")));
    }
    EXPECT_TRUE(noChildLeft());
}

TEST(FileDialog, WithoutTheProgramNothingHappensAndStderrSaysWhatToInstall) {
    TempFolder emptyPath;
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", emptyPath.path().c_str(), 1);
    FileDialog dialog;
    ::testing::internal::CaptureStderr();
    const bool started = dialog.start(loadPresetRequest("/p/"));
    const std::string message = ::testing::internal::GetCapturedStderr();
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_FALSE(started);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(dialog.poll(nullptr), Status::Closed);
    EXPECT_NE(message.find("install"), std::string::npos) << message;
    EXPECT_NE(message.find("\"zenity\" package"), std::string::npos) << message;
    EXPECT_TRUE(noChildLeft());
}

}  // namespace
}  // namespace ruvane
