// A private X server (Xvfb) for one test program run. Tests that move the real pointer
// with xdotool, read the screen or count windows need a screen nobody else uses: ctest
// runs test programs side by side, and they would click into each other's windows on a
// shared server. DISPLAY points at the private server while the object lives.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace ruvane::testing {

class PrivateXServer {
public:
    PrivateXServer() {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return;
        // Xvfb writes the display number it chose to the descriptor given by -displayfd.
        const std::string fd = std::to_string(pipeEnds[1]);
        std::vector<std::string> args{"Xvfb", "-displayfd", fd, "-screen", "0", "1600x1200x24", "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", 0, 0);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        const int error = posix_spawnp(&server_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        if (error != 0) {
            server_ = -1;
            close(pipeEnds[0]);
            return;
        }
        std::string number;
        char c;
        while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;
        close(pipeEnds[0]);
        if (number.empty()) return;
        if (const char* old = std::getenv("DISPLAY")) oldDisplay_ = old;
        display_ = ":" + number;
        ::setenv("DISPLAY", display_.c_str(), 1);
    }
    ~PrivateXServer() {
        if (!display_.empty()) {
            if (oldDisplay_)
                ::setenv("DISPLAY", oldDisplay_->c_str(), 1);
            else
                ::unsetenv("DISPLAY");
        }
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // Empty when no server could be started (Xvfb missing: scripts/setup installs it).
    const std::string& display() const { return display_; }

private:
    pid_t server_ = -1;
    std::string display_;
    std::optional<std::string> oldDisplay_;
};

}  // namespace ruvane::testing
