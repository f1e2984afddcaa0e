// The stereo LFO: five waves read from a left and a right phase (radians, -pi..pi) that
// run a stereo offset apart around a main phase. Square and saw are softened by the
// 30 Hz one-pole; the random wave draws four new values per cycle and can be retriggered
// on the host's bar grid.
#pragma once

#include <array>
#include <cstdint>

#include "effect/engine/dsp_math.h"

namespace ruvane {

enum class LfoWave : int { Sine, Square, Triangle, Saw, Random };

// Uniform integers 0..32767 (xorshift32, top 15 bits).
class RandomSource {
public:
    static constexpr std::uint32_t kSeed = 0x2545F491u;
    void reseed(std::uint32_t seed = kSeed) { state_ = seed != 0 ? seed : kSeed; }
    int next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<int>(state_ >> 17);
    }

private:
    std::uint32_t state_ = kSeed;
};

// Wraps a phase into -pi..pi by adding or subtracting 2 pi once.
float wrapPhase(float phase);

class Lfo {
public:
    static constexpr int kSineTableSize = 1000;
    static constexpr float kSineTableScale = 158.99579f;  // entries per radian: 999 / (2 pi)

    Lfo();

    // The 30 Hz smoothing of the square and saw waves.
    void setSampleRate(float sampleRate);
    // Outputs 0, phases 0, -offset, +offset, random accumulator 0, generator reseeded.
    void reset(float offset);
    // On a wave change: main phase 0, left -offset, right +offset.
    void restart(float offset);
    // On an offset change: left main - offset, right main + offset.
    void setOffset(float offset);

    // Random-wave retrigger: countdown in samples of random-wave computation; the
    // accumulator is set to pi/2 on the sample where it reaches 0.
    void armTrigger(int countdown) {
        triggerArmed_ = true;
        countdown_ = countdown;
    }
    void disarmTrigger() { triggerArmed_ = false; }

    // One sample: the wave's values from the current left/right phases, then the phases
    // advance by increment (radians per sample).
    void process(LfoWave wave, float increment) { run(wave, increment, nullptr, nullptr, 1); }

    // frames samples of process(); with left/right given the values go to left[n], right[n].
    void run(LfoWave wave, float increment, float* left, float* right, int frames) {
        switch (wave) {
            case LfoWave::Sine: runWave<LfoWave::Sine>(increment, left, right, frames); break;
            case LfoWave::Square: runWave<LfoWave::Square>(increment, left, right, frames); break;
            case LfoWave::Triangle: runWave<LfoWave::Triangle>(increment, left, right, frames); break;
            case LfoWave::Saw: runWave<LfoWave::Saw>(increment, left, right, frames); break;
            case LfoWave::Random: runWave<LfoWave::Random>(increment, left, right, frames); break;
        }
    }

    float left() const { return left_; }
    float right() const { return right_; }
    float mainPhase() const { return mainPhase_; }
    float leftPhase() const { return leftPhase_; }
    float rightPhase() const { return rightPhase_; }
    float sineTableEntry(int index) const { return sineTable_[static_cast<std::size_t>(index)]; }
    // Sets the three phases directly (tests, and anything that must place the cycle).
    void setPhases(float main, float left, float right) {
        mainPhase_ = main;
        leftPhase_ = left;
        rightPhase_ = right;
    }

private:
    // The wave is fixed for the run, so its choice is made once; the phases and values
    // stay in locals meanwhile.
    template <LfoWave Wave>
    void runWave(float increment, float* left, float* right, int frames) {
        float main = mainPhase_, leftPhase = leftPhase_, rightPhase = rightPhase_;
        float l = left_, r = right_;
        for (int n = 0; n < frames; ++n) {
            if constexpr (Wave == LfoWave::Sine) {
                l = sine(leftPhase);
                r = sine(rightPhase);
            } else if constexpr (Wave == LfoWave::Square) {
                l = smooth(l, leftPhase > 0.0f ? 1.0f : -1.0f);
                r = smooth(r, rightPhase > 0.0f ? 1.0f : -1.0f);
            } else if constexpr (Wave == LfoWave::Triangle) {
                l = triangle(leftPhase);
                r = triangle(rightPhase);
            } else if constexpr (Wave == LfoWave::Saw) {
                l = smooth(l, leftPhase * (1.0f / kPi));
                r = smooth(r, rightPhase * (1.0f / kPi));
            } else {
                random(increment, leftPhase == rightPhase, l, r);
            }
            main = advance(main, increment);
            leftPhase = advance(leftPhase, increment);
            rightPhase = advance(rightPhase, increment);
            if (left != nullptr) {
                left[n] = l;
                right[n] = r;
            }
        }
        mainPhase_ = main;
        leftPhase_ = leftPhase;
        rightPhase_ = rightPhase;
        left_ = l;
        right_ = r;
    }

    float sine(float phase) const {
        int index = static_cast<int>((phase + kPi) * kSineTableScale);
        if (index < 0) index = 0;
        if (index > kSineTableSize - 1) index = kSineTableSize - 1;
        return sineTable_[static_cast<std::size_t>(index)];
    }
    static float triangle(float phase) {
        const float t = phase * (1.0f / kHalfPi);
        if (phase > kHalfPi) return 2.0f - t;
        if (phase < -kHalfPi) return -t - 2.0f;
        return t;
    }
    float smooth(float previous, float value) const { return smoothing_ * previous + (1.0f - smoothing_) * value; }
    static float advance(float phase, float increment) {
        phase += increment;
        if (phase > kPi) phase -= kTwoPi;
        return phase;
    }
    void random(float increment, bool samePhases, float& left, float& right) {
        if (triggerArmed_ && --countdown_ == 0) accumulator_ = kHalfPi;
        if (accumulator_ >= kHalfPi) {
            accumulator_ -= kHalfPi;
            left = draw();
            right = samePhases ? left : draw();
        }
        accumulator_ += increment;
    }
    float draw() { return 2.0f * static_cast<float>(generator_.next()) / 32767.0f - 1.0f; }

    std::array<float, kSineTableSize> sineTable_{};
    float smoothing_ = 0.0f;
    float mainPhase_ = 0.0f;
    float leftPhase_ = 0.0f;
    float rightPhase_ = 0.0f;
    float left_ = 0.0f;
    float right_ = 0.0f;
    float accumulator_ = 0.0f;
    bool triggerArmed_ = false;
    int countdown_ = 0;
    RandomSource generator_;
};

}  // namespace ruvane
