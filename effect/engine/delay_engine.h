// The whole sound engine of the effect: the control side (parameters, tempo, sync; any
// thread) and the signal path (the two delay lines with feedback, the clocked "Vco"
// delay, modulation, filter, drive and reverb). Plain C++: it knows nothing of VST or of
// the editor, and takes no lock itself. Its owner serialises process(), resume() and
// suspend(); every control call may run on another thread while process() runs.
#pragma once

#include <cstddef>

#include "effect/engine/engine_controls.h"
#include "effect/engine/input_meter.h"
#include "effect/engine/signal_path.h"

namespace ruvane {

class DelayEngine : public EngineControls {
public:
    // Builds the engine for 44100 Hz with a 1024-sample meter delay, spring reverb,
    // the construction defaults, and settles it as suspend() does.
    DelayEngine();

    // Adopts the host's sample rate (out of 4096..200000 -> 44100) and output latency
    // (out of 1..44100 -> 1024), clamps a valid host tempo into 30..400 BPM, and clears
    // the audio state. May allocate.
    void resume(double hostSampleRate, int hostOutputLatency, const HostTime& time);
    // Smoothers at their targets, delay-time fades settled, audio state cleared.
    void suspend() { path_.settle(*this); }

    // One block. inRight may equal inLeft (mono input); outRight null means mono output:
    // outLeft then receives 0.5 (L + R). frames 0 runs only the block-start steps.
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                 const HostTime& time);

    // Largest magnitudes seen by the input meters since the last call; resets them.
    InputPeaks takeInputPeaks() { return path_.takeInputPeaks(); }
    // Bytes of audio buffers held (delay lines, reverb, meters).
    std::size_t bufferBytes() const { return path_.bufferBytes(); }

private:
    SignalPath path_;
};

}  // namespace ruvane
