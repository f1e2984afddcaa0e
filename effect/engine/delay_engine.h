// The whole sound engine of the effect: parameter mapping, the two delay lines with
// feedback, the clocked "Vco" delay, modulation, filter, drive and reverb. Plain C++:
// it knows nothing of VST or of the editor, and takes no lock itself. Its owner
// serialises process(), resume(), suspend() and reverb-type changes (index 38);
// every other setParameter() may run on another thread while process() runs.
#pragma once

#include <cstddef>

namespace ruvane {

// What the host reported about musical time for one block.
struct HostTime {
    bool tempoValid = false;
    double tempoBpm = 0.0;
    bool positionValid = false;
    double ppqPosition = 0.0;  // in quarter notes
};

struct InputPeaks {
    float left = 0.0f;
    float right = 0.0f;
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

class DelayEngineImpl;

class DelayEngine {
public:
    // Builds the engine for 44100 Hz with a 1024-sample meter delay, spring reverb,
    // the construction defaults, and settles it as suspend() does.
    DelayEngine();
    ~DelayEngine();
    DelayEngine(const DelayEngine&) = delete;
    DelayEngine& operator=(const DelayEngine&) = delete;

    void setListener(EngineListener* listener);

    // Index 0..47; values are used as given after NaN is ignored and the rest is
    // limited to 0..1. Index 38 (reverb type) must be called with the owner's lock held.
    void setParameter(int index, float value);
    float getParameter(int index) const;

    // Adopts the host's sample rate (out of 4096..200000 -> 44100) and output latency
    // (out of 1..44100 -> 1024), clamps a valid host tempo into 30..400 BPM, and clears
    // the audio state. May allocate.
    void resume(double hostSampleRate, int hostOutputLatency, const HostTime& time);
    void suspend();

    // One block. inRight may equal inLeft (mono input); outRight null means mono output:
    // outLeft then receives 0.5 (L + R). frames 0 runs only the block-start steps.
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                 const HostTime& time);

    // Largest magnitudes seen by the input meters since the last call; resets them.
    InputPeaks takeInputPeaks();

    // Tempo and sync
    void updateTempoSync(int mask);
    bool isSyncValueOutOfRange(int target) const;
    bool areChannelsLinked() const;
    void setTempoNormalised(float normalised);
    float getTempoNormalised() const;
    float tempoBpm() const;

    // Engine quantities the host texts and the editor show.
    float sampleRate() const;
    float lfoRateHz() const;       // the rate in use: free or synchronised
    float cutoffHz() const;        // the set cutoff, before smoothing and modulation
    float delayTimeMs(int line) const;  // line 0 left, 1 right

    // Bytes of audio buffers held (delay lines, reverb, meters).
    std::size_t bufferBytes() const;

private:
    DelayEngineImpl* impl;
};

}  // namespace ruvane
