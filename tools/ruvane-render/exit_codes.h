// What ruvane-render answers to the shell, and the error that carries it.
#pragma once

#include <stdexcept>
#include <string>

namespace ruvane::render {

enum ExitCode : int {
    kExitOk = 0,
    kExitRenderFailed = 1,  // reading, processing or writing failed part-way
    kExitUsage = 2,         // bad option or value, unknown preset or parameter, output equal to input
    kExitBadInput = 3,      // an input file (audio, preset, bank, MIDI) is missing, unreadable or unsupported
    kExitNoPlugin = 4,      // the plug-in cannot be found or loaded
};

// Thrown anywhere below main; main prints the message and exits with the code.
class ToolError : public std::runtime_error {
public:
    ToolError(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};

}  // namespace ruvane::render
