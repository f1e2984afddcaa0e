// An X server of the test's own (Xvfb). Tests that move the real pointer with xdotool,
// read the screen or count windows need a screen nobody else uses: ctest runs test
// programs side by side on one shared server, and they would click into, cover or count
// each other's windows there.
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
    // Whether DISPLAY names the private server while the object lives (for code under
    // test that opens "the" display), or stays as it was (the test passes the name on).
    enum class Display { Untouched, PointedHere };

    explicit PrivateXServer(Display display = Display::Untouched, const std::string& screen = "1920x1200x24") {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return;
        // Xvfb writes the display number it chose to the descriptor given by -displayfd,
        // once it accepts connections. -noreset: a server left without clients restarts
        // and refuses connections meanwhile, which would fail the next client at random.
        const std::string fd = std::to_string(pipeEnds[1]);
        std::vector<std::string> args{"Xvfb",       "-displayfd", fd,        "-screen", "0",
                                      screen,       "-nolisten",  "tcp",     "-noreset"};
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
        name_ = ":" + number;
        if (display == Display::PointedHere) {
            if (const char* old = std::getenv("DISPLAY")) oldDisplay_ = old;
            pointedHere_ = true;
            ::setenv("DISPLAY", name_.c_str(), 1);
        }
    }
    ~PrivateXServer() {
        if (pointedHere_) {
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

    // The display name (":N"); empty when no server could be started (Xvfb missing:
    // scripts/setup installs it).
    const std::string& name() const { return name_; }

private:
    pid_t server_ = -1;
    std::string name_;
    bool pointedHere_ = false;
    std::optional<std::string> oldDisplay_;
};

}  // namespace ruvane::testing
