// The control side of the engine: the 48 parameter values and what setting them does
// (delay times, ranges, modes, tempo sync), the tempo, and the requests that the audio
// thread picks up at its next block. Every member may be called from any thread while
// the audio thread processes: values are single atomic stores and loads.
#pragma once

#include <array>
#include <atomic>
#include <optional>

#include "effect/engine/parameter_mapping.h"
#include "effect/engine/parameters.h"

namespace ruvane {

// What the host reported about musical time for one block.
struct HostTime {
    bool tempoValid = false;
    double tempoBpm = 0.0;
    bool positionValid = false;
    double ppqPosition = 0.0;  // in quarter notes
};

// Told when the engine's tempo changes or tempo sync is recomputed (the editor shows it).
class EngineListener {
public:
    virtual void tempoChanged(float bpm) = 0;

protected:
    ~EngineListener() = default;
};

// Bits of the updateTempoSync() and isSyncValueOutOfRange() masks.
enum SyncTarget : int { kSyncLeftDelay = 1, kSyncRightDelay = 2, kSyncLfo = 4, kSyncAll = 7 };

// LFO phase requests posted by wave and offset changes.
enum LfoRequest : int {
    kLfoRestart = 1,  // wave change: main phase 0, left/right at -/+ offset
    kLfoRephase = 2,  // offset change: left/right around the main phase
};

class EngineControls {
public:
    // The construction defaults: unity gains, half mix, 2000 ms on both lines in the
    // 5000 ms range, 3 Hz LFO, cutoff fully open, Vco on, every other switch off, 120 BPM.
    EngineControls();
    EngineControls(const EngineControls&) = delete;
    EngineControls& operator=(const EngineControls&) = delete;

    void setListener(EngineListener* listener) { listener_.store(listener, kRelaxed); }

    // Index 0..47 (others are ignored), value in 0..1: the effect limits what hosts,
    // files and MIDI send before it gets here (normalisedValue).
    void setParameter(int index, float value);
    float getParameter(int index) const;
    float value(int index) const { return values_[static_cast<std::size_t>(index)].load(kRelaxed); }

    // Tempo and sync
    void updateTempoSync(int mask);
    bool isSyncValueOutOfRange(int target) const;
    bool areChannelsLinked() const;
    void setTempoNormalised(float normalised);  // 0..1, limited by the effect
    float getTempoNormalised() const { return tempoNormalised_.load(kRelaxed); }
    float tempoBpm() const { return tempoBpm_.load(kRelaxed); }
    // A tempo the host reports while playing: taken when valid, in 30..400 BPM and new.
    void followHostTempo(const HostTime& time);
    // A tempo the host reports at resume: a valid one is limited to 30..400 BPM.
    void adoptHostTempo(const HostTime& time);

    // Engine quantities the host texts and the editor show.
    float sampleRate() const { return sampleRate_.load(kRelaxed); }
    float lfoRateHz() const;                      // the rate in use: free or synchronised
    float cutoffHz() const { return mapping::cutoffHz(value(kFltCutoff), sampleRate()); }  // set, unsmoothed
    float delayTimeMs(int line) const { return line == 0 || line == 1 ? delayMs_[line].load(kRelaxed) : 0.0f; }

    // For the audio side.
    void setSampleRate(float rate) { sampleRate_.store(rate, kRelaxed); }
    // True once per delay-time change posted since the last call.
    bool takeTimeChangeRequest(int line);
    void dropTimeChangeRequests();
    // The LfoRequest bits posted since the last call.
    int takeLfoRequests();

private:
    static constexpr auto kRelaxed = std::memory_order_relaxed;

    void store(int index, float v) { values_[static_cast<std::size_t>(index)].store(v, kRelaxed); }
    void storeTempo(float bpm, float normalised);
    void setDelayTime(int line, float ms);
    void setLineTime(int line, float v);
    void setLineRange(int line, float v);
    void setLineMode(int line, float v);
    // The synchronised values the tables and the tempo ask for, before their limits.
    float idealSyncedDelayMs(int line, float bpm) const;
    float idealSyncedLfoRateHz(float bpm) const;

    std::array<std::atomic<float>, kNumSoundParameters> values_{};
    std::array<std::atomic<float>, 2> delayMs_{};
    std::array<std::atomic<bool>, 2> timeChangeRequested_{};
    std::atomic<int> lfoRequests_{0};
    std::atomic<float> tempoBpm_{kDefaultTempoBpm};
    std::atomic<float> tempoNormalised_{mapping::normalisedFromTempo(kDefaultTempoBpm)};
    std::atomic<float> syncedLfoRateHz_{1.0f};
    std::atomic<float> sampleRate_{kDefaultSampleRate};
    std::atomic<EngineListener*> listener_{nullptr};
};

}  // namespace ruvane
