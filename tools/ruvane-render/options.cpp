#include "tools/ruvane-render/options.h"

#include <cctype>
#include <filesystem>
#include <functional>
#include <map>

#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/text.h"

namespace ruvane::render {

namespace {

[[noreturn]] void usageError(const std::string& message) {
    throw ToolError(kExitUsage, message + "\nTry 'ruvane-render --help' for more information.");
}

struct OptionSpec {
    const char* longName;
    char shortName;  // 0: long form only
    bool takesValue;
    std::function<void(RenderOptions&, const std::string&)> apply;
};

double numberIn(const std::string& option, const std::string& text, double low, double high, const char* what) {
    const std::optional<double> value = parseNumber(text);
    if (!value || *value < low || *value > high)
        usageError("bad value '" + text + "' for " + option + ": " + what);
    return *value;
}

long integerIn(const std::string& option, const std::string& text, long low, long high, const char* what) {
    const std::optional<long> value = parseInteger(text);
    if (!value || *value < low || *value > high)
        usageError("bad value '" + text + "' for " + option + ": " + what);
    return *value;
}

ParameterSetting parseSetting(const std::string& text) {
    const size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
        usageError("bad --set '" + text + "': write NAME=VALUE, e.g. --set \"Main Mix=0.7\"");
    ParameterSetting setting;
    setting.name = trim(text.substr(0, equals));
    const std::string valueText = text.substr(equals + 1);
    const std::optional<double> value = parseNumber(valueText);
    if (setting.name.empty() || !value || *value < 0.0 || *value > 1.0)
        usageError("bad value '" + valueText + "' for parameter '" + setting.name +
                   "': parameters take a normalised value from 0 to 1");
    setting.value = static_cast<float>(*value);
    return setting;
}

const std::vector<OptionSpec>& optionTable() {
    static const std::vector<OptionSpec> table = {
        {"output", 'o', true, [](RenderOptions& o, const std::string& v) { o.output = v; }},
        {"mono", 0, false, [](RenderOptions& o, const std::string&) { o.mono = true; }},
        {"bits", 0, true,
         [](RenderOptions& o, const std::string& v) {
             static const std::map<std::string, SampleFormat> formats = {
                 {"16", SampleFormat::Pcm16}, {"24", SampleFormat::Pcm24}, {"float", SampleFormat::Float}};
             const auto found = formats.find(v);
             if (found == formats.end()) usageError("bad value '" + v + "' for --bits: use 16, 24 or float");
             o.sampleFormat = found->second;
         }},
        {"rate", 0, true,
         [](RenderOptions& o, const std::string& v) {
             o.demoRate = static_cast<int>(integerIn("--rate", v, 8000, 384000, "a sample rate in Hz, 8000..384000"));
             o.demoRateGiven = true;
         }},
        {"preset", 'p', true, [](RenderOptions& o, const std::string& v) { o.preset = v; }},
        {"preset-file", 0, true, [](RenderOptions& o, const std::string& v) { o.presetFile = v; }},
        {"bank", 0, true, [](RenderOptions& o, const std::string& v) { o.bankFile = v; }},
        {"midi", 0, true, [](RenderOptions& o, const std::string& v) { o.midiFile = v; }},
        {"set", 's', true, [](RenderOptions& o, const std::string& v) { o.settings.push_back(parseSetting(v)); }},
        {"tempo", 't', true,
         [](RenderOptions& o, const std::string& v) {
             o.tempo = numberIn("--tempo", v, kMinTempo, kMaxTempo, "beats per minute, 30..400");
         }},
        {"tail", 0, true,
         [](RenderOptions& o, const std::string& v) {
             if (presetKey(v) == "auto") {
                 o.tailSeconds.reset();
                 return;
             }
             o.tailSeconds = numberIn("--tail", v, 0.0, kMaxTailSeconds, "seconds (0..3600) or 'auto'");
         }},
        {"block-size", 'b', true,
         [](RenderOptions& o, const std::string& v) {
             o.blockSize = static_cast<int>(integerIn("--block-size", v, 1, kMaxBlockSize, "frames, 1..16384"));
         }},
        {"plugin", 0, true, [](RenderOptions& o, const std::string& v) { o.plugin = v; }},
        {"list-presets", 0, false, [](RenderOptions& o, const std::string&) { o.listPresets = true; }},
        {"list-parameters", 0, false, [](RenderOptions& o, const std::string&) { o.listParameters = true; }},
        {"quiet", 'q', false, [](RenderOptions& o, const std::string&) { o.quiet = true; }},
        {"help", 'h', false, [](RenderOptions& o, const std::string&) { o.help = true; }},
        {"version", 0, false, [](RenderOptions& o, const std::string&) { o.version = true; }},
    };
    return table;
}

const OptionSpec* findLong(const std::string& name) {
    for (const OptionSpec& entry : optionTable())
        if (name == entry.longName) return &entry;
    return nullptr;
}

const OptionSpec* findShort(char name) {
    for (const OptionSpec& entry : optionTable())
        if (entry.shortName != 0 && entry.shortName == name) return &entry;
    return nullptr;
}

bool writableExtension(const std::string& extension) {
    return extension == ".wav" || extension == ".flac" || extension == ".ogg" || extension == ".oga";
}

}  // namespace

RenderOptions parseOptions(const std::vector<std::string>& args) {
    RenderOptions options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg.rfind("--", 0) == 0) {
            const size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const OptionSpec* entry = findLong(name);
            if (entry == nullptr) usageError("unknown option '--" + name + "'");
            if (!entry->takesValue) {
                if (equals != std::string::npos) usageError("option '--" + name + "' takes no value");
                entry->apply(options, "");
            } else if (equals != std::string::npos) {
                entry->apply(options, arg.substr(equals + 1));
            } else {
                if (i + 1 >= args.size()) usageError("option '--" + name + "' needs a value");
                entry->apply(options, args[++i]);
            }
            continue;
        }
        // One or more short options: "-q", "-qo out.wav", "-oout.wav".
        for (size_t at = 1; at < arg.size(); ++at) {
            const OptionSpec* entry = findShort(arg[at]);
            if (entry == nullptr) usageError(std::string("unknown option '-") + arg[at] + "'");
            if (!entry->takesValue) {
                entry->apply(options, "");
                continue;
            }
            if (at + 1 < arg.size()) {
                entry->apply(options, arg.substr(at + 1));
            } else {
                if (i + 1 >= args.size()) usageError(std::string("option '-") + arg[at] + "' needs a value");
                entry->apply(options, args[++i]);
            }
            break;
        }
    }

    if (options.help || options.version) return options;
    if (positional.size() > 2) usageError("too many files: '" + positional[2] + "' (give INPUT and OUTPUT at most)");
    for (const std::string& file : positional)
        if (file == "-") usageError("standard input and output are not supported: name a file");
    if (!positional.empty()) options.input = positional[0];
    if (positional.size() == 2) {
        if (options.output) usageError("two outputs given: '" + positional[1] + "' and -o '" + *options.output + "'");
        options.output = positional[1];
    }
    if (options.input && options.demoRateGiven)
        usageError("--rate sets the demo phrase's sample rate; a file is processed at its own rate");
    if (options.output && options.output->empty()) usageError("the output file name is empty");
    return options;
}

