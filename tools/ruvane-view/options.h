// The command line of ruvane-view.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ruvane::view {

struct ViewOptions {
    bool gallery = false;                // the toolkit-only control gallery instead of the plug-in
    bool audio = false;                  // play the test phrase through the plug-in
    std::optional<std::string> shot;     // write a screenshot here and exit
    int afterMs = 1000;                  // how long the window runs before the screenshot
    std::optional<int> scale;            // 1 or 2; none: the desktop's choice
    std::optional<std::string> plugin;   // none: found beside the program, then the usual folders
    std::optional<std::string> hostCallLog;  // append the editor's edit and automate calls here
    bool commands = false;               // take host commands on standard input
    bool help = false;
    bool version = false;
};

inline constexpr int kMaxAfterMs = 600000;

// args excludes the program name. Throws ViewError (kExitUsage) on a malformed command line.
ViewOptions parseOptions(const std::vector<std::string>& args);

std::string helpText(const std::string& programName);

}  // namespace ruvane::view
