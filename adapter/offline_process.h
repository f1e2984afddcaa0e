// CWrapperOLPProcess: the render path of the offline type, whose first pass consumes
// the effect's latency.
#pragma once

#include "adapter/wrapper_process.h"

class CWrapperOLPProcess : public CWrapperProcess {
public:
    using CWrapperProcess::CWrapperProcess;
    void RenderAudio(const float* const* inputs, float* const* outputs, const float* sideChain, int32_t frames,
                     bool bypassed) override;
};
