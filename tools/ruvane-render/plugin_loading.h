// Finding the plug-in file and loading it with the host answers the render needs.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vst/host/plugin_host.h"

namespace ruvane::render {

// Where Ruvane.so is looked for when --plugin is not given, in order: beside this
// program (the build folder), ../lib/vst from it (an install under PREFIX), each folder
// of $LXVST_PATH and $VST_PATH, ~/.vst, /usr/local/lib/vst, /usr/lib/vst.
std::vector<std::string> pluginCandidates();

// The given path, or the first candidate that exists; throws ToolError (kExitNoPlugin).
std::string locatePlugin(const std::optional<std::string>& given);

// Loads the plug-in with a host that reports tempo and a playing transport, and starts
// it at the sample rate and block size. Throws ToolError (kExitNoPlugin).
std::unique_ptr<vsthost::PluginInstance> loadPlugin(const std::string& path, double sampleRate, int blockSize,
                                                    double tempo);

// Advances the host's transport to samplePosition (the first frame of the next block).
void setTransport(vsthost::HostState& host, double samplePosition, double sampleRate, double tempo);

}  // namespace ruvane::render
