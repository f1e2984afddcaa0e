// A stand-in for the desktop's file dialog program: a small shell script put first on
// PATH under the dialog program's name. It records its arguments, one a line, and
// answers what the test told it: a path (or any text) with an exit status, nothing, or
// it stays open until it is ended. Asked a question (--question, whether to replace a
// file), it records those arguments apart and answers no unless told yes.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_dialog.h"
#include "temp_folder.h"

namespace ruvane::testing {

class StandInDialog {
public:
    StandInDialog() {
        const auto script = folder_.path() / FileDialog::kProgram;
        std::ofstream out(script);
        out << "#!/bin/sh\n"
               "here=$(dirname \"$0\")\n"
               "if [ \"$1\" = --question ]; then\n"
               "  for arg in \"$@\"; do printf '%s\\n' \"$arg\"; done > \"$here/question.tmp\"\n"
               "  mv \"$here/question.tmp\" \"$here/question\"\n"
               "  if [ -f \"$here/question-stays-open\" ]; then exec sleep 3600; fi\n"
               "  exit $(cat \"$here/question-status\" 2>/dev/null || echo 1)\n"
               "fi\n"
               "for arg in \"$@\"; do printf '%s\\n' \"$arg\"; done > \"$here/arguments.tmp\"\n"
               "mv \"$here/arguments.tmp\" \"$here/arguments\"\n"
               "if [ -f \"$here/stay-open\" ]; then exec sleep 3600; fi\n"
               "[ -f \"$here/answer\" ] && cat \"$here/answer\"\n"
               "exit $(cat \"$here/status\" 2>/dev/null || echo 1)\n";
        out.close();
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        if (const char* path = std::getenv("PATH")) oldPath_ = path;
        ::setenv("PATH", (folder_.path().string() + ":" + oldPath_.value_or("/usr/bin:/bin")).c_str(), 1);
    }
    ~StandInDialog() {
        if (oldPath_)
            ::setenv("PATH", oldPath_->c_str(), 1);
        else
            ::unsetenv("PATH");
    }
    StandInDialog(const StandInDialog&) = delete;
    StandInDialog& operator=(const StandInDialog&) = delete;

    // The user confirms this text (normally one path and a newline) with OK.
    void answer(const std::string& text, int status = 0) {
        write("answer", text);
        write("status", std::to_string(status));
        std::filesystem::remove(folder_.path() / "stay-open");
    }
    void answerPath(const std::string& path) { answer(path + "\n", 0); }
    // The user presses Cancel: no output, status 1.
    void cancel() {
        std::filesystem::remove(folder_.path() / "answer");
        write("status", "1");
        std::filesystem::remove(folder_.path() / "stay-open");
    }
    // The dialog stays open until it is ended.
    void stayOpen() { write("stay-open", ""); }
    // The user's answer to the question whether to replace a file (no until told).
    void answerReplaceQuestion(bool replace) {
        write("question-status", replace ? "0" : "1");
        std::filesystem::remove(folder_.path() / "question-stays-open");
    }
    // The question stays open until it is ended.
    void keepQuestionOpen() { write("question-stays-open", ""); }
    // The arguments of the last question asked (program name not included); empty if none.
    std::vector<std::string> questionArguments() const { return lines("question"); }
    void forgetQuestion() { std::filesystem::remove(folder_.path() / "question"); }

    // The arguments of the last run (program name not included); empty before any run.
    std::vector<std::string> arguments() const { return lines("arguments"); }
    bool ran() const { return std::filesystem::exists(folder_.path() / "arguments"); }
    void forgetRun() { std::filesystem::remove(folder_.path() / "arguments"); }

private:
    std::vector<std::string> lines(const char* name) const {
        std::vector<std::string> result;
        std::ifstream in(folder_.path() / name);
        for (std::string line; std::getline(in, line);) result.push_back(line);
        return result;
    }
    void write(const char* name, const std::string& text) {
        std::ofstream out(folder_.path() / name, std::ios::trunc);
        out << text;
    }

    TempFolder folder_;
    std::optional<std::string> oldPath_;
};

// Polls until the dialog has ended; a dialog that never ends fails the test instead of
// hanging it (the bound is a guard, not a measurement).
inline FileDialog::Status waitForDialog(FileDialog& dialog, std::string* path) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;;) {
        const FileDialog::Status status = dialog.poll(path);
        if (status != FileDialog::Status::Open) return status;
        if (std::chrono::steady_clock::now() > giveUp) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace ruvane::testing
