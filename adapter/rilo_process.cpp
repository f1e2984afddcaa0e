#include "adapter/rilo_process.h"

#include <algorithm>
#include <cstring>

#include "adapter/framework/effect_type.h"

namespace {

// Scope of one render call: destruction waits while it is up.
class CRenderScope {
public:
    explicit CRenderScope(std::atomic<bool>& flag) : flag_(flag) { flag_.store(true, std::memory_order_seq_cst); }
    ~CRenderScope() { flag_.store(false, std::memory_order_release); }
    CRenderScope(const CRenderScope&) = delete;
    CRenderScope& operator=(const CRenderScope&) = delete;

private:
    std::atomic<bool>& flag_;
};

}  // namespace

int32_t CWrapperRiloProcess::RenderAudio(const float* const* inputs, float* const* outputs, const float* sideChain,
                                         int32_t frames, bool bypassed) {
    CRenderScope rendering(inRender_);
    // One input channel feeds both effect inputs; with one output channel the host
    // receives the effect's second output.
    const float* left = inputs[0];
    const float* right = Type().InputChannels() > 1 ? inputs[1] : inputs[0];
    const bool monoOut = Type().OutputChannels() < 2;
    float* outLeft = outputs[0];
    float* outRight = monoOut ? outputs[0] : outputs[1];
    if (frames <= 0) {
        ForwardMidi(0, 0, 0);
        return 0;
    }

    // Blocks also stay short enough that the ring never overwrites what is still to be read.
    const int32_t block = std::min(BlockSize(), kWorkLength - latency_);
    for (int32_t start = 0; start < frames;) {
        const int32_t count = std::min(block, frames - start);
        FillWork(left, right, sideChain, start, count);
        // The rings take the input before the effect may overwrite it in place.
        uint16_t write = ringWrite_;
        for (int32_t k = 0; k < count; ++k, ++write) {
            ringLeft_[write] = left[start + k];
            ringRight_[write] = right[start + k];
        }
        ForwardMidi(start, count, frames);
        ProcessWork(count);
        if (bypassed) {
            uint16_t read = ringRead_;
            for (int32_t k = 0; k < count; ++k, ++read) {
                if (!monoOut) outRight[start + k] = ringRight_[read];
                outLeft[start + k] = monoOut ? ringRight_[read] : ringLeft_[read];
            }
        } else {
            const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(count);
            if (!monoOut) std::memcpy(outLeft + start, work0_.get(), bytes);
            std::memcpy(outRight + start, work1_.get(), bytes);
        }
        ringWrite_ = static_cast<uint16_t>(ringWrite_ + count);
        ringRead_ = static_cast<uint16_t>(ringRead_ + count);
        start += count;
    }
    return frames;
}

void CWrapperRiloProcess::BypassAudio(const float* const* inputs, float* const* outputs, int32_t frames) {
    CRenderScope rendering(inRender_);
    const float* left = inputs[0];
    const float* right = Type().InputChannels() > 1 ? inputs[1] : inputs[0];
    const bool monoOut = Type().OutputChannels() < 2;
    for (int32_t k = 0; k < frames; ++k) {
        ringLeft_[ringWrite_] = left[k];
        ringRight_[ringWrite_] = right[k];
        if (monoOut) {
            outputs[0][k] = ringRight_[ringRead_];
        } else {
            outputs[0][k] = ringLeft_[ringRead_];
            outputs[1][k] = ringRight_[ringRead_];
        }
        ++ringWrite_;
        ++ringRead_;
    }
}
