#include "tools/ruvane-render/effect_setup.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "effect/editor/preset_images.h"
#include "effect/plugin/state_chunk.h"
#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/text.h"

namespace ruvane::render {

namespace {

constexpr int kDlyLTimeIndex = 35;
constexpr int kDlyRTimeIndex = 36;
constexpr int kVcoOnIndex = 45;
constexpr int kMidiControllerSteps = 129;  // value (c + 0.5) / 129; 128 and above: none
constexpr double kLongestDelaySeconds = 5.0;
constexpr double kSlowestClockFactor = 4.0;  // the clocked delay can run two octaves slow
constexpr double kEchoMarginSeconds = 0.5;
constexpr double kOtherPluginGapSeconds = 2.0;

// The chunk as a codec-readable state, and back.
EffectState readState(vsthost::PluginInstance& plugin) {
    const std::vector<uint8_t> chunk = plugin.getChunk();
    EffectState state;
    if (readStateChunk(chunk.data(), chunk.size(), kRuvaneId, state) != ChunkReadResult::Accepted)
        throw ToolError(kExitRenderFailed, "the plug-in gave a state chunk this program cannot read (" +
                                               std::to_string(chunk.size()) + " bytes)");
    return state;
}

void writeState(vsthost::PluginInstance& plugin, const EffectState& state) {
    std::vector<uint8_t> chunk(kStateChunkBytes);
    writeStateChunk(state, kRuvaneId, chunk.data());
    if (plugin.setChunk(chunk) != 0) throw ToolError(kExitRenderFailed, "the plug-in refused the new state chunk");
}

// Which of our three file kinds an image claims to be, for a helpful message.
const char* kindOfImage(const std::vector<uint8_t>& image) {
    if (image.size() < 5) return nullptr;
    switch (image[4]) {
        case '!': return "a preset; load it with --preset-file";
        case '7': return "a bank; load it with --bank";
        case 0x0B: return "MIDI settings; load them with --midi";
        default: return nullptr;
    }
}

bool hasOurId(const std::vector<uint8_t>& image) {
    if (image.size() < 4) return false;
    const uint32_t id = static_cast<uint32_t>(kRuvaneId);
    uint32_t word = 0;
    std::copy_n(image.data(), 4, reinterpret_cast<uint8_t*>(&word));
    const uint32_t swapped = (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
    return word == id || swapped == id;
}

}  // namespace

bool EffectSetup::isRuvane() const { return plugin_.effect()->uniqueID == kRuvaneId; }

int EffectSetup::soundParameterCount() const {
    return isRuvane() ? kNumSoundParameters : plugin_.effect()->numParams;
}

std::vector<std::string> EffectSetup::presetNames() {
    std::vector<std::string> names;
    const int count = isRuvane() ? kNumPresets : plugin_.effect()->numPrograms;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        std::string name = plugin_.programNameIndexed(i, &ok);
        if (!ok && isRuvane()) break;
        names.push_back(std::move(name));
    }
    return names;
}

int EffectSetup::currentPreset() {
    if (isRuvane()) return readState(plugin_).currentPreset;
    return static_cast<int>(plugin_.dispatch(effGetProgram));
}

void EffectSetup::selectPreset(const std::string& nameOrIndex) {
    const std::vector<std::string> names = presetNames();
    int index = -1;
    if (const std::optional<long> number = parseInteger(nameOrIndex)) {
        if (*number < 0 || *number >= static_cast<long>(names.size()))
            throw ToolError(kExitUsage, "no preset " + nameOrIndex + ": the bank holds presets 0.." +
                                            std::to_string(static_cast<int>(names.size()) - 1));
        index = static_cast<int>(*number);
    } else {
        const std::string wanted = presetKey(nameOrIndex);
        for (size_t i = 0; i < names.size() && index < 0; ++i)
            if (presetKey(names[i]) == wanted) index = static_cast<int>(i);
        if (index < 0) {
            std::string message = "unknown preset '" + nameOrIndex + "'";
            std::vector<std::string> close;
            for (const std::string& name : names)
                if (!wanted.empty() && presetKey(name).find(wanted) != std::string::npos) close.push_back(trim(name));
            if (!close.empty() && close.size() <= 8) {
                message += "; did you mean";
                for (size_t i = 0; i < close.size(); ++i) message += (i == 0 ? " '" : ", '") + close[i] + "'";
                message += "?";
            }
            message += " (see --list-presets)";
            throw ToolError(kExitUsage, message);
        }
    }
    if (!isRuvane()) {
        plugin_.dispatch(effSetProgram, 0, index);
        return;
    }
    EffectState state = readState(plugin_);
    state.currentPreset = index;
    writeState(plugin_, state);
}

void EffectSetup::requireRuvane(const char* option) const {
    if (!isRuvane())
        throw ToolError(kExitUsage, std::string(option) + " needs the Ruvane plug-in; the loaded plug-in is another one");
}

std::vector<uint8_t> EffectSetup::readImage(const std::string& path, size_t size, const char* option,
                                            const char* kind) {
    requireRuvane(option);
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(path, error)) throw ToolError(kExitBadInput, "cannot open '" + path + "': no such file");
    if (fs::is_directory(path, error)) throw ToolError(kExitBadInput, "cannot read '" + path + "': it is a directory");
    std::ifstream file(path, std::ios::binary);
    if (!file) throw ToolError(kExitBadInput, "cannot read '" + path + "'");
    std::vector<uint8_t> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw ToolError(kExitBadInput, "reading '" + path + "' failed");
    if (!hasOurId(image)) throw ToolError(kExitBadInput, "'" + path + "' is not a Ruvane file (" + option + " wants " + kind + ")");
    if (image.size() != size) {
        const char* actual = kindOfImage(image);
        throw ToolError(kExitBadInput, "'" + path + "' is " + std::to_string(image.size()) + " bytes, not " +
                                           std::to_string(size) + ": " +
                                           (actual != nullptr ? std::string("it holds ") + actual
                                                              : std::string("it is not ") + kind));
    }
    return image;
}

