// Peak and RMS of everything written, over all written channels.
#pragma once

#include <cmath>
#include <cstdint>

#include "tools/ruvane-render/audio_stream.h"

namespace ruvane::render {

// Passes audio on to another sink and measures it on the way.
class MeteringSink : public AudioSink {
public:
    MeteringSink(AudioSink& next, bool mono) : next_(next), mono_(mono) {}

    void write(const float* left, const float* right, size_t frames) override {
        for (size_t i = 0; i < frames; ++i) {
            if (mono_) {
                measure(0.5 * (static_cast<double>(left[i]) + right[i]));
            } else {
                measure(left[i]);
                measure(right[i]);
            }
        }
        frames_ += static_cast<int64_t>(frames);
        next_.write(left, right, frames);
    }

    int64_t frames() const { return frames_; }
    double peak() const { return peak_; }
    double rms() const { return samples_ > 0 ? std::sqrt(sumOfSquares_ / static_cast<double>(samples_)) : 0.0; }

private:
    void measure(double sample) {
        peak_ = std::fmax(peak_, std::fabs(sample));
        sumOfSquares_ += sample * sample;
        ++samples_;
    }

    AudioSink& next_;
    bool mono_;
    int64_t frames_ = 0;
    int64_t samples_ = 0;
    double peak_ = 0.0;
    double sumOfSquares_ = 0.0;
};

// Full scale is 0 dBFS; silence is reported as -inf.
inline double toDecibels(double level) { return level > 0.0 ? 20.0 * std::log10(level) : -INFINITY; }

}  // namespace ruvane::render
