// The file dialog runs as a child process the caller polls: what it is asked, what
// counts as a choice, the question before a save replaces a file the user did not
// name whole, and that ending it early leaves no process behind.
#include "platform/file_dialog.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
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

// The dialog asked about replacing the name as typed; when the extension is appended
// and that file exists, a second question names it, and only a yes chooses it.
TEST(FileDialog, SaveAsksBeforeReplacingTheFileTheExtensionLeadsTo) {
    TempFolder files;
    const std::string folder = files.path().string();
    testing::writeBytes(files.path() / "live.zvb", {1, 2, 3});
    struct Case {
        const char* what;
        std::string typed;
        std::optional<bool> replace;  // the answer to the question; none: no question expected
        Status expected;
    };
    const Case cases[] = {
        {"typed without extension, yes", folder + "/live", true, Status::Chosen},
        {"typed without extension, no", folder + "/live", false, Status::NothingChosen},
        // The dialog itself asked about a name typed whole.
        {"typed with extension", folder + "/live.zvb", std::nullopt, Status::Chosen},
        {"new file", folder + "/fresh", std::nullopt, Status::Chosen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StandInDialog stand;
        stand.answerPath(c.typed);
        if (c.replace) stand.answerReplaceQuestion(*c.replace);
        FileDialog dialog;
        ASSERT_TRUE(dialog.start(saveBankRequest(folder, "a.zvb")));
        std::string path = "untouched";
        EXPECT_EQ(waitForDialog(dialog, &path), c.expected);
        EXPECT_FALSE(dialog.isOpen());
        const std::string extended = c.typed.ends_with(".zvb") ? c.typed : c.typed + ".zvb";
        EXPECT_EQ(path, c.expected == Status::Chosen ? extended : "untouched");
        if (!c.replace) {
            EXPECT_TRUE(stand.questionArguments().empty()) << "asked about a file nobody would replace";
            continue;
        }
        EXPECT_EQ(stand.questionArguments(),
                  (std::vector<std::string>{"--question", "--no-markup", "--title=Save bank",
                                            "--text=A file named \"live.zvb\" already exists in \"" + folder +
                                                "\". Do you want to replace it?",
                                            "--ok-label=Replace", "--cancel-label=Cancel", "--default-cancel"}));
    }
    EXPECT_TRUE(noChildLeft());
}

TEST(FileDialog, TheReplaceQuestionKeepsTheCallerRunningAndEndsWithTheDialog) {
    TempFolder files;
    testing::writeBytes(files.path() / "live.zvb", {1, 2, 3});
    StandInDialog stand;
    stand.answerPath(files.path().string() + "/live");
    stand.keepQuestionOpen();
    FileDialog dialog;
    FileDialogRequest request = saveBankRequest(files.path().string(), "a.zvb");
    request.parentWindow = 77;
    ASSERT_TRUE(dialog.start(request));
    // Polled as idle does, the dialog stays open while the question waits for the user.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (stand.questionArguments().empty() && std::chrono::steady_clock::now() < giveUp) {
        ASSERT_EQ(dialog.poll(nullptr), Status::Open);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_FALSE(stand.questionArguments().empty()) << "no question was asked";
    for (int i = 0; i < 5; ++i) EXPECT_EQ(dialog.poll(nullptr), Status::Open);
    const std::vector<std::string> asked = stand.questionArguments();
    EXPECT_NE(std::find(asked.begin(), asked.end(), "--attach=77"), asked.end());
    dialog.cancel();
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(dialog.poll(nullptr), Status::Closed);
    EXPECT_TRUE(noChildLeft());
    EXPECT_EQ(testing::fileBytes(files.path() / "live.zvb"), (std::vector<uint8_t>{1, 2, 3}));
}

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
