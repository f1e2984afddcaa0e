#include "effect/engine/delay_engine.h"

namespace ruvane {

DelayEngine::DelayEngine() {
    path_.setSampleRate(kDefaultSampleRate, *this);
    setSampleRate(kDefaultSampleRate);
    suspend();
}

void DelayEngine::resume(double hostSampleRate, int hostOutputLatency, const HostTime& time) {
    const float rate = hostSampleRate >= kMinSampleRate && hostSampleRate <= kMaxSampleRate
                           ? static_cast<float>(hostSampleRate)
                           : kDefaultSampleRate;
    if (rate != path_.sampleRate()) {
        setSampleRate(rate);
        path_.setSampleRate(rate, *this);
    }
    const int latency = hostOutputLatency >= kMinMeterDelay && hostOutputLatency <= kMaxMeterDelay
                            ? hostOutputLatency
                            : kDefaultMeterDelay;
    if (latency != path_.meterDelay()) path_.setMeterDelay(latency);
    adoptHostTempo(time);
    path_.clear(*this);
}

void DelayEngine::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                          const HostTime& time) {
    followHostTempo(time);
    path_.beginBlock(*this, time);
    if (frames <= 0 || inLeft == nullptr || outLeft == nullptr) return;
    path_.run(inLeft, inRight != nullptr ? inRight : inLeft, outLeft, outRight, frames);
}

}  // namespace ruvane
