// The command line of ruvane-render: what the user asked for, checked for form only.
// Names of presets and parameters are checked later against the loaded effect.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ruvane::render {

enum class SampleFormat { Default, Pcm16, Pcm24, Float };

struct ParameterSetting {
    std::string name;  // as typed: a parameter name or index
    float value = 0.0f;
};

struct RenderOptions {
    std::optional<std::string> input;   // none: the built-in demo phrase
    std::optional<std::string> output;  // none: derived from the input (defaultOutputPath)
    std::optional<std::string> plugin;  // none: found by locatePlugin
    std::optional<std::string> preset;  // a name or an index into the effect's bank
    std::optional<std::string> presetFile;
    std::optional<std::string> bankFile;
    std::optional<std::string> midiFile;
    std::vector<ParameterSetting> settings;
    double tempo = 120.0;
    std::optional<double> tailSeconds;  // none: until the output has decayed
    int blockSize = 512;
    int demoRate = 44100;
    bool demoRateGiven = false;
    bool mono = false;
    SampleFormat sampleFormat = SampleFormat::Default;
    bool listPresets = false;
    bool listParameters = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

inline constexpr double kMinTempo = 30.0;
inline constexpr double kMaxTempo = 400.0;
inline constexpr int kMaxBlockSize = 16384;
inline constexpr double kMaxTailSeconds = 3600.0;
inline constexpr double kAutoTailCapSeconds = 30.0;

// args excludes the program name. Throws ToolError (kExitUsage) on a malformed command line.
RenderOptions parseOptions(const std::vector<std::string>& args);

// INPUT-ruvane.EXT beside the input (EXT kept when it can be written, else wav), or
// ruvane-demo.wav in the working directory for the demo.
std::string defaultOutputPath(const std::optional<std::string>& input);

std::string helpText(const std::string& programName);

}  // namespace ruvane::render
