// The built-in demo phrase: its length follows the tempo, it is stereo, it sounds at
// its onsets, and it comes out the same however it is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/ruvane-render/demo_phrase.h"

namespace ruvane::render {
namespace {

struct Rendered {
    std::vector<float> left;
    std::vector<float> right;
};

Rendered readAll(DemoPhrase& phrase, size_t block) {
    Rendered out;
    std::vector<float> left(block), right(block);
    while (true) {
        const size_t got = phrase.read(left.data(), right.data(), block);
        out.left.insert(out.left.end(), left.begin(), left.begin() + static_cast<std::ptrdiff_t>(got));
        out.right.insert(out.right.end(), right.begin(), right.begin() + static_cast<std::ptrdiff_t>(got));
        if (got < block) return out;
    }
}

double rms(const std::vector<float>& samples, int64_t from, int64_t to) {
    double sum = 0.0;
    for (int64_t i = std::max<int64_t>(from, 0); i < to; ++i) sum += samples[static_cast<size_t>(i)] * samples[static_cast<size_t>(i)];
    return std::sqrt(sum / static_cast<double>(to - from));
}

TEST(DemoPhrase, LastsTwoBarsAtTheTempo) {
    struct Case {
        double rate;
        double tempo;
        int64_t frames;
    };
    for (const Case& c : {Case{44100, 120, 176400}, Case{96000, 120, 384000}, Case{48000, 160, 144000}}) {
        DemoPhrase phrase(c.rate, c.tempo);
        EXPECT_EQ(phrase.lengthFrames(), c.frames);
        EXPECT_EQ(phrase.channels(), 2);
        EXPECT_EQ(phrase.sampleRate(), c.rate);
        EXPECT_EQ(static_cast<int64_t>(readAll(phrase, 4096).left.size()), c.frames) << c.rate << " " << c.tempo;
    }
}

TEST(DemoPhrase, IsLoudEnoughWithoutClipping) {
    DemoPhrase phrase(44100, 120);
    const Rendered out = readAll(phrase, 512);
    float peak = 0.0f;
    for (size_t i = 0; i < out.left.size(); ++i) peak = std::max({peak, std::fabs(out.left[i]), std::fabs(out.right[i])});
    EXPECT_GT(peak, 0.25f);
    EXPECT_LT(peak, 0.95f);
    EXPECT_GT(rms(out.left, 0, static_cast<int64_t>(out.left.size())), 0.02);
    for (float sample : out.left) ASSERT_TRUE(std::isfinite(sample));
}

TEST(DemoPhrase, IsStereo) {
    DemoPhrase phrase(44100, 120);
    const Rendered out = readAll(phrase, 512);
    double difference = 0.0;
    for (size_t i = 0; i < out.left.size(); ++i) difference += std::fabs(out.left[i] - out.right[i]);
    EXPECT_GT(difference / static_cast<double>(out.left.size()), 0.005);
}

TEST(DemoPhrase, SoundsAtEachOnsetAndRestsWhereEchoesGo) {
    const double rate = 44100;
    DemoPhrase phrase(rate, 120);
    const std::vector<int64_t> onsets = phrase.onsetFrames();
    const Rendered out = readAll(phrase, 1000);
    ASSERT_TRUE(std::is_sorted(onsets.begin(), onsets.end()));
    const int64_t window = static_cast<int64_t>(0.02 * rate);
    for (int64_t onset : onsets) {
        ASSERT_LT(onset + window, static_cast<int64_t>(out.left.size()));
        const double mono = rms(out.left, onset, onset + window) + rms(out.right, onset, onset + window);
        EXPECT_GT(mono, 0.02) << "onset at frame " << onset;
    }
    // The second bar starts on a kick after a rest: far quieter just before it.
    const int64_t bar2 = static_cast<int64_t>(4 * 0.5 * rate);
    EXPECT_GT(rms(out.left, bar2, bar2 + window), 4.0 * rms(out.left, bar2 - window, bar2));
}

TEST(DemoPhrase, IsTheSameWhateverTheBlockSize) {
    DemoPhrase one(44100, 120), other(44100, 120);
    const Rendered a = readAll(one, 1);
    const Rendered b = readAll(other, 4096);
    ASSERT_EQ(a.left.size(), b.left.size());
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
}

TEST(DemoPhrase, PlucksAreInTune) {
    // At 30 BPM the second note, C4, sounds from 1 s on, when the first note and the
    // kick have died down. Its period is the lag, among those of 200..350 Hz, at which
    // the signal differs least from itself.
    const double rate = 96000;
    DemoPhrase phrase(rate, 30);
    const Rendered out = readAll(phrase, 4096);
    const size_t from = static_cast<size_t>(1.05 * rate), length = static_cast<size_t>(0.2 * rate);
    size_t bestLag = 0;
    double least = INFINITY;
    for (size_t lag = static_cast<size_t>(rate / 350); lag <= static_cast<size_t>(rate / 200); ++lag) {
        double difference = 0.0;
        for (size_t i = from; i < from + length; ++i) {
            const double step = out.right[i] - out.right[i + lag];
            difference += step * step;
        }
        if (difference < least) {
            least = difference;
            bestLag = lag;
        }
    }
    EXPECT_NEAR(rate / static_cast<double>(bestLag), 261.63, 1.5);
}

}  // namespace
}  // namespace ruvane::render
