#include "tools/ruvane-render/render_loop.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/ruvane-render/interruption.h"
#include "tools/ruvane-render/plugin_loading.h"
#include "tools/ruvane-render/tail_keeper.h"

namespace ruvane::render {

namespace {

int64_t replaceNonFinite(float* samples, size_t count) {
    int64_t replaced = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!std::isfinite(samples[i])) {
            samples[i] = 0.0f;
            ++replaced;
        }
    }
    return replaced;
}

}  // namespace

RenderResult renderThrough(vsthost::PluginInstance& plugin, AudioSource& source, AudioSink& sink,
                           const RenderSettings& settings, ProgressBar& progress) {
    const size_t block = static_cast<size_t>(settings.blockSize);
    const double rate = source.sampleRate();
    std::vector<float> inLeft(block), inRight(block), outLeft(block), outRight(block);
    const bool monoOutput = plugin.effect()->numOutputs < 2;

    TailKeeper tail = settings.tailSeconds
                          ? TailKeeper::fixed(sink, std::llround(*settings.tailSeconds * rate), rate)
                          : TailKeeper::automatic(sink, std::llround(settings.tailCapSeconds * rate),
                                                  std::llround(settings.echoGapSeconds * rate), rate);
    RenderResult result;
    bool inputEnded = false;
    double samplePosition = 0.0;
    while (true) {
        if (interruptingSignal() != 0) {
            result.interrupted = true;
            break;
        }
        size_t fromInput = 0;
        if (!inputEnded) {
            fromInput = source.read(inLeft.data(), inRight.data(), block);
            inputEnded = fromInput < block;
        }
        if (inputEnded && fromInput == 0 && !tail.wantsMore()) break;
        std::fill(inLeft.begin() + static_cast<std::ptrdiff_t>(fromInput), inLeft.end(), 0.0f);
        std::fill(inRight.begin() + static_cast<std::ptrdiff_t>(fromInput), inRight.end(), 0.0f);
        std::fill(outLeft.begin(), outLeft.end(), 0.0f);
        std::fill(outRight.begin(), outRight.end(), 0.0f);

        setTransport(plugin.host(), samplePosition, rate, settings.tempo);
        plugin.process(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(), static_cast<VstInt32>(block));
        samplePosition += static_cast<double>(block);
        if (monoOutput) std::copy(outLeft.begin(), outLeft.end(), outRight.begin());
        result.nonFiniteSamples += replaceNonFinite(outLeft.data(), block) + replaceNonFinite(outRight.data(), block);

        sink.write(outLeft.data(), outRight.data(), fromInput);
        result.inputFrames += static_cast<int64_t>(fromInput);
        const bool more = !inputEnded || tail.offer(outLeft.data() + fromInput, outRight.data() + fromInput,
                                                    block - fromInput);
        progress.update(result.inputFrames, tail.framesOffered());
        if (!more) break;
    }
    result.tailFrames = tail.framesOffered();
    result.tailCut = tail.reachedCap();
    progress.finish();
    return result;
}

}  // namespace ruvane::render
