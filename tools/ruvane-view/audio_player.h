// Plays a looping test phrase through the plug-in's processReplacing on a thread of
// its own, paced like a sound card, so meters and time-based effects run as in a host.
// Nothing is output. Everything the thread touches is made before it starts.
// Parameter changes posted from another thread reach the plug-in's setParameter on the
// audio thread, before the next block, as a host's automation does.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
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

    // One thread posts (the host's), the audio thread applies. False when kMaxPending
    // changes wait already; nothing is dropped then, the caller tries again.
    static constexpr std::size_t kMaxPending = 64;
    bool postParameter(int32_t index, float value);
    // Every posted change has reached setParameter.
    bool parameterChangesApplied() const {
        return applied_.load(std::memory_order_acquire) == posted_.load(std::memory_order_relaxed);
    }

private:
    struct ParameterChange {
        int32_t index = 0;
        float value = 0.0f;
    };

    void run();
    void applyParameterChanges();

    vsthost::PluginInstance& plugin_;
    double sampleRate_;
    std::vector<float> loopLeft_, loopRight_;
    std::vector<float> inLeft_, inRight_, outLeft_, outRight_;
    std::atomic<bool> running_{false};
    std::atomic<long> blocks_{0};
    std::atomic<float> peak_{0.0f};
    // A ring of changes: slots [applied, posted) wait for the audio thread. The counters
    // only grow; the slot of change n is n % kMaxPending.
    std::array<ParameterChange, kMaxPending> changes_{};
    std::atomic<uint64_t> posted_{0};
    std::atomic<uint64_t> applied_{0};
    std::thread thread_;
};

}  // namespace ruvane::view
