// The editor's millisecond ticks.
#include "platform/monotonic_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace ruvane {
namespace {

TEST(MonotonicClock, CountsMillisecondsAndNeverGoesBack) {
    const uint32_t start = monotonicMilliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const uint32_t later = monotonicMilliseconds();
    // Differences are taken as unsigned 32-bit numbers, as the editor takes them.
    EXPECT_GE(static_cast<uint32_t>(later - start), 20u);
    uint32_t previous = later;
    for (int i = 0; i < 1000; ++i) {
        const uint32_t now = monotonicMilliseconds();
        EXPECT_LT(static_cast<uint32_t>(now - previous), 1000u);  // no jump back (which would wrap huge)
        previous = now;
    }
}

}  // namespace
}  // namespace ruvane
