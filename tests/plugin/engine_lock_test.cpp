// When the engine lock cannot be had within its bound, nothing touches the engine:
// audio passes dry and a reverb-type change is dropped whole.
#include <latch>
#include <thread>

#include "effect/plugin/zav.h"
#include "loaded_plugin.h"

namespace ruvane::testing {
namespace {

class LockableEffect : public ZAV {
public:
    LockableEffect() : ZAV(nullptr, {}) {}
    using ZAV::engineLock;
};

TEST(EngineLock, HeldElsewhereTheBlockPassesDryAndTheTypeChangeIsDropped) {
    ScopedConfigHome configHome;
    LockableEffect effect;
    effect.setParameter(kMainMix, 1.0f);
    effect.resume();

    std::latch held(1), done(1);
    std::thread holder([&] {
        std::lock_guard<std::recursive_timed_mutex> lock(effect.engineLock());
        held.count_down();
        done.wait();
    });
    held.wait();

    std::vector<float> left(64), right(64), outLeft(64, 9.0f), outRight(64, 9.0f);
    for (size_t n = 0; n < left.size(); ++n) {
        left[n] = 0.01f * static_cast<float>(n);
        right[n] = -left[n];
    }
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect.processReplacing(inputs, outputs, 64);
    effect.setParameter(kRvbType, 1.0f);
    done.count_down();
    holder.join();

    EXPECT_EQ(outLeft, left);
    EXPECT_EQ(outRight, right);
    EXPECT_EQ(effect.getParameter(kRvbType), 0.0f);
    effect.setParameter(kRvbType, 1.0f);  // with the lock free again it is taken
    EXPECT_EQ(effect.getParameter(kRvbType), 1.0f);
}

}  // namespace
}  // namespace ruvane::testing
