// The commands a script gives ruvane-view --commands on standard input, one a line, so
// that it can act as the host while the window runs: set and read parameters, read the
// program name, take screenshots, close and reopen the editor, read the heap, quit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ruvane::view {

struct HostCommand {
    enum class Kind { Set, Get, ProgramName, Shot, Open, Close, Heap, Quit };

    Kind kind = Kind::Quit;
    int32_t index = 0;  // set, get
    float value = 0.0f;  // set
    std::string path;   // shot
};

// A line longer than this is no command (its rest is skipped up to the next newline).
inline constexpr std::size_t kMaxCommandLineBytes = 4096;

// One line without its newline. Empty and comment lines (# ...) give none and no error;
// a malformed line gives none and says why in *error.
std::optional<HostCommand> parseHostCommand(std::string_view line, std::string* error);

struct CommandLine {
    std::string text;      // without its newline
    bool tooLong = false;  // longer than kMaxCommandLineBytes: text is empty
};

// Collects the lines a file descriptor delivers, without ever waiting for more.
class CommandLines {
public:
    explicit CommandLines(int fd) : fd_(fd) {}

    int fd() const { return fd_; }
    // Reads once what has arrived (call it when poll says the descriptor is readable)
    // and appends each completed line to *lines. False once the input has ended; a last
    // line without a newline still counts then.
    bool read(std::vector<CommandLine>* lines);

private:
    int fd_;
    std::string partial_;
    bool skippingLongLine_ = false;
};

// Commands, their answers and the exit codes, for --help.
std::string hostCommandsHelp();

}  // namespace ruvane::view
