// Plays a looping test phrase through the plug-in's processReplacing on a thread of
// its own, paced like a sound card, so meters and time-based effects run as in a host.
// Nothing is output. Everything the thread touches is made before it starts.
#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include "vst/host/plugin_host.h"

namespace ruvane::view {

class AudioPlayer {
public:
    static constexpr int kBlockSize = 512;

    // The plug-in must already be started at sampleRate with blocks of kBlockSize.
    AudioPlayer(vsthost::PluginInstance& plugin, double sampleRate, double tempo);
    ~AudioPlayer() { stop(); }
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    void start();
    void stop();
    // Blocks processed so far.
    long blocksPlayed() const { return blocks_.load(std::memory_order_relaxed); }
    // The largest output sample magnitude so far.
    float outputPeak() const { return peak_.load(std::memory_order_relaxed); }

private:
    void run();

    vsthost::PluginInstance& plugin_;
    double sampleRate_;
    std::vector<float> loopLeft_, loopRight_;
    std::vector<float> inLeft_, inRight_, outLeft_, outRight_;
    std::atomic<bool> running_{false};
    std::atomic<long> blocks_{0};
    std::atomic<float> peak_{0.0f};
    std::thread thread_;
};

}  // namespace ruvane::view
