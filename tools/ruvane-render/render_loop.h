// The render: input blocks through the effect into the output, then the tail, in
// host-sized blocks with an advancing transport. Buffers are made once up front.
#pragma once

#include <cstdint>
#include <optional>

#include "tools/ruvane-render/audio_stream.h"
#include "tools/ruvane-render/progress.h"
#include "vst/host/plugin_host.h"

namespace ruvane::render {

struct RenderSettings {
    int blockSize = 512;
    double tempo = 120.0;
    std::optional<double> tailSeconds;  // none: automatic
    double tailCapSeconds = 30.0;       // automatic tail only
    double echoGapSeconds = 2.0;        // automatic tail: quiet this long means over
};

struct RenderResult {
    int64_t inputFrames = 0;
    int64_t tailFrames = 0;       // offered to the tail keeper (written or not)
    bool tailCut = false;         // automatic tail cut at its cap while sounding
    int64_t nonFiniteSamples = 0; // NaN or infinity from the effect, written as 0
    bool interrupted = false;     // SIGINT or SIGTERM arrived; the output is incomplete
};

RenderResult renderThrough(vsthost::PluginInstance& plugin, AudioSource& source, AudioSink& sink,
                           const RenderSettings& settings, ProgressBar& progress);

}  // namespace ruvane::render
