// What ruvane-view answers to the shell, and the error that carries it.
#pragma once

#include <stdexcept>
#include <string>

namespace ruvane::view {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,     // the editor or the screenshot failed at run time
    kExitUsage = 2,      // bad option or value
    kExitNoDisplay = 3,  // no X display to open the window on
    kExitNoPlugin = 4,   // the plug-in cannot be found or loaded
    kExitCommandFailed = 5,  // a command given with --commands failed
};

// Thrown anywhere below main; main prints the message and exits with the code.
class ViewError : public std::runtime_error {
public:
    ViewError(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};

}  // namespace ruvane::view
