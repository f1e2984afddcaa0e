#include "effect/engine/input_meter.h"

#include <algorithm>

namespace ruvane {

void InputMeter::setLength(int samples) {
    const auto length = static_cast<std::size_t>(samples < 1 ? 1 : samples);
    left_.assign(length, 0.0f);
    right_.assign(length, 0.0f);
    position_ = 0;
}

void InputMeter::reset() {
    std::fill(left_.begin(), left_.end(), 0.0f);
    std::fill(right_.begin(), right_.end(), 0.0f);
    blockPeakLeft_ = 0.0f;
    blockPeakRight_ = 0.0f;
    peakLeft_.store(0.0f, std::memory_order_relaxed);
    peakRight_.store(0.0f, std::memory_order_relaxed);
}

void InputMeter::raise(std::atomic<float>& peak, float value) {
    float current = peak.load(std::memory_order_relaxed);
    while (value > current && !peak.compare_exchange_weak(current, value, std::memory_order_relaxed)) {
    }
}

void InputMeter::publish() {
    raise(peakLeft_, blockPeakLeft_);
    raise(peakRight_, blockPeakRight_);
    blockPeakLeft_ = 0.0f;
    blockPeakRight_ = 0.0f;
}

}  // namespace ruvane
