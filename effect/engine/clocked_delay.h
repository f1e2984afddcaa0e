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
    void pushInput(float input) { pushUnflushed(flush(input, kHistoryFlushOffset)); }
    // The same while the Vco is off: nothing interpolates the history then, and within
    // four samples of switching it on the flushed values have replaced these.
    void pushUnflushed(float input) {
        x_[0] = x_[1];
        x_[1] = x_[2];
        x_[2] = x_[3];
        x_[3] = input;
    }

    // The engine's rates lie within 1/8..8; anything outside the wider band below (or NaN)
    // is limited to it so a sample never runs more than a handful of ticks.
    static constexpr float kMinRate = 1.0f / 16.0f;
    static constexpr float kMaxRate = 16.0f;

    // One input sample at clock rate `rate`: runs the ticks that fall into this sample on
    // the line and returns the interpolated output.
    float process(DelayLine& line, float rate) {
        if (rate == 1.0f && atNaturalClock()) return processAtNaturalClock(line);
        return processAtRate(line, rate);
    }
    // process() without the shortcut at the natural clock.
    float processAtRate(DelayLine& line, float rate) {
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
                // u / rate: the tick's place between x1 and x2.
                y_[3] = flush(line.clock(input.at(u * inverseRate)), kHistoryFlushOffset);
                u += 1.0f;
            } while (p >= 1.0f);
        }
        phase_ = p;
        return catmullRom(y_[0], y_[1], y_[2], y_[3], p);
    }

    // At rate 1 the phase settles within a sample or two on a value that the arithmetic
    // of process() maps onto itself: every sample then runs exactly one tick, at the same
    // place between the input samples, and reads the output at the same place between the
    // ticks. The clocked delay is a fixed fractional delay with constant weights, and the
    // line a plain delay that can run block-wise, as long as no read of a block reaches a
    // sample written in it (the read position at least the block behind the write
    // position). While the rate is 1 and the phase at such a value:
    bool atNaturalClock() const {
        if (previousRate_ != 1.0f) return false;
        const float t = 1.0f - (1.0f - phase_);  // process() at rate 1, in its order
        return t == phase_ && (t + 1.0f) - 1.0f == phase_;
    }
    // process() at rate 1 while atNaturalClock(), without the arithmetic that comes to
    // nothing there. The tick lies at 1 - phase between x1 and x2.
    float processAtNaturalClock(DelayLine& line) {
        y_[0] = y_[1];
        y_[1] = y_[2];
        y_[2] = y_[3];
        y_[3] = flush(line.clock(CatmullRom(x_[0], x_[1], x_[2], x_[3]).at(1.0f - phase_)), kHistoryFlushOffset);
        return catmullRom(y_[0], y_[1], y_[2], y_[3], phase_);
    }

    // Runs of at most this length:
    static constexpr int kMaxNaturalRun = 64;
    // First half of a natural-clock run: the outputs processAtNaturalClock() would return
    // for the next frames samples, read ahead of the samples that feed the line.
    void readNaturalRun(DelayLine& line, float* out, int frames) {
        // The four reads in the history, then the block's: after sample n's tick the
        // history holds reads n + 1 .. n + 4.
        float reads[kMaxNaturalRun + 4];
        std::copy_n(y_, 4, reads);
        line.readBlock(reads + 4, frames);
        for (int n = 4; n < frames + 4; ++n) reads[n] = flush(reads[n], kHistoryFlushOffset);
        if (phase_ == 0.0f) {
            // On the tick the output is y1 itself (the polynomial at 0 adds only zeros).
            std::copy_n(reads + 2, frames, out);
        } else {
            for (int n = 0; n < frames; ++n)
                out[n] = catmullRom(reads[n + 1], reads[n + 2], reads[n + 3], reads[n + 4], phase_);
        }
        std::copy_n(reads + frames, 4, y_);
    }
    // Second half: the line inputs of the same frames samples make the block's ticks.
    void writeNaturalRun(DelayLine& line, const float* inputs, int frames) {
        float history[kMaxNaturalRun + 4];
        float ticks[kMaxNaturalRun];
        std::copy_n(x_, 4, history);
        for (int n = 0; n < frames; ++n) history[n + 4] = flush(inputs[n], kHistoryFlushOffset);
        const float tick = 1.0f - phase_;
        for (int n = 0; n < frames; ++n)
            ticks[n] = CatmullRom(history[n + 1], history[n + 2], history[n + 3], history[n + 4]).at(tick);
        line.writeBlock(ticks, frames);
        std::copy_n(history + frames, 4, x_);
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
