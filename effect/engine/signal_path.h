// The audio side of the engine: every processing unit and its state, and the per-sample
// loop that runs them in the designed order. Touched only by the thread that processes
// (and by resume/suspend under the owner's lock).
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <optional>

#include "effect/engine/anti_alias_filter.h"
#include "effect/engine/block_settings.h"
#include "effect/engine/clocked_delay.h"
#include "effect/engine/delay_line.h"
#include "effect/engine/drive.h"
#include "effect/engine/dsp_math.h"
#include "effect/engine/engine_controls.h"
#include "effect/engine/envelope_follower.h"
#include "effect/engine/input_meter.h"
#include "effect/engine/lfo.h"
#include "effect/engine/reverb.h"
#include "effect/engine/smoother.h"
#include "effect/engine/state_variable_filter.h"

namespace ruvane {

class SignalPath {
public:
    // Buffers for 44100 Hz and a 1024-sample meter delay, spring reverb.
    SignalPath();
    SignalPath(const SignalPath&) = delete;
    SignalPath& operator=(const SignalPath&) = delete;

    // Reallocates what depends on the rate and places the read positions. May allocate.
    void setSampleRate(float rate, EngineControls& controls);
    float sampleRate() const { return sampleRate_; }
    // Reallocates the meter rings. May allocate.
    void setMeterDelay(int samples) { meter_.setLength(samples); }
    int meterDelay() const { return meter_.length(); }

    // Smoothers at their targets, fades settled, read positions placed, state cleared.
    void settle(EngineControls& controls);
    // Zeroes every buffer and state of the signal (designed as clearAudioState).
    void clear(EngineControls& controls);

    // The block start: drive sums, controls, random-LFO trigger, cutoff limit.
    void beginBlock(EngineControls& controls, const HostTime& time);
    // One block after beginBlock. inRight may equal inLeft; outRight null means mono output.
    void run(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);

    InputPeaks takeInputPeaks() { return {meter_.takeLeft(), meter_.takeRight()}; }
    // Bytes of audio buffers held (delay lines, reverb, meters).
    std::size_t bufferBytes() const;

private:
    // Blocks are processed in chunks of at most this many samples.
    static constexpr int kChunk = 64;
    static constexpr std::size_t kSmootherLanes = SmootherBank<kSmoothedCount>::kLanes;
    template <typename T>
    using PerSample = std::array<T, kChunk>;
    // Per-sample signals of one chunk, passed between its stages.
    struct Scratch {
        alignas(16) PerSample<std::array<float, kSmootherLanes>> smoothed;
        PerSample<float> dryLeft, dryRight;    // after input gain (and the "in" filter)
        PerSample<float> lineLeft, lineRight;  // line inputs before feedback
        PerSample<float> lfoLeft, lfoRight;
        PerSample<float> wetLeft, wetRight;    // wet times mix, then the output pair
        PerSample<float> vcoLeft, vcoRight;    // natural-clock runs: outputs read ahead
        PerSample<float> tickLeft, tickRight;  // natural-clock runs: line inputs
    };
    static_assert(kChunk <= ClockedDelay::kMaxNaturalRun);

    void applyControls(EngineControls& controls);
    void placeReadPositions(EngineControls& controls);
    void armRandomTrigger(const EngineControls& controls, const HostTime& time);
    void runChunk(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);
    // Whether this chunk may run the clocked delay block-wise (see ClockedDelay).
    bool naturalClockRun(int frames) const;
    template <bool NaturalClock>
    void runLoop(int frames);

    float sampleRate_ = 0.0f;
    int windowLength_ = 4;
    float inverseWindowLength_ = 0.25f;
    BlockSettings settings_;
    std::array<int, 2> distance_{0, 0};  // read distances the delay times ask for
    std::array<float, kSmoothedCount> lastSmoothedValue_{};
    float lastEnvelopeSpeedValue_ = -1.0f;
    std::optional<bool> lastPlateReverb_;
    float lastReverbDamp_ = -1.0f;
    float lastReverbAmount_ = -1.0f;

    SmootherBank<kSmoothedCount> smoothers_;
    AlternatingGuard smootherGuard_{kSmootherGuard};
    AlternatingGuard reverbGuard_{kReverbGuard};
    std::array<DelayLine, 2> lines_;
    AntiAliasFilter antiAlias_;
    std::array<ClockedDelay, 2> clocked_;
    std::array<EnvelopeFollower, 2> envelope_;
    StateVariableFilter filter_;
    std::array<float, 2> feedback_{0.0f, 0.0f};  // line outputs for the next sample, before the sign
    FilterCoefficients filterCoefficients_;
    Lfo lfo_;
    Drive drive_;
    InputMeter meter_;
    Reverb reverb_;
    float cutoffFactor_ = 1.0f;
    std::array<float, 2> lastLineInput_{0.0f, 0.0f};
    // exp2 of the manual octaves, kept while they do not change.
    float lastManualOctaves_ = std::numeric_limits<float>::quiet_NaN();
    float manualRate_ = 1.0f;
    Scratch scratch_;
};

}  // namespace ruvane
