// The small stereo reverb with two characters, spring and plate: the pair is summed
// to mono, diffused through allpass networks with damping low-passes, band-passed and
// crossfaded in by the amount.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace ruvane {

class Reverb {
public:
    enum class Type { Spring, Plate };

    // The 16 delay buffers: A0..A5 (spring only), C0..C5, D0..D3.
    enum Buffer : int { A0, A1, A2, A3, A4, A5, C0, C1, C2, C3, C4, C5, D0, D1, D2, D3, kBufferCount };

    Reverb();

    // Allocates the 16 buffers for the rate and re-applies the type. Not real-time safe.
    void setSampleRate(float sampleRate);
    // New taps and band-pass for the type; the buffer contents are kept.
    void setType(Type type);
    // "Rvb Damp" (0..1): decay, diffusion and damping. May run while process() runs.
    void setDamp(float damp);
    // "Rvb Amt" (0..1): linear crossfade from the input to the reverb. May run while process() runs.
    void setAmount(float amount);
    // Zeroes the buffers, the low-pass states and the band-pass states; indices stay.
    void reset();
    // frames samples in place; the caller has added its denormal guard to the input.
    void process(float* left, float* right, int frames);
    // One sample in place.
    void process(float& left, float& right) { process(&left, &right, 1); }

    std::size_t bufferBytes() const;

    // Inspection (tests, editor texts).
    Type type() const { return type_.load(std::memory_order_relaxed); }
    std::uint32_t mask() const { return mask_; }
    // How many samples a buffer's read position lags its write position.
    std::uint32_t tapDistance(Buffer buffer) const { return distance_[buffer]; }

private:
    // Samples are processed in runs during which no buffer index wraps.
    static constexpr int kMaxRun = 64;
    struct Run;
    Run startRun(int frames) const;

    void applyType();
    void applyDamp();
    void runSpring(const float* in, float* wetLeft, float* wetRight, const Run& run);
    void runPlate(const float* in, float* wetLeft, float* wetRight, const Run& run);

    // Band-pass state of one channel (b1 = 0, b2 = -b0).
    struct BandPassState {
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };

    float sampleRate_ = 0.0f;
    std::uint32_t mask_ = 0;
    std::uint32_t write_ = 0;  // every write index moves in step, so one is enough
    std::uint32_t distance_[kBufferCount] = {};
    int runLimit_ = kMaxRun;  // the longest run the type's processing allows
    std::unique_ptr<float[]> storage_;
    std::size_t storageFloats_ = 0;
    float* buffer_[kBufferCount] = {};

    static constexpr int kLowPasses = 6;  // one per C buffer
    std::array<float, kLowPasses> lowPass_{};
    BandPassState bandLeft_, bandRight_;
    float b0_ = 0.0f, a1_ = 0.0f, a2_ = 0.0f;
    float outScale_ = 0.0f;  // k

    // Written by setType/setDamp/setAmount, read by process().
    std::atomic<Type> type_{Type::Spring};
    std::atomic<float> damp_{0.0f};
    std::atomic<float> amount_{0.0f};
    std::atomic<float> lp_{0.0f};
    // Spring: g1, g2 and g1 scaled for the second and third recirculating pairs.
    std::atomic<float> g1_{0.0f}, g2_{0.0f}, g1Mid_{0.0f}, g1Low_{0.0f};
    // Plate: G = 0.7 g2 (input diffusion), G' = 0.7 g1 (tank allpasses).
    std::atomic<float> diffusion_{0.0f}, tank_{0.0f};
};

}  // namespace ruvane
