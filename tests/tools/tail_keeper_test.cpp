// What of the effect's output after the input is kept: fixed tails, and automatic
// tails that wait out the silence between echoes.
#include <gtest/gtest.h>

#include <vector>

#include "tools/ruvane-render/tail_keeper.h"

namespace ruvane::render {
namespace {

constexpr double kRate = 1000.0;  // 10 ms of fade = 10 frames
constexpr float kLoud = 0.5f;
constexpr float kQuiet = 1e-6f;   // far below -90 dBFS

class CollectingSink : public AudioSink {
public:
    void write(const float* left, const float* right, size_t frames) override {
        this->left.insert(this->left.end(), left, left + frames);
        this->right.insert(this->right.end(), right, right + frames);
    }
    std::vector<float> left;
    std::vector<float> right;
};

// Offers runs of constant level in pieces of at most `block` frames, as the render loop
// does, and answers what the last offer answered.
bool offerRuns(TailKeeper& tail, const std::vector<std::pair<float, size_t>>& runs, size_t block) {
    bool more = true;
    for (const auto& [level, frames] : runs) {
        for (size_t done = 0; done < frames && more; done += block) {
            std::vector<float> left(std::min(block, frames - done), level);
            std::vector<float> right = left;
            more = tail.offer(left.data(), right.data(), left.size());
        }
    }
    return more;
}

TEST(FixedTail, KeepsExactlyItsLengthAndFadesTheEnd) {
    for (size_t block : {1u, 7u, 64u, 1000u}) {
        CollectingSink sink;
        TailKeeper tail = TailKeeper::fixed(sink, 250, kRate);
        EXPECT_FALSE(offerRuns(tail, {{kLoud, 1000}}, block)) << block;
        ASSERT_EQ(sink.left.size(), 250u) << block;
        EXPECT_EQ(sink.left[239], kLoud) << block;          // before the 10-frame fade
        EXPECT_FLOAT_EQ(sink.left[240], kLoud * 0.9f) << block;
        EXPECT_EQ(sink.left[249], 0.0f) << block;
        EXPECT_EQ(sink.right[249], 0.0f) << block;
        EXPECT_FALSE(tail.reachedCap());
    }
}

TEST(FixedTail, OfZeroWantsNothing) {
    CollectingSink sink;
    TailKeeper tail = TailKeeper::fixed(sink, 0, kRate);
    EXPECT_FALSE(tail.wantsMore());
    std::vector<float> left(10, kLoud), right(10, kLoud);
    EXPECT_FALSE(tail.offer(left.data(), right.data(), 10));
    EXPECT_TRUE(sink.left.empty());
}

TEST(AutomaticTail, KeepsSilenceBetweenEchoesAndDropsTheFinalSilence) {
    for (size_t block : {1u, 16u, 100u, 512u}) {
        CollectingSink sink;
        TailKeeper tail = TailKeeper::automatic(sink, 10000, 200, kRate);
        // An echo, a gap shorter than the window, another echo, then lasting silence.
        const bool more = offerRuns(tail, {{kLoud, 100}, {kQuiet, 150}, {kLoud, 100}, {kQuiet, 1000}}, block);
        EXPECT_FALSE(more) << block;
        EXPECT_FALSE(tail.wantsMore()) << block;
        EXPECT_FALSE(tail.reachedCap()) << block;
        // Written: the echoes and the gap between them, never the silence after.
        ASSERT_GE(sink.left.size(), 350u) << block;
        EXPECT_LT(sink.left.size(), 350u + block) << block;
        EXPECT_EQ(sink.left[120], kQuiet) << block;
        EXPECT_EQ(sink.left[300], kLoud) << block;
        // It stopped once the window of silence had passed, not at the cap.
        EXPECT_LT(tail.framesOffered(), 350 + 200 + static_cast<int64_t>(block)) << block;
    }
}

TEST(AutomaticTail, StopsAtItsCapFadingOutWhatStillSounds) {
    CollectingSink sink;
    TailKeeper tail = TailKeeper::automatic(sink, 500, 200, kRate);
    EXPECT_FALSE(offerRuns(tail, {{kLoud, 2000}}, 64));
    ASSERT_EQ(sink.left.size(), 500u);
    EXPECT_EQ(sink.left[489], kLoud);
    EXPECT_EQ(sink.left[499], 0.0f);
    EXPECT_TRUE(tail.reachedCap());
}

TEST(AutomaticTail, SilenceReachingTheCapIsNotCalledCut) {
    CollectingSink sink;
    TailKeeper tail = TailKeeper::automatic(sink, 300, 250, kRate);
    EXPECT_FALSE(offerRuns(tail, {{kLoud, 100}, {kQuiet, 1000}}, 50));
    EXPECT_EQ(sink.left.size(), 100u);
    EXPECT_FALSE(tail.reachedCap());
    EXPECT_EQ(tail.framesOffered(), 300);
}

TEST(AutomaticTail, ASilentEffectEndsAfterOneWindow) {
    CollectingSink sink;
    TailKeeper tail = TailKeeper::automatic(sink, 10000, 200, kRate);
    EXPECT_FALSE(offerRuns(tail, {{0.0f, 5000}}, 64));
    EXPECT_TRUE(sink.left.empty());
    EXPECT_GE(tail.framesOffered(), 200);
    EXPECT_LT(tail.framesOffered(), 200 + 64);
}

TEST(AutomaticTail, TheQuietThresholdIsMinus90Dbfs) {
    for (const auto& [level, kept] : {std::pair{2.0e-5f, false}, std::pair{5.0e-5f, true}}) {
        CollectingSink sink;
        TailKeeper tail = TailKeeper::automatic(sink, 1000, 100, kRate);
        offerRuns(tail, {{level, 1000}}, 10);
        EXPECT_EQ(!sink.left.empty(), kept) << level;
    }
}

}  // namespace
}  // namespace ruvane::render
