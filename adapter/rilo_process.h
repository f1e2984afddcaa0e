// CWrapperRiloProcess: the render path of the three real-time types. The effect is
// called in blocks of at most the host's maximum block; the master bypass outputs the
// input delayed by the effect's latency while the effect keeps processing.
#pragma once

#include "adapter/wrapper_process.h"

class CWrapperRiloProcess : public CWrapperProcess {
public:
    using CWrapperProcess::CWrapperProcess;
    int32_t RenderAudio(const float* const* inputs, float* const* outputs, const float* sideChain, int32_t frames,
                        bool bypassed) override;
    // The host bypasses the whole process: the input through the latency rings only.
    void BypassAudio(const float* const* inputs, float* const* outputs, int32_t frames) override;
};
