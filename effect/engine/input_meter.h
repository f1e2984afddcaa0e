// The input meters: the gained input passes a ring as long as the host's output latency,
// so the meter shows what is being heard; the peak magnitude per channel is collected for
// the editor, which takes it from another thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace ruvane {

// Largest input magnitudes per channel since the last query.
struct InputPeaks {
    float left = 0.0f;
    float right = 0.0f;
};

class InputMeter {
public:
    // Reallocates the rings (zeroed) for a new delay in samples; the position restarts.
    void setLength(int samples);
    int length() const { return static_cast<int>(left_.size()); }
    // Zeroes the rings and the peaks.
    void reset();

    // One sample: writes the pair, advances, and reads the pair `length - 1` samples old.
    void process(float left, float right) { run(&left, &right, 1); }
    // frames samples of process(). Position and peaks run in locals: the ring stores
    // could otherwise alias them and chain every sample to the one before through memory.
    void run(const float* left, const float* right, int frames) {
        float* const ringLeft = left_.data();
        float* const ringRight = right_.data();
        const int length = this->length();
        int position = position_;
        float peakLeft = blockPeakLeft_, peakRight = blockPeakRight_;
        for (int n = 0; n < frames; ++n) {
            ringLeft[position] = left[n];
            ringRight[position] = right[n];
            if (++position == length) position = 0;
            peakLeft = std::max(peakLeft, std::fabs(ringLeft[position]));
            peakRight = std::max(peakRight, std::fabs(ringRight[position]));
        }
        position_ = position;
        blockPeakLeft_ = peakLeft;
        blockPeakRight_ = peakRight;
    }
    // Merges the block's peaks into the shared ones (audio thread, once per block).
    void publish();
    // The largest magnitudes since the last call; resets them (any thread).
    float takeLeft() { return peakLeft_.exchange(0.0f, std::memory_order_relaxed); }
    float takeRight() { return peakRight_.exchange(0.0f, std::memory_order_relaxed); }

    int position() const { return position_; }

private:
    static void raise(std::atomic<float>& peak, float value);

    std::vector<float> left_ = std::vector<float>(1, 0.0f);
    std::vector<float> right_ = std::vector<float>(1, 0.0f);
    int position_ = 0;
    float blockPeakLeft_ = 0.0f;
    float blockPeakRight_ = 0.0f;
    std::atomic<float> peakLeft_{0.0f};
    std::atomic<float> peakRight_{0.0f};
};

}  // namespace ruvane
