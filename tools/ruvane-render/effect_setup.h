// Changing the loaded effect the way the command line asks, through the VST binary
// interface only: presets by name or index, preset/bank/MIDI files (put into the
// effect's state chunk), parameters by name. Ruvane keeps its 61 presets inside its
// chunk; any other plug-in gets ordinary VST programs.
#pragma once

#include <string>
#include <vector>

#include "vst/host/plugin_host.h"

namespace ruvane::render {

inline constexpr VstInt32 kRuvaneId = fourCharCode('R', 'V', '7', 'S');

class EffectSetup {
public:
    explicit EffectSetup(vsthost::PluginInstance& plugin) : plugin_(plugin) {}

    bool isRuvane() const;
    std::vector<std::string> presetNames();
    int currentPreset();
    // Sound parameters: Ruvane's 0..47 (48..95 are its MIDI assignments), else all.
    int soundParameterCount() const;

    // Each throws ToolError: kExitUsage for an unknown name or index, or a file option
    // given to another plug-in; kExitBadInput for a file that cannot be used.
    void selectPreset(const std::string& nameOrIndex);
    void loadPresetFile(const std::string& path);
    void loadBankFile(const std::string& path);
    void loadMidiFile(const std::string& path);
    int findParameter(const std::string& nameOrIndex);
    void setParameter(const std::string& nameOrIndex, float value);

    // The MIDI controller driving a sound parameter, or -1 (Ruvane only).
    int controllerOf(int parameter);

    // How long the output may stay silent between two echoes: the longest delay in use,
    // slowed as far as the clocked delay can slow it, plus a margin. After that much
    // silence the tail is over.
    double longestEchoGapSeconds();

private:
    std::vector<uint8_t> readImage(const std::string& path, size_t size, const char* option, const char* kind);
    void requireRuvane(const char* option) const;

    vsthost::PluginInstance& plugin_;
};

}  // namespace ruvane::render
