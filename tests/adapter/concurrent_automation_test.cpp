// Automation from the effect on one thread while the host moves controls on another:
// the flags and values they share are atomics, so nothing tears and the sanitizers see
// no race.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "adapter/framework/control_values.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

TEST(ConcurrentAutomation, EffectAndHostMoveControlsAtOnce) {
    QuietHost host;
    std::atomic<int> reported{0};
    const uint64_t id = host.platform.engine.addInstance([&](int32_t, int32_t) { reported.fetch_add(1); });
    ProcessFixture fixture;
    TestRiloProcess process(fixture.context(id), testEffectPath("effect_plain").c_str());
    constexpr int kRounds = 2000;

    std::thread effectSide([&] {
        for (int round = 0; round < kRounds; ++round) {
            // Parameter 0 follows the effect; parameter 3 is driven out of range once.
            query(process.Wrapper(), kQueryAutomate, 0, static_cast<float>(round % 100) / 100.0f);
            if (round == kRounds / 2) query(process.Wrapper(), kQueryAutomate, 3, 1.5f);
        }
    });
    for (int round = 0; round < kRounds; ++round) {
        process.HostSetsControl(3, ToControlValue((round % 50) / 50.0, 0, 1));
        process.HostSetsControl(5, ToControlValue((round % 10) / 10.0, 0, 1));
    }
    effectSide.join();

    EXPECT_EQ(reported.load(), kRounds);
    EXPECT_EQ(process.Controls().At(2)->Value(), ToControlValue(0.99f, 0, 1));
    EXPECT_TRUE(process.Wrapper().IsHostLocked(3));
    const auto locked = query(process.Wrapper(), kQuerySetCount, 3);
    process.HostSetsControl(5, ToControlValue(0.77, 0, 1));
    EXPECT_EQ(query(process.Wrapper(), kQuerySetCount, 3), locked);
}

}  // namespace
}  // namespace ruvane::testing
