#include "tools/ruvane-render/plugin_loading.h"

#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "tools/ruvane-render/exit_codes.h"

namespace ruvane::render {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPluginFile = "Ruvane.so";

std::optional<fs::path> programFolder() {
    char buffer[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return std::nullopt;
    return fs::path(std::string(buffer, static_cast<size_t>(length))).parent_path();
}

void addSearchPath(std::vector<std::string>& candidates, const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr) return;
    std::stringstream folders(value);
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty()) candidates.push_back((fs::path(folder) / kPluginFile).string());
}

}  // namespace

std::vector<std::string> pluginCandidates() {
    std::vector<std::string> candidates;
    if (const auto folder = programFolder()) {
        candidates.push_back((*folder / kPluginFile).string());
        candidates.push_back((*folder / ".." / "lib" / "vst" / kPluginFile).lexically_normal().string());
    }
    addSearchPath(candidates, "LXVST_PATH");
    addSearchPath(candidates, "VST_PATH");
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        candidates.push_back((fs::path(home) / ".vst" / kPluginFile).string());
    candidates.push_back(std::string("/usr/local/lib/vst/") + kPluginFile);
    candidates.push_back(std::string("/usr/lib/vst/") + kPluginFile);
    return candidates;
}

std::string locatePlugin(const std::optional<std::string>& given) {
    if (given) {
        if (!fs::exists(*given)) throw ToolError(kExitNoPlugin, "cannot load plug-in '" + *given + "': no such file");
        return *given;
    }
    const std::vector<std::string> candidates = pluginCandidates();
    for (const std::string& candidate : candidates)
        if (fs::is_regular_file(candidate)) return candidate;
    std::string message = "cannot find Ruvane.so; looked in:";
    for (const std::string& candidate : candidates) message += "\n  " + candidate;
    message += "\nBuild it ('make build'), install it ('make install') or name it with --plugin PATH.";
    throw ToolError(kExitNoPlugin, message);
}

std::unique_ptr<vsthost::PluginInstance> loadPlugin(const std::string& path, double sampleRate, int blockSize,
                                                    double tempo) {
    vsthost::HostState host;
    host.sampleRate = sampleRate;
    host.blockSize = blockSize;
    setTransport(host, 0.0, sampleRate, tempo);
    std::string error;
    // dlopen looks a bare name up in the library path; a path names the file.
    const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    std::unique_ptr<vsthost::PluginInstance> plugin = vsthost::PluginInstance::load(loadPath, &error, host);
    if (plugin == nullptr) throw ToolError(kExitNoPlugin, "cannot load plug-in '" + path + "': " + error);
    const AEffect* effect = plugin->effect();
    if ((effect->flags & effFlagsCanReplacing) == 0 || effect->processReplacing == nullptr)
        throw ToolError(kExitNoPlugin, "'" + path + "' cannot process audio in place (no processReplacing)");
    if (effect->numInputs < 1 || effect->numOutputs < 1)
        throw ToolError(kExitNoPlugin, "'" + path + "' has no audio inputs or outputs; it is not an effect");
    plugin->start(sampleRate, blockSize);
    return plugin;
}

void setTransport(vsthost::HostState& host, double samplePosition, double sampleRate, double tempo) {
    VstTimeInfo& time = host.timeInfo;
    const double quarterNotes = samplePosition / sampleRate * tempo / 60.0;
    time.samplePos = samplePosition;
    time.sampleRate = sampleRate;
    time.tempo = tempo;
    time.ppqPos = quarterNotes;
    time.barStartPos = std::floor(quarterNotes / 4.0) * 4.0;
    time.timeSigNumerator = 4;
    time.timeSigDenominator = 4;
    time.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (samplePosition == 0.0) time.flags |= kVstTransportChanged;
}

}  // namespace ruvane::render
