// The hand-over from the effect's threads to the editor's idle.
#include "effect/editor/pending_editor_updates.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace ruvane {
namespace {

using Taken = std::vector<std::pair<int, float>>;

Taken takeAll(PendingEditorUpdates& updates) {
    Taken taken;
    updates.takeParameters([&](int index, float value) { taken.emplace_back(index, value); });
    return taken;
}

TEST(PendingEditorUpdates, TheLatestValueOfEachParameterOnceInIndexOrder) {
    PendingEditorUpdates updates;
    updates.postParameter(90, 0.1f);
    updates.postParameter(3, 0.2f);
    updates.postParameter(3, 0.7f);
    updates.postParameter(63, 0.4f);
    updates.postParameter(64, 0.5f);
    updates.postParameter(-1, 1.0f);   // no such parameter
    updates.postParameter(96, 1.0f);
    EXPECT_EQ(takeAll(updates), (Taken{{3, 0.7f}, {63, 0.4f}, {64, 0.5f}, {90, 0.1f}}));
    EXPECT_TRUE(takeAll(updates).empty());
}

TEST(PendingEditorUpdates, EventsAreTakenOnceAndClearDropsEverything) {
    PendingEditorUpdates updates;
    updates.postEvent(PendingEditorUpdates::kPresetRenamed);
    updates.postLinkState(true);
    EXPECT_EQ(updates.takeEvents(), PendingEditorUpdates::kPresetRenamed | PendingEditorUpdates::kLinkChanged);
    EXPECT_TRUE(updates.linkState());
    EXPECT_EQ(updates.takeEvents(), 0u);
    updates.postParameter(5, 0.5f);
    updates.postEvent(PendingEditorUpdates::kTempoChanged);
    updates.clear();
    EXPECT_TRUE(takeAll(updates).empty());
    EXPECT_EQ(updates.takeEvents(), 0u);
}

// One thread posts rising values, as automation does from the audio thread; the
// editor's thread takes them meanwhile. It never sees a value go back, and after the
// last post it sees the last value.
TEST(ConcurrentPendingEditorUpdates, ReaderSeesRisingValuesAndTheLastOne) {
    PendingEditorUpdates updates;
    constexpr int kPosts = 200000;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int i = 1; i <= kPosts; ++i) {
            updates.postParameter(7, static_cast<float>(i));
            updates.postParameter(70, static_cast<float>(-i));
            if (i % 1000 == 0) updates.postEvent(PendingEditorUpdates::kTempoChanged);
        }
        done.store(true);
    });
    float last7 = 0.0f;
    float last70 = 0.0f;
    bool ordered = true;
    auto take = [&] {
        updates.takeParameters([&](int index, float value) {
            if (index == 7) {
                ordered = ordered && value >= last7;
                last7 = value;
            } else if (index == 70) {
                ordered = ordered && value <= last70;
                last70 = value;
            } else {
                ordered = false;
            }
        });
        updates.takeEvents();
    };
    while (!done.load()) take();
    audio.join();
    take();
    EXPECT_TRUE(ordered);
    EXPECT_EQ(last7, static_cast<float>(kPosts));
    EXPECT_EQ(last70, static_cast<float>(-kPosts));
}

}  // namespace
}  // namespace ruvane
