#include "effect/engine/delay_line.h"

#include <algorithm>
#include <cmath>

namespace ruvane {

void DelayLine::setSampleRate(float sampleRate) {
    sampleRate_ = sampleRate;
    const int length = static_cast<int>(kMaxSeconds * sampleRate) + 1;
    buffer_.assign(static_cast<std::size_t>(length), 0.0f);
    data_ = buffer_.data();
    length_ = length;
    write_ = 0;
    read_ = 0;
    fadeFall_ = std::pow(kFadeFloor, 10.0f / sampleRate);
    fadeRise_ = 1.0f / fadeFall_;
}

void DelayLine::clear() { std::fill(buffer_.begin(), buffer_.end(), 0.0f); }

int DelayLine::distanceFor(float timeMs) const {
    const float samples = timeMs * sampleRate_ / 1000.0f;
    if (!(samples > 0.0f)) return 0;
    const int limit = length() - 1;
    return samples >= static_cast<float>(limit) ? limit : static_cast<int>(samples);
}

void DelayLine::setDistance(int distance) {
    distance = std::clamp(distance, 0, length() - 1);
    read_ = write_ - distance;
    if (read_ < 0) read_ += length();
}

int DelayLine::distance() const {
    const int d = write_ - read_;
    return d < 0 ? d + length() : d;
}

}  // namespace ruvane
