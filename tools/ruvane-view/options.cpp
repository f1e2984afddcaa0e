#include "tools/ruvane-view/options.h"

#include <charconv>

#include "tools/ruvane-view/host_commands.h"
#include "tools/ruvane-view/view_error.h"

namespace ruvane::view {

namespace {

int parseInteger(const std::string& option, const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < low || value > high)
        throw ViewError(kExitUsage, option + " wants a whole number from " + std::to_string(low) + " to " +
                                        std::to_string(high) + ", not '" + text + "'");
    return value;
}

}  // namespace

ViewOptions parseOptions(const std::vector<std::string>& args) {
    ViewOptions options;
    bool afterGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw ViewError(kExitUsage, arg + " needs a value (see --help)");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--gallery") {
            options.gallery = true;
        } else if (arg == "--audio") {
            options.audio = true;
        } else if (arg == "--shot") {
            options.shot = value();
            if (options.shot->empty()) throw ViewError(kExitUsage, "--shot needs a file name, such as shot.png");
        } else if (arg == "--after") {
            options.afterMs = parseInteger(arg, value(), 0, kMaxAfterMs);
            afterGiven = true;
        } else if (arg == "--scale") {
            options.scale = parseInteger(arg, value(), 1, 2);
        } else if (arg == "--plugin") {
            options.plugin = value();
        } else if (arg == "--commands") {
            options.commands = true;
        } else if (arg == "--log-host-calls") {
            options.hostCallLog = value();
            if (options.hostCallLog->empty())
                throw ViewError(kExitUsage, "--log-host-calls needs a file name, such as calls.log");
        } else {
            throw ViewError(kExitUsage, "unknown option '" + arg + "' (see --help)");
        }
    }
    if (afterGiven && !options.shot) throw ViewError(kExitUsage, "--after only goes with --shot FILE.png");
    if (options.commands && options.shot)
        throw ViewError(kExitUsage, "--shot ends the program; with --commands give the command shot FILE.png instead");
    if (options.gallery && options.audio)
        throw ViewError(kExitUsage, "--audio plays through the plug-in; the gallery has none (drop --gallery)");
    if (options.gallery && options.hostCallLog)
        throw ViewError(kExitUsage, "--log-host-calls logs the plug-in's calls; the gallery has none (drop --gallery)");
    if (options.gallery && options.plugin)
        throw ViewError(kExitUsage, "--plugin names the plug-in to show; the gallery needs none (drop --gallery)");
    return options;
}

std::string helpText(const std::string& programName) {
    return "Usage: " + programName + R"( [OPTIONS]

Opens Ruvane's editor in a window of its own, as a VST host would, or the control
gallery (every control of the panel on its background, no plug-in needed).
Close the window to quit.

Options:
  --gallery         show the control gallery instead of the plug-in's editor
  --audio           play a looping drum-and-pluck phrase through the plug-in (no sound
                    is output; the meters and the effect run as in a host)
  --shot FILE.png   write a screenshot of the window to FILE.png and quit
  --after MS        take the screenshot MS milliseconds after the window shows
                    (default 1000)
  --scale 1|2       draw at single or double density (default: the desktop's choice,
                    from GDK_SCALE or an Xft.dpi of 144 or more)
  --plugin PATH     the Ruvane.so to load (default: beside this program, then
                    ../lib/vst, $LXVST_PATH, $VST_PATH, ~/.vst, /usr/local/lib/vst,
                    /usr/lib/vst)
  --log-host-calls FILE
                    append a line to FILE for each call the editor makes to the host,
                    as it happens: begin-edit INDEX, automate INDEX VALUE,
                    end-edit INDEX (calls made on the audio thread are counted, not
                    logged)
  --commands        act on the commands a script writes to standard input (below),
                    taken once the window shows
  --version         print the version and quit
  -h, --help        print this help and quit

)" + hostCommandsHelp() + R"(
Exit codes: 0 done, 1 the editor or the screenshot failed, 2 bad command line,
3 no X display, 4 the plug-in cannot be found or loaded, 5 a command failed.

Examples:
  )" + programName + R"( --audio
  )" + programName + R"( --gallery --scale 2 --shot gallery@2x.png
  printf 'set 2 0.25\nshot mix.png\nquit\n' | )" + programName + R"( --audio --commands
)";
}

}  // namespace ruvane::view
