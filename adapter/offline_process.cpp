#include "adapter/offline_process.h"

#include <algorithm>
#include <cstring>

#include "adapter/framework/effect_type.h"

CWrapperOLPProcess::CWrapperOLPProcess(const CProcessContext& context, const char* effectFile)
    : CWrapperProcess(context, effectFile), latencyPending_(latency_ >= 1) {}

int32_t CWrapperOLPProcess::RenderAudio(const float* const* inputs, float* const* outputs, const float* sideChain,
                                        int32_t frames, bool bypassed) {
    inRender_.store(true, std::memory_order_seq_cst);
    int32_t produced = 0;
    if (bypassed) {
        CEffectProcess::BypassAudio(inputs, outputs, frames);
        produced = std::max(frames, 0);
    } else {
        const float* left = inputs[0];
        const float* right = Type().InputChannels() > 1 ? inputs[1] : inputs[0];
        const bool monoOut = Type().OutputChannels() < 2;
        if (frames <= 0) ForwardMidi(0, 0, 0);
        for (int32_t start = 0; start < frames;) {
            const int32_t count = std::min(BlockSize(), frames - start);
            FillWork(left, right, sideChain, start, count);
            ForwardMidi(start, count, frames);
            ProcessWork(count);
            // While the latency is not yet consumed, the effect's first outputs are dropped;
            // the rest of the pass is kept, so no input is lost.
            int32_t skip = 0;
            if (latencyPending_) {
                skip = std::min(count, latency_ - latencyConsumed_);
                latencyConsumed_ += skip;
                latencyPending_ = latencyConsumed_ < latency_;
            }
            const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(count - skip);
            if (!monoOut) std::memcpy(outputs[0] + produced, work0_.get() + skip, bytes);
            std::memcpy((monoOut ? outputs[0] : outputs[1]) + produced, work1_.get() + skip, bytes);
            produced += count - skip;
            start += count;
        }
    }
    inRender_.store(false, std::memory_order_release);
    return produced;
}
