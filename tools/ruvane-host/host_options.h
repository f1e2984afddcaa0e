// The command line of ruvane-host: a command (types, controls, render, view) and its
// options, checked for form only; names are checked against the loaded module later.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/ruvane-render/options.h"

namespace ruvane::host {

enum class Command { Types, Controls, Render, View };

struct ControlSetting {
    std::string name;   // a host control's name (any of its lines) or its number
    std::string value;  // a fraction 0..1 of the control's range, or on / off
};

struct HostOptions {
    Command command = Command::Types;
    std::optional<std::string> module;  // none: found beside this program or installed
    std::string type = "Rv7m";
    std::optional<std::string> input;
    std::optional<std::string> output;
    int blockSize = 512;
    bool bypass = false;
    std::vector<ControlSetting> controls;
    std::optional<std::string> loadState;
    std::optional<std::string> saveState;
    render::SampleFormat sampleFormat = render::SampleFormat::Default;
    std::optional<std::string> shot;  // view: write a PNG of the window and quit
    int viewMode = 0;
    bool quiet = false;
    bool help = false;
};

// args excludes the program name. Throws ToolError (kExitUsage) on a malformed line.
HostOptions parseHostOptions(const std::vector<std::string>& args);
std::string hostHelpText(Command command, bool commandGiven);

}  // namespace ruvane::host
