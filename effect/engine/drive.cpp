#include "effect/engine/drive.h"

namespace ruvane {

int windowLengthFor(float sampleRate) {
    if (sampleRate <= 25000.0f) return 2;
    if (sampleRate <= 50000.0f) return 4;
    if (sampleRate <= 100000.0f) return 8;
    return 16;
}

void Drive::setWindowLength(int length) {
    length_ = length < 1 ? 1 : (length > kMaxWindow ? kMaxWindow : length);
    lengthFloat_ = static_cast<float>(length_);
    twiceLength_ = 2.0f * lengthFloat_;
    quarterOverLength_ = 0.25f / lengthFloat_;
    position_ = 0;
}

void Drive::reset() {
    ringLeft_.fill(0.0f);
    ringRight_.fill(0.0f);
    sumLeft_ = 0.0f;
    sumRight_ = 0.0f;
}

void Drive::recomputeSums() {
    float left = 0.0f;
    float right = 0.0f;
    for (int i = 0; i < length_; ++i) {
        left += ringLeft_[static_cast<std::size_t>(i)];
        right += ringRight_[static_cast<std::size_t>(i)];
    }
    sumLeft_ = left;
    sumRight_ = right;
}

}  // namespace ruvane