std::string defaultOutputPath(const std::optional<std::string>& input) {
    if (!input) return "ruvane-demo.wav";
    const std::filesystem::path path(*input);
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!writableExtension(extension)) extension = ".wav";
    return (path.parent_path() / (path.stem().string() + "-ruvane" + extension)).string();
}

std::string helpText(const std::string& programName) {
    return "Usage: " + programName + R"( [OPTION]... [INPUT [OUTPUT]]

Processes an audio file through the Ruvane stereo delay, loaded as a VST 2.4
plug-in, at the file's own sample rate. Without INPUT it renders a built-in demo
phrase (plucked notes and drums), so you can hear the effect with no files.

Files:
  -o, --output FILE        where to write; .wav, .flac or .ogg picks the format
                           (default: INPUT-ruvane.EXT beside the input, or
                           ruvane-demo.wav for the demo)
      --mono               write one channel, the average of left and right
                           (default: stereo)
      --bits 16|24|float   sample format of WAV and FLAC output (default 24;
                           float is WAV only)
      --rate HZ            sample rate of the demo phrase (default 44100)

Sound:
  -p, --preset NAME|INDEX  start from a preset of the effect's bank, by name
                           (case does not matter) or index 0..60
      --preset-file FILE   load a preset file (.zav) into the current preset
      --bank FILE          load a bank file (.zvb): all 61 presets
      --midi FILE          load MIDI settings (.zvm): controller assignments
  -s, --set NAME=VALUE     set a sound parameter, by name or index 0..47, to a
                           normalised value 0..1; repeatable.
                           e.g. --set "Main Mix=0.7" --set dlyl_fb=0.5
  -t, --tempo BPM          host tempo, 30..400 (default 120); tempo-synced
                           delays and LFO follow it, and so does the demo phrase
  Changes apply in this order: --bank, --preset, --preset-file, --midi, --set.

Rendering:
      --tail SECONDS|auto  how long to go on after the input ends; auto
                           (default) stops once the output has decayed below
                           -90 dBFS, after at most 30 s
  -b, --block-size N       frames per processing block, 1..16384 (default 512)
      --plugin PATH        the VST 2.4 plug-in to load (default: Ruvane.so
                           beside this program, then ../lib/vst/, ~/.vst/,
                           /usr/local/lib/vst/, /usr/lib/vst/)

Information:
      --list-presets       print the bank's presets (after --bank) and exit
      --list-parameters    print the sound parameters with their values, display
                           texts and MIDI controllers (after all changes) and exit
  -q, --quiet              print neither progress nor the summary
  -h, --help               print this help and exit
      --version            print the version and exit

The summary line goes to standard output; the progress bar (on a terminal
only) and errors go to standard error. The output is written to a temporary
file beside it and renamed when complete, so a failed or interrupted render
leaves no partial file.

Exit status:
  0    success
  1    reading, processing or writing failed part-way
  2    bad command line: unknown option, bad value, unknown preset or
       parameter, output file equal to the input
  3    an input file (audio, preset, bank, MIDI) is missing, unreadable, of an
       unsupported format or not for this effect
  4    the plug-in cannot be found or loaded
  130  interrupted by SIGINT (143: SIGTERM)

Examples:
  ruvane-render                                  the demo, into ruvane-demo.wav
  ruvane-render -p "Wow Tape" guitar.wav wet.flac
  ruvane-render -p "1 4 Feedback" -t 96 -s "Main Mix=0.6" drums.wav
  ruvane-render --list-presets
)";
}

}  // namespace ruvane::render
