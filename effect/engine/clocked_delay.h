// The "Vco": a bucket-brigade style delay. The delay line is clocked at rate r per
// input sample (r = 2 halves the delay, r = 0.5 doubles it, and a change of r bends the
// pitch of what is in the line). At each clock tick the input is sampled between input
// samples by Catmull-Rom interpolation; the output is interpolated the same way between
// the samples read at the ticks.
#pragma once

#include <algorithm>

#include "effect/engine/delay_line.h"
#include "effect/engine/dsp_math.h"

namespace ruvane {

// The Catmull-Rom polynomial between p1 and p2, with its coefficients halved (exactly)
// so the value needs no final 0.5; evaluated in Estrin's order for a short chain in t.
struct CatmullRom {
    float p1, half1, half2, half3;
    CatmullRom(float p0, float p1In, float p2, float p3)
        : p1(p1In),
          half1(0.5f * (p2 - p0)),
          half2(0.5f * (2.0f * p0 - 5.0f * p1In + 4.0f * p2 - p3)),
          half3(0.5f * (3.0f * p1In - p0 - 3.0f * p2 + p3)) {}
    // The value at position t (0..1).
    float at(float t) const { return (p1 + t * half1) + (t * t) * (half2 + t * half3); }
};

// Catmull-Rom value at position t (0..1) between p1 and p2.
inline float catmullRom(float p0, float p1, float p2, float p3, float t) { return CatmullRom(p0, p1, p2, p3).at(t); }

class ClockedDelay {
public:
    // Clears the histories; rate 1, phase 0.
    void reset();

    // Both histories keep their samples flushed with this offset (values below about 6e-21
    // become 0): the interpolation multiplies them by powers of a position that can be as
    // small as 1e-8, and a decaying tail would otherwise give subnormal products.
    static constexpr float kHistoryFlushOffset = 1e-13f;

    // Shifts one line input into the input history (every sample, Vco on or not).
    void pushInput(float input) {
        x_[0] = x_[1];
        x_[1] = x_[2];
        x_[2] = x_[3];
        x_[3] = flush(input, kHistoryFlushOffset);
    }

    // The engine's rates lie within 1/8..8; anything outside the wider band below (or NaN)
    // is limited to it so a sample never runs more than a handful of ticks.
    static constexpr float kMinRate = 1.0f / 16.0f;
    static constexpr float kMaxRate = 16.0f;

    // One input sample at clock rate `rate`: runs the ticks that fall into this sample on
    // the line and returns the interpolated output.
    float process(DelayLine& line, float rate) {
        if (!(rate >= kMinRate)) rate = kMinRate;
        if (rate > kMaxRate) rate = kMaxRate;
        // Keep the time to the next tick across a rate change. A jump of the rate so large
        // that the tick would lie more than a clock period ahead starts the period anew.
        // (The phase accumulates, so its rounding would turn into a drift of the delay
        // time: it is computed in exactly this order.)
        const float inverseRate = 1.0f / rate;
        float t = 1.0f - (1.0f - phase_) * rate * inversePreviousRate_;
        t = std::max(t, 0.0f);
        previousRate_ = rate;
        inversePreviousRate_ = inverseRate;
        float p = t + rate;
        if (p >= 1.0f) {
            // The input polynomial between x1 and x2 is the same for every tick of this sample.
            const CatmullRom input(x_[0], x_[1], x_[2], x_[3]);
            float u = 1.0f - t;
            do {
                p -= 1.0f;
                y_[0] = y_[1];
                y_[1] = y_[2];
                y_[2] = y_[3];
                y_[3] = flush(line.clock(input.at(u * inverseRate)), kHistoryFlushOffset);  // the tick's place between x1 and x2
                u += 1.0f;
            } while (p >= 1.0f);
        }
        phase_ = p;
        return catmullRom(y_[0], y_[1], y_[2], y_[3], p);
    }

    float rate() const { return previousRate_; }
    float phase() const { return phase_; }

private:
    float x_[4] = {};
    float y_[4] = {};
    float previousRate_ = 1.0f;
    float inversePreviousRate_ = 1.0f;
    float phase_ = 0.0f;
};

}  // namespace ruvane
