// The drive stage on the two delay-line inputs: a short moving average (N samples) of
// drive x magnitude sets a gain of 1 - A/4 up to A = 2 and 1/A beyond, a soft curve into
// a ceiling of 1/drive.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace ruvane {

// Window length N by sample rate: 2 up to 25 kHz, 4 up to 50 kHz, 8 up to 100 kHz, else 16.
int windowLengthFor(float sampleRate);

class Drive {
public:
    static constexpr int kMaxWindow = 16;

    // New window length; the ring position restarts.
    void setWindowLength(int length);
    // Zeroes rings and sums.
    void reset();
    // Recomputes each running sum from its ring, so float error cannot build up.
    void recomputeSums();

    // One sample: updates the windows with drive x |input|; when on, scales the inputs.
    void process(float& left, float& right, float drive, bool on) {
        const float magnitudeLeft = drive * std::fabs(left);
        const float magnitudeRight = drive * std::fabs(right);
        sumLeft_ = sumLeft_ - ringLeft_[position_] + magnitudeLeft;
        sumRight_ = sumRight_ - ringRight_[position_] + magnitudeRight;
        ringLeft_[position_] = magnitudeLeft;
        ringRight_[position_] = magnitudeRight;
        if (++position_ == length_) position_ = 0;
        if (on) {
            left *= gainFor(sumLeft_);
            right *= gainFor(sumRight_);
        }
    }

    int windowLength() const { return length_; }
    float sumLeft() const { return sumLeft_; }
    float sumRight() const { return sumRight_; }

private:
    // 1 - S/(4N) while S <= 2N, else N/S (both computed, so the choice needs no branch).
    float gainFor(float sum) const {
        const float soft = 1.0f - sum * quarterOverLength_;
        const float hard = lengthFloat_ / std::max(sum, twiceLength_);
        return sum <= twiceLength_ ? soft : hard;
    }

    std::array<float, kMaxWindow> ringLeft_{};
    std::array<float, kMaxWindow> ringRight_{};
    float sumLeft_ = 0.0f;
    float sumRight_ = 0.0f;
    int position_ = 0;
    int length_ = 2;
    float lengthFloat_ = 2.0f;
    float twiceLength_ = 4.0f;
    float quarterOverLength_ = 0.125f;
};

}  // namespace ruvane