void EffectSetup::loadPresetFile(const std::string& path) {
    const std::vector<uint8_t> image = readImage(path, kPresetImageBytes, "--preset-file", "a preset file (.zav)");
    EffectState state = readState(plugin_);
    PresetRecord preset{};
    if (!decodePresetImage(image.data(), kRuvaneId, false, preset)) {
        const char* actual = kindOfImage(image);
        throw ToolError(kExitBadInput, "'" + path + "' is not a preset file" +
                                           (actual != nullptr ? std::string(": it holds ") + actual : std::string()));
    }
    state.bank[static_cast<size_t>(std::clamp(state.currentPreset, 0, kNumPresets - 1))] = preset;
    writeState(plugin_, state);
}

void EffectSetup::loadBankFile(const std::string& path) {
    const std::vector<uint8_t> image = readImage(path, kBankImageBytes, "--bank", "a bank file (.zvb)");
    EffectState state = readState(plugin_);
    if (!decodeBankImage(image.data(), kRuvaneId, false, state.bank)) {
        const char* actual = kindOfImage(image);
        throw ToolError(kExitBadInput, "'" + path + "' is not a bank file" +
                                           (actual != nullptr ? std::string(": it holds ") + actual : std::string()));
    }
    state.currentPreset = 0;  // as the effect does after a bank load
    writeState(plugin_, state);
}

void EffectSetup::loadMidiFile(const std::string& path) {
    const std::vector<uint8_t> image = readImage(path, kMidiImageBytes, "--midi", "a MIDI-settings file (.zvm)");
    EffectState state = readState(plugin_);
    ControllerValues values{};
    if (!decodeMidiImage(image.data(), kRuvaneId, false, values)) {
        const char* actual = kindOfImage(image);
        throw ToolError(kExitBadInput, "'" + path + "' is not a MIDI-settings file" +
                                           (actual != nullptr ? std::string(": it holds ") + actual : std::string()));
    }
    std::copy(values.begin(), values.end(), state.controllerValues.begin());
    writeState(plugin_, state);
}

int EffectSetup::findParameter(const std::string& nameOrIndex) {
    const int count = soundParameterCount();
    if (const std::optional<long> number = parseInteger(nameOrIndex)) {
        if (*number < 0 || *number >= count)
            throw ToolError(kExitUsage, "no parameter " + nameOrIndex + ": sound parameters are 0.." +
                                            std::to_string(count - 1));
        return static_cast<int>(*number);
    }
    const std::string wanted = looseKey(nameOrIndex);
    std::vector<int> matches;
    std::vector<std::string> close;
    for (int i = 0; i < count; ++i) {
        const std::string name = plugin_.parameterName(i);
        const std::string key = looseKey(name);
        if (key == wanted) matches.push_back(i);
        else if (!wanted.empty() && key.find(wanted) != std::string::npos) close.push_back(name);
    }
    if (matches.size() == 1) return matches.front();
    if (matches.size() > 1)
        throw ToolError(kExitUsage, "parameter name '" + nameOrIndex + "' is ambiguous; give its index (see --list-parameters)");
    std::string message = "unknown parameter '" + nameOrIndex + "'";
    if (!close.empty() && close.size() <= 8) {
        message += "; did you mean";
        for (size_t i = 0; i < close.size(); ++i) message += (i == 0 ? " '" : ", '") + close[i] + "'";
        message += "?";
    }
    message += " (see --list-parameters)";
    throw ToolError(kExitUsage, message);
}

void EffectSetup::setParameter(const std::string& nameOrIndex, float value) {
    plugin_.setParameter(findParameter(nameOrIndex), value);
}

int EffectSetup::controllerOf(int parameter) {
    if (!isRuvane() || parameter < 0 || parameter >= kNumSoundParameters) return -1;
    const float value = plugin_.getParameter(kNumSoundParameters + parameter);
    const int controller = static_cast<int>(std::floor(value * kMidiControllerSteps));
    return controller >= 0 && controller < 128 ? controller : -1;
}

double EffectSetup::longestEchoGapSeconds() {
    if (!isRuvane()) return kOtherPluginGapSeconds;
    double longest = 0.0;
    for (int index : {kDlyLTimeIndex, kDlyRTimeIndex}) {
        const std::optional<double> ms = parseNumber(plugin_.parameterDisplay(index));
        longest = std::max(longest, ms ? *ms / 1000.0 : kLongestDelaySeconds);
    }
    longest = std::min(longest, kLongestDelaySeconds);
    if (plugin_.getParameter(kVcoOnIndex) >= 0.5f) longest *= kSlowestClockFactor;
    return longest + kEchoMarginSeconds;
}

}  // namespace ruvane::render
