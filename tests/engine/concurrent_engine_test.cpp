// Parameter automation from a second thread while the audio thread processes (run under
// the thread sanitizer by `make check-tsan`).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "effect/engine/delay_engine.h"
#include "effect/engine/parameters.h"
#include "engine_test_support.h"

namespace ruvane {
namespace {

class CountingListener : public EngineListener {
public:
    void tempoChanged(float) override { calls.fetch_add(1, std::memory_order_relaxed); }
    std::atomic<int> calls{0};
};

TEST(ConcurrentEngine, AutomationFromAnotherThreadWhileProcessing) {
    DelayEngine e;
    CountingListener listener;
    e.setListener(&listener);
    for (int p : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn}) e.setParameter(p, test::kOn);
    std::atomic<bool> done{false};
    std::atomic<float> queried{0.0f};  // keeps the queries from being optimised away
    std::thread automation([&] {
        std::mt19937 random(11);
        std::uniform_real_distribution<float> unit(-0.1f, 1.1f);
        std::uniform_int_distribution<int> index(0, kNumSoundParameters - 1);
        float sink = 0.0f;
        while (!done.load(std::memory_order_relaxed)) {
            const int p = index(random);
            if (p != kRvbType) e.setParameter(p, unit(random));  // the type change needs the owner's lock
            e.setTempoNormalised(unit(random));
            sink += e.getParameter(p) + e.lfoRateHz() + e.cutoffHz() + e.delayTimeMs(0) + e.tempoBpm();
            sink += e.takeInputPeaks().left;
            sink += e.areChannelsLinked() ? 1.0f : 0.0f;
            sink += e.isSyncValueOutOfRange(kSyncAll) ? 1.0f : 0.0f;
        }
        queried.store(sink, std::memory_order_relaxed);
    });
    std::mt19937 random(3);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> l(128), r(128), ol(128), orr(128);
    HostTime time;
    time.tempoValid = true;
    for (int block = 0; block < 1500; ++block) {
        for (auto& v : l) v = noise(random);
        for (auto& v : r) v = noise(random);
        time.tempoBpm = 100.0 + block % 7;
        e.process(l.data(), r.data(), ol.data(), orr.data(), 128, time);
        ASSERT_TRUE(test::allFinite(ol));
        ASSERT_TRUE(test::allFinite(orr));
    }
    done.store(true);
    automation.join();
    EXPECT_GT(listener.calls.load(), 0);
}

}  // namespace
}  // namespace ruvane
