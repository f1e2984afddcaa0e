#include "tools/ruvane-host/host_options.h"

#include <charconv>

#include "tools/ruvane-render/exit_codes.h"

namespace ruvane::host {
namespace {

using render::ToolError;
constexpr int kMaxBlock = 65536;

[[noreturn]] void usage(const std::string& message) {
    throw ToolError(render::kExitUsage, message + "; see 'ruvane-host --help'");
}

int parseInteger(const std::string& option, const std::string& text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        usage(option + " wants a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
              ", not '" + text + "'");
    return value;
}

}  // namespace

HostOptions parseHostOptions(const std::vector<std::string>& args) {
    HostOptions options;
    std::size_t at = 0;
    bool commandGiven = false;
    if (!args.empty() && args[0].rfind("-", 0) != 0) {
        const std::string& word = args[0];
        if (word == "types") options.command = Command::Types;
        else if (word == "controls") options.command = Command::Controls;
        else if (word == "render") options.command = Command::Render;
        else if (word == "view") options.command = Command::View;
        else usage("unknown command '" + word + "' (types, controls, render, view)");
        commandGiven = true;
        at = 1;
    }
    std::vector<std::string> positional;
    auto valueOf = [&](const std::string& option) -> const std::string& {
        if (at + 1 >= args.size()) usage(option + " needs a value");
        return args[++at];
    };
    for (; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if (arg == "-h" || arg == "--help") options.help = true;
        else if (arg == "--module") options.module = valueOf(arg);
        else if (arg == "--type" || arg == "-t") options.type = valueOf(arg);
        else if (arg == "--block" || arg == "-b") options.blockSize = parseInteger(arg, valueOf(arg), 1, kMaxBlock);
        else if (arg == "--bypass") options.bypass = true;
        else if (arg == "--control" || arg == "-c") {
            const std::string& setting = valueOf(arg);
            const auto equals = setting.rfind('=');
            if (equals == std::string::npos || equals == 0 || equals + 1 == setting.size())
                usage("--control wants NAME=VALUE, not '" + setting + "'");
            options.controls.push_back({setting.substr(0, equals), setting.substr(equals + 1)});
        } else if (arg == "--load-state") options.loadState = valueOf(arg);
        else if (arg == "--save-state") options.saveState = valueOf(arg);
        else if (arg == "--bits") {
            const std::string& bits = valueOf(arg);
            if (bits == "16") options.sampleFormat = render::SampleFormat::Pcm16;
            else if (bits == "24") options.sampleFormat = render::SampleFormat::Pcm24;
            else if (bits == "float" || bits == "32") options.sampleFormat = render::SampleFormat::Float;
            else usage("--bits wants 16, 24 or float, not '" + bits + "'");
        } else if (arg == "--shot") options.shot = valueOf(arg);
        else if (arg == "--view-mode") options.viewMode = parseInteger(arg, valueOf(arg), 0, 1);
        else if (arg == "-q" || arg == "--quiet") options.quiet = true;
        else if (arg.rfind("-", 0) == 0 && arg.size() > 1) usage("unknown option '" + arg + "'");
        else positional.push_back(arg);
    }
    if (options.help) return options;
    if (!commandGiven) usage("give a command: types, controls, render or view");
    if (options.command == Command::Render) {
        if (positional.size() != 2) usage("render wants an input and an output file: ruvane-host render IN OUT");
        options.input = positional[0];
        options.output = positional[1];
    } else if (!positional.empty()) {
        usage("'" + positional[0] + "' is not an option of this command");
    }
    if (options.command != Command::Render && options.command != Command::Controls &&
        (!options.controls.empty() || options.loadState))
        usage("--control and --load-state belong to render and controls");
    return options;
}

std::string hostHelpText(Command command, bool commandGiven) {
    const std::string common =
        "  --module PATH      wrapper.so to load (default: beside this program, then\n"
        "                     ../lib/ruvane/ from it, then ~/.local/lib/ruvane/)\n"
        "  -h, --help         this text\n";
    const std::string typeOption =
        "  -t, --type ID      the plug-in type: Rv7s (mono), Rv7x (mono to stereo),\n"
        "                     Rv7m (stereo, the default) or Rv7a (offline, mono)\n";
    const std::string controlOptions =
        "  -c, --control NAME=VALUE  set a host control before rendering; NAME is any line\n"
        "                     of its name (\"DlyL Time\", \"Master Bypass\") or its number,\n"
        "                     VALUE a fraction 0..1 of its range, or on / off\n"
        "  --load-state FILE  restore a state saved with --save-state first; a file that\n"
        "                     is none, or that the instance refuses part of, stops with\n"
        "                     exit code 3\n";
    if (!commandGiven)
        return "Usage: ruvane-host COMMAND [OPTIONS]\n"
               "Runs Ruvane inside the stand-in host platform through the adapter wrapper.so,\n"
               "as the host platform would.\n\n"
               "Commands:\n"
               "  types              the module's plug-in types with ids, layouts and kinds\n"
               "  controls           an instance's host controls with kinds and display texts\n"
               "  render IN OUT      process an audio file through an instance\n"
               "  view               the plug-in window with the effect's editor (X11)\n\n"
               "'ruvane-host COMMAND --help' tells more. Exit codes: 0 done, 1 render failed,\n"
               "2 bad command line, 3 bad input file, 4 module or effect not loadable.\n";
    switch (command) {
        case Command::Types:
            return "Usage: ruvane-host types [--module PATH]\nLists the plug-in types the module registers.\n\n" + common;
        case Command::Controls:
            return "Usage: ruvane-host controls [OPTIONS]\nLists an instance's host controls: number, kind, "
                   "name and the current display text.\n\n" + typeOption + controlOptions + common;
        case Command::Render:
            return "Usage: ruvane-host render [OPTIONS] IN OUT\n"
                   "Processes the audio file IN through an instance of the type and writes OUT\n"
                   "(.wav, .flac, .ogg) with the type's output channels, at IN's sample rate.\n"
                   "A stereo file into a mono type is mixed to mono first.\n\n" + typeOption +
                   "  -b, --block N      the host's maximum real-time block (default 512)\n"
                   "  --bypass           switch the master bypass on\n" + controlOptions +
                   "  --save-state FILE  save the instance's state (every host chunk) after rendering\n"
                   "  --bits 16|24|float sample format of OUT (default: 24-bit WAV, or as the format has it)\n"
                   "  -q, --quiet        no progress line and no summary\n" + common;
        case Command::View:
            return "Usage: ruvane-host view [OPTIONS]\n"
                   "Opens the plug-in window with the effect's editor inside; close the window to quit.\n\n" +
                   typeOption +
                   "  --shot FILE.png    write a picture of the window once the editor has drawn, and quit\n"
                   "  --view-mode 0|1    how the host shows the window (1 keeps a 32-pixel strip below the view)\n" +
                   common;
    }
    return {};
}

}  // namespace ruvane::host
