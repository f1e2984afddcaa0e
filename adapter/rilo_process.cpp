#include "adapter/rilo_process.h"

// Until the audio bridge lands, the host gets its input back unchanged.
void CWrapperRiloProcess::RenderAudio(const float* const* inputs, float* const* outputs, const float*,
                                      int32_t frames, bool) {
    inRender_.store(true, std::memory_order_release);
    BypassAudio(inputs, outputs, frames);
    inRender_.store(false, std::memory_order_release);
}
