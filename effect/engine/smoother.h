// The 30 Hz one-pole smoothing of parameter targets:
// state = a * state + (1 - a) * target + guard, a = exp(-2 pi 30 / sampleRate).
#pragma once

#include <array>
#include <cstddef>

#include <xmmintrin.h>

namespace ruvane {

inline constexpr float kSmoothingHz = 30.0f;

// The one-pole coefficient a for the smoothing frequency at a sample rate.
float smoothingCoefficient(float sampleRate);

// One smoothed quantity.
class Smoother {
public:
    void setSampleRate(float sampleRate) { coefficient_ = smoothingCoefficient(sampleRate); }
    void setTarget(float target) { target_ = target; }
    // One sample; guard is this sample's alternating denormal guard (0 for none).
    float process(float guard = 0.0f) {
        state_ = coefficient_ * state_ + (1.0f - coefficient_) * target_ + guard;
        return state_;
    }
    void settle() { state_ = target_; }
    void reset(float value) { state_ = value; }

    float value() const { return state_; }
    float target() const { return target_; }
    float coefficient() const { return coefficient_; }

private:
    float coefficient_ = 0.0f;
    float target_ = 0.0f;
    float state_ = 0.0f;
};

// Several smoothed quantities advanced together (laid out so the update vectorises).
template <std::size_t Count>
class SmootherBank {
public:
    static constexpr std::size_t kLanes = (Count + 3) / 4 * 4;

    void setSampleRate(float sampleRate) {
        coefficient_ = smoothingCoefficient(sampleRate);
        for (std::size_t i = 0; i < kLanes; ++i) scaledTarget_[i] = (1.0f - coefficient_) * target_[i];
    }
    void setTarget(std::size_t lane, float target) {
        target_[lane] = target;
        scaledTarget_[lane] = (1.0f - coefficient_) * target;
    }
    // The guard joins the target before the state, so the recursion is one multiply-add.
    void process(float guard) {
        for (std::size_t i = 0; i < kLanes; ++i) state_[i] = coefficient_ * state_[i] + (scaledTarget_[i] + guard);
    }
    // frames samples at once: out[n] holds every lane after sample n (the same values
    // process() gives); guard supplies each sample's denormal guard in turn.
    // (Written out in four-lane registers: the states stay in registers for the whole run.)
    template <typename Guard>
    void run(int frames, Guard& guard, std::array<float, kLanes>* out) {
        constexpr std::size_t kVectors = kLanes / 4;
        const __m128 coefficient = _mm_set1_ps(coefficient_);
        __m128 state[kVectors], scaled[kVectors];
        for (std::size_t v = 0; v < kVectors; ++v) {
            state[v] = _mm_load_ps(state_.data() + 4 * v);
            scaled[v] = _mm_load_ps(scaledTarget_.data() + 4 * v);
        }
        for (int n = 0; n < frames; ++n) {
            const __m128 g = _mm_set1_ps(guard.next());
            for (std::size_t v = 0; v < kVectors; ++v) {
                state[v] = _mm_add_ps(_mm_mul_ps(coefficient, state[v]), _mm_add_ps(scaled[v], g));
                _mm_storeu_ps(out[n].data() + 4 * v, state[v]);
            }
        }
        for (std::size_t v = 0; v < kVectors; ++v) _mm_store_ps(state_.data() + 4 * v, state[v]);
    }
    void settle() { state_ = target_; }
    void setValue(std::size_t lane, float value) { state_[lane] = value; }

    float value(std::size_t lane) const { return state_[lane]; }
    float target(std::size_t lane) const { return target_[lane]; }
    float coefficient() const { return coefficient_; }

private:
    float coefficient_ = 0.0f;
    alignas(16) std::array<float, kLanes> state_{};
    alignas(16) std::array<float, kLanes> target_{};
    alignas(16) std::array<float, kLanes> scaledTarget_{};
};

}  // namespace ruvane
