// Sample-rate changes from the host's main thread while the audio thread renders: the
// rate the effect reads through audioMasterGetSampleRate and audioMasterGetTime is held
// in atomics and copied into the time info by the render call itself, so the thread
// sanitizer sees no race and the effect ends up seeing the last rate set.
#include <gtest/gtest.h>

#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

TEST(ConcurrentSampleRate, RateChangesWhileRendering) {
    QuietHost host;
    host.platform.engine.setMaxRealTimeBlock(32);
    ProcessFixture fixture;
    auto process = fixture.make(testEffectPath("effect_plain"));
    CPluginWrapper& wrapper = process->Wrapper();
    constexpr double kRates[] = {44100.0, 48000.0, 88200.0, 8000.0, 192000.0};

    RenderThread render(*process);
    render.awaitCalls(10);
    for (int round = 0; round < 500; ++round) process->SetSampleRate(kRates[round % 5]);
    process->SetSampleRate(96000.0);
    const int settled = render.calls();
    render.awaitCalls(settled + 3);  // a few calls that all began after the last change
    render.join();

    EXPECT_EQ(wrapper.SampleRateAsInteger(), 96000);
    EXPECT_EQ(query(wrapper, kQueryHostSampleRate), 96000);
    EXPECT_EQ(query(wrapper, kQueryTimeSampleRate), 96000);
    EXPECT_EQ(query(wrapper, kQueryMains), 1);
}

}  // namespace
}  // namespace ruvane::testing
