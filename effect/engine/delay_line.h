// One delay line: a circular buffer of 5 s + 1 sample with a write and a read position,
// and the click-free time change: on a new time the output fades out (60 dB in 100 ms),
// the read position jumps at the bottom of the fade, and the output fades back in.
#pragma once

#include <algorithm>
#include <vector>

namespace ruvane {

class DelayLine {
public:
    static constexpr float kMaxSeconds = 5.0f;
    static constexpr float kFadeFloor = 0.001f;  // -60 dB: where the jump happens

    // Allocates 5 * sampleRate + 1 samples (zeroed), both positions at the buffer start.
    void setSampleRate(float sampleRate);
    // Zeroes the buffer; positions and fade stay.
    void clear();

    int length() const { return length_; }
    // Samples for a time in ms at the line's rate (truncated, limited to the buffer).
    int distanceFor(float timeMs) const;
    // Puts the read position distance samples behind the write position.
    void setDistance(int distance);
    int distance() const;

    // Plain delay: write, read (a distance of 0 reads what was just written), advance.
    float process(float input) {
        data_[write_] = input;
        const float output = data_[read_];
        advance();
        return output;
    }
    // One clock of the clocked delay: write at the write position, read at the read
    // position, advance both.
    float clock(float input) { return process(input); }

    // frames samples read at the read position, which advances; the write position stays.
    // With the read position at least frames behind the write position, this and a
    // writeBlock() of the same frames give what frames calls of process() give.
    // (frames at most the buffer's length; copied in at most two pieces around the wrap.)
    void readBlock(float* out, int frames) {
        const int first = std::min(frames, length_ - read_);
        std::copy_n(data_ + read_, first, out);
        std::copy_n(data_, frames - first, out + first);
        read_ = frames - first > 0 ? frames - first : read_ + first;
        if (read_ == length_) read_ = 0;
    }
    // frames samples written at the write position, which advances.
    void writeBlock(const float* in, int frames) {
        const int first = std::min(frames, length_ - write_);
        std::copy_n(in, first, data_ + write_);
        std::copy_n(in + first, frames - first, data_);
        write_ = frames - first > 0 ? frames - first : write_ + first;
        if (write_ == length_) write_ = 0;
    }

    // Starts (or prolongs) a fade-out towards a jump to a new time.
    void startTimeChange() { timeChanged_ = true; }
    // One sample of the fade: returns the gain for this sample's output. At the bottom of
    // the fade the read position moves to newDistance behind the write position.
    float fade(int newDistance) {
        if (timeChanged_) {
            fadeGain_ *= fadeFall_;
            if (fadeGain_ <= kFadeFloor) {
                timeChanged_ = false;
                setDistance(newDistance);
            }
        } else if (fadeGain_ < 1.0f) {
            fadeGain_ *= fadeRise_;
            if (fadeGain_ > 1.0f) fadeGain_ = 1.0f;
        }
        return fadeGain_;
    }
    // Fade gain 1, no time change pending.
    void settleFade() {
        fadeGain_ = 1.0f;
        timeChanged_ = false;
    }
    bool timeChangePending() const { return timeChanged_; }
    // No fade under way: fade() returns 1 until the next time change.
    bool fadeSettled() const { return !timeChanged_ && fadeGain_ == 1.0f; }
    float fadeGain() const { return fadeGain_; }
    float fadeCoefficient() const { return fadeFall_; }

private:
    void advance() {
        if (++write_ == length_) write_ = 0;
        if (++read_ == length_) read_ = 0;
    }

    std::vector<float> buffer_;
    float* data_ = nullptr;  // buffer_.data() and its size, at hand for the loop
    int length_ = 0;
    float sampleRate_ = 0.0f;
    int write_ = 0;
    int read_ = 0;
    float fadeGain_ = 1.0f;
    float fadeFall_ = 1.0f;  // c = 0.001^(10 / sampleRate)
    float fadeRise_ = 1.0f;  // 1 / c
    bool timeChanged_ = false;
};

}  // namespace ruvane
