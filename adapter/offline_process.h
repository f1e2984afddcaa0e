// CWrapperOLPProcess: the render path of the offline type. The effect's first latency
// output samples are dropped, so the file it writes lines up with its input.
#pragma once

#include "adapter/wrapper_process.h"

class CWrapperOLPProcess : public CWrapperProcess {
public:
    CWrapperOLPProcess(const CProcessContext& context, const char* effectFile = kEffectLibraryName);
    int32_t RenderAudio(const float* const* inputs, float* const* outputs, const float* sideChain, int32_t frames,
                        bool bypassed) override;

private:
    bool latencyPending_ = false;
    int32_t latencyConsumed_ = 0;
};
