// The engine runs its stages block-wise and both channels in one instruction stream.
// Each test here holds such a path to the plain per-sample or per-channel way of
// computing the same thing, sample for sample and bit for bit.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "effect/engine/anti_alias_filter.h"
#include "effect/engine/delay_engine.h"
#include "effect/engine/dsp_math.h"
#include "effect/engine/lfo.h"
#include "effect/engine/parameters.h"
#include "effect/engine/reverb.h"
#include "effect/engine/smoother.h"
#include "effect/engine/state_variable_filter.h"
#include "engine_test_support.h"

namespace ruvane {
namespace {

std::vector<float> noise(std::size_t length, std::uint32_t seed, float amplitude) {
    std::vector<float> v(length);
    for (float& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = amplitude * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
    }
    return v;
}

TEST(BlockProcessing, SmootherBankRunEqualsProcessPerSample) {
    SmootherBank<5> perSample, block;
    for (auto* bank : {&perSample, &block}) {
        bank->setSampleRate(48000.0f);
        for (std::size_t lane = 0; lane < 5; ++lane) bank->setTarget(lane, 0.3f * static_cast<float>(lane) - 0.5f);
    }
    AlternatingGuard guardA(kSmootherGuard), guardB(kSmootherGuard);
    std::array<std::array<float, SmootherBank<5>::kLanes>, 37> out{};
    for (int round = 0; round < 20; ++round) {
        block.run(37, guardB, out.data());
        for (int n = 0; n < 37; ++n) {
            perSample.process(guardA.next());
            for (std::size_t lane = 0; lane < 5; ++lane) ASSERT_EQ(out[n][lane], perSample.value(lane)) << n;
        }
    }
}

TEST(BlockProcessing, LfoRunEqualsProcessPerSampleForEveryWave) {
    for (int w = 0; w < 5; ++w) {
        const auto wave = static_cast<LfoWave>(w);
        Lfo perSample, block;
        for (Lfo* lfo : {&perSample, &block}) {
            lfo->setSampleRate(44100.0f);
            lfo->reset(0.6f);
            lfo->armTrigger(300);
        }
        std::vector<float> left(53), right(53);
        for (int round = 0; round < 40; ++round) {
            block.run(wave, 0.013f, left.data(), right.data(), 53);
            for (int n = 0; n < 53; ++n) {
                perSample.process(wave, 0.013f);
                ASSERT_EQ(left[n], perSample.left()) << w << " " << n;
                ASSERT_EQ(right[n], perSample.right()) << w << " " << n;
            }
        }
        EXPECT_EQ(block.leftPhase(), perSample.leftPhase());
    }
}

TEST(BlockProcessing, StereoFiltersKeepTheirChannelsApart) {
    const auto left = noise(3000, 11, 2.0f), right = noise(3000, 12, 0.3f);
    FilterCoefficients c;
    c.setSampleRate(44100.0f);
    for (FilterType type : {FilterType::LowPass, FilterType::BandPass, FilterType::HighPass}) {
        StateVariableFilter stereo, monoLeft, monoRight;
        AntiAliasFilter stereoAa, monoAaLeft, monoAaRight;
        stereoAa.setSampleRate(44100.0f);
        monoAaLeft.setSampleRate(44100.0f);
        monoAaRight.setSampleRate(44100.0f);
        std::vector<float> aaLeft(left.size()), aaRight(left.size());
        stereoAa.run(left.data(), right.data(), aaLeft.data(), aaRight.data(), static_cast<int>(left.size()));
        for (std::size_t n = 0; n < left.size(); ++n) {
            c.update(500.0f + static_cast<float>(n % 700) * 20.0f, n < 1500 ? 0.9f : 0.2f);
            const Pair y = stereo.process(makePair(left[n], right[n]), c, type);
            ASSERT_EQ(leftOf(y), monoLeft.process(left[n], c, type)) << n;
            ASSERT_EQ(rightOf(y), monoRight.process(right[n], c, type)) << n;
            ASSERT_EQ(aaLeft[n], monoAaLeft.process(left[n])) << n;
            ASSERT_EQ(aaRight[n], monoAaRight.process(right[n])) << n;
        }
    }
}

// Runs of the reverb break at every buffer wrap: blocks that straddle one must give
// what sample-by-sample processing gives.
TEST(BlockProcessing, ReverbBlocksEqualSampleBySampleAcrossBufferWraps) {
    for (Reverb::Type type : {Reverb::Type::Spring, Reverb::Type::Plate}) {
        Reverb perSample, block;
        for (Reverb* r : {&perSample, &block}) {
            r->setSampleRate(44100.0f);
            r->setType(type);
            r->setDamp(0.2f);
            r->setAmount(0.7f);
        }
        const std::size_t length = 2 * (std::size_t{block.mask()} + 1) + 500;
        auto left = noise(length, 3, 0.5f), right = noise(length, 4, 0.5f);
        for (std::size_t n = length / 3; n < length; ++n) left[n] = right[n] = 0.0f;  // the tail too
        std::vector<float> blockLeft = left, blockRight = right;
        for (std::size_t n = 0, size = 1; n < length; n += size, size = size % 97 + 13)
            block.process(blockLeft.data() + n, blockRight.data() + n,
                          static_cast<int>(std::min(size, length - n)));
        for (std::size_t n = 0; n < length; ++n) {
            perSample.process(left[n], right[n]);
            ASSERT_EQ(blockLeft[n], left[n]) << n;
            ASSERT_EQ(blockRight[n], right[n]) << n;
        }
    }
}

// The engine cuts host blocks into chunks; how the host sizes its blocks must not show in
// the output (with the drive off: its window sums are refreshed per host block).
TEST(BlockProcessing, EngineOutputDoesNotDependOnTheHostBlockSize) {
    const auto inLeft = noise(6000, 21, 0.8f), inRight = noise(6000, 22, 0.8f);
    std::vector<std::vector<float>> outputs;
    for (int block : {1, 7, 64, 100, 333}) {
        DelayEngine e;
        test::setPlain(e, 3.0f, 4.5f);
        for (int p : {kVcoOn, kModOn, kFltOn, kRvbOn, kRvbType}) e.setParameter(p, test::kOn);
        e.setParameter(kFltMode, switchValue(1, 3));
        e.setParameter(kDlyLFb, 0.7f);
        e.setParameter(kDlyRFb, 0.6f);
        e.setParameter(kMainMix, 0.6f);
        e.setParameter(kVcoMod, 0.8f);
        e.setParameter(kFltMod, 0.8f);
        e.setParameter(kModSource, 0.5f);
        e.setParameter(kRvbAmt, 0.5f);
        e.suspend();
        const auto out = test::run(e, inLeft, inRight, block);
        std::vector<float> both = out.left;
        both.insert(both.end(), out.right.begin(), out.right.end());
        outputs.push_back(both);
    }
    for (std::size_t k = 1; k < outputs.size(); ++k)
        for (std::size_t n = 0; n < outputs[0].size(); ++n) ASSERT_EQ(outputs[k][n], outputs[0][n]) << k << " " << n;
}

}  // namespace
}  // namespace ruvane
