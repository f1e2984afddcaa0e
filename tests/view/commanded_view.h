// The built ruvane-view run with --commands, as a script runs it: commands written to
// its standard input one a line, each answer read back from its standard output.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "view_support.h"

namespace ruvane::testing {

class CommandedView {
public:
    // args come after --commands; the program runs on the named display.
    CommandedView(const std::vector<std::string>& args, const std::string& displayName) {
        int toProgram[2], fromProgram[2];
        if (pipe(toProgram) != 0 || pipe(fromProgram) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toProgram[0], STDIN_FILENO);
            dup2(fromProgram[1], STDOUT_FILENO);
            const int err = open((folder_.path() / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, STDERR_FILENO);
            for (int fd : {toProgram[0], toProgram[1], fromProgram[0], fromProgram[1], err}) close(fd);
            setenv("DISPLAY", displayName.c_str(), 1);
            unsetenv("GDK_SCALE");
            std::vector<std::string> copies{RUVANE_VIEW_PATH, "--commands"};
            copies.insert(copies.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& arg : copies) argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(toProgram[0]);
        close(fromProgram[1]);
        input_ = toProgram[1];
        output_ = fromProgram[0];
    }
    ~CommandedView() {
        closeInput();
        if (output_ >= 0) close(output_);
        if (pid_ > 0 && !finished_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    CommandedView(const CommandedView&) = delete;
    CommandedView& operator=(const CommandedView&) = delete;

    pid_t pid() const { return pid_; }

    // Writes the command and returns its one-line answer; empty (and a failure) when the
    // program gives none within kPatience.
    std::string ask(const std::string& command) {
        const std::string line = command + "\n";
        if (input_ < 0 || write(input_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
            ADD_FAILURE() << "cannot send '" << command << "'";
            return {};
        }
        return answer(command);
    }
    // Ends the input as a script that is done does, and waits for the program.
    ViewRun finish() {
        closeInput();
        ViewRun run;
        int status = 0;
        if (!eventually([&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            ADD_FAILURE() << "ruvane-view did not finish within " << kPatience.count() << " s";
        }
        finished_ = true;
        if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
        run.out = unread_;
        run.err = readText(folder_.path() / "stderr.txt");
        return run;
    }
    std::string errors() const { return readText(folder_.path() / "stderr.txt"); }

private:
    std::string answer(const std::string& command) {
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        for (;;) {
            if (const auto newline = unread_.find('\n'); newline != std::string::npos) {
                std::string line = unread_.substr(0, newline);
                unread_.erase(0, newline + 1);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
            pollfd ready{output_, POLLIN, 0};
            char buffer[4096];
            ssize_t got = 0;
            if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0 ||
                (got = read(output_, buffer, sizeof buffer)) <= 0) {
                ADD_FAILURE() << "no answer to '" << command << "'; stderr:\n" << errors();
                return {};
            }
            unread_.append(buffer, static_cast<size_t>(got));
        }
    }
    void closeInput() {
        if (input_ >= 0) close(input_);
        input_ = -1;
    }

    TempFolder folder_;
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string unread_;
    bool finished_ = false;
};

}  // namespace ruvane::testing
