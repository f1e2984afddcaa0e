// CPluginWrapper binding effect libraries: which entries bind, what a failed load shows,
// what binding does to the effect, and the guards of every operation.
#include <gtest/gtest.h>

#include <cmath>

#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

class EffectBinding : public ::testing::Test {
protected:
    QuietHost host;
    CPluginWrapper wrapper;
};

struct EntryCase {
    const char* effect;
    bool bound;
    bool alert;
};

void PrintTo(const EntryCase& entry, std::ostream* out) { *out << entry.effect; }

class EntryNames : public EffectBinding, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(EntryNames, BindOnlyThroughMainOrCapitalMainAndAlertOnlyWithoutAnEffectRecord) {
    const EntryCase& entry = GetParam();
    wrapper.LoadEffect(testEffectPath(entry.effect).c_str());
    EXPECT_EQ(wrapper.HasEffect(), entry.bound);
    const auto alerts = host.platform.engine.alerts();
    if (entry.alert) {
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].text, "Plug-in core lib failed to load.");
        EXPECT_EQ(alerts[0].caption, "");
    } else {
        EXPECT_TRUE(alerts.empty());
    }
    if (entry.bound) {
        EXPECT_EQ(query(wrapper, kQueryOpens), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Effects, EntryNames,
                         ::testing::Values(EntryCase{"effect_plain", true, false},
                                           EntryCase{"effect_main_capital", true, false},
                                           EntryCase{"effect_vstpluginmain", false, true},
                                           EntryCase{"effect_null_result", false, true},
                                           EntryCase{"effect_wrong_magic", false, false},
                                           EntryCase{"effect_null_dispatcher", false, false},
                                           EntryCase{"no_such_effect", false, true}),
                         [](const auto& info) { return std::string(info.param.effect); });

TEST_F(EffectBinding, BindingOpensTheEffectAt44100AndTakesItsShape) {
    wrapper.LoadEffect(testEffectPath("effect_programs").c_str());
    ASSERT_TRUE(wrapper.HasEffect());
    EXPECT_EQ(query(wrapper, kQueryOpens), 1);
    EXPECT_EQ(query(wrapper, kQuerySampleRate), 44100);
    EXPECT_EQ(wrapper.GetParameterCount(), 2);
    int32_t channels = 0;
    wrapper.GetChannelCount(&channels);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(wrapper.GetLatency(), 0);
}

TEST_F(EffectBinding, ReportsTheEffectsLatency) {
    wrapper.LoadEffect(testEffectPath("effect_latency").c_str());
    EXPECT_EQ(wrapper.GetLatency(), 100);
}

TEST_F(EffectBinding, SampleRatesOutsideTheRangeBecome44100) {
    wrapper.LoadEffect(testEffectPath("effect_plain").c_str());
    const struct {
        double asked;
        VstIntPtr given;
    } cases[] = {{8000, 44100}, {400000, 44100}, {15000, 15000}, {200000, 200000}, {14999.9, 44100},
                 {48000, 48000}, {0, 44100}, {NAN, 44100}, {-96000, 44100}};
    float left[4] = {}, right[4] = {};
    float* channels[] = {left, right, left, right};
    for (const auto& rate : cases) {
        wrapper.SetSampleRate(rate.asked);
        EXPECT_EQ(query(wrapper, kQuerySampleRate), rate.given) << rate.asked;
        EXPECT_EQ(wrapper.SampleRateAsInteger(), rate.given) << rate.asked;
        // What the effect reads while it processes: the time info and the host's answer.
        wrapper.Process(channels, 4, nullptr);
        EXPECT_EQ(query(wrapper, kQueryTimeSampleRate), rate.given) << rate.asked;
        EXPECT_EQ(query(wrapper, kQueryHostSampleRate), rate.given) << rate.asked;
    }
}

TEST_F(EffectBinding, BlockSizeResumeAndSuspendReachTheEffect) {
    wrapper.LoadEffect(testEffectPath("effect_plain").c_str());
    wrapper.SetBlockSize(256);
    EXPECT_EQ(wrapper.GetBlockSize(), 256);
    EXPECT_EQ(query(wrapper, kQueryBlockSize), 256);
    wrapper.Resume();
    EXPECT_EQ(query(wrapper, kQueryMains), 1);
    wrapper.Suspend();
    EXPECT_EQ(query(wrapper, kQueryMains), 0);
}

TEST_F(EffectBinding, ParameterCallsStayInsideTheEffectsRange) {
    wrapper.LoadEffect(testEffectPath("effect_displays").c_str());
    std::string text = "stale";
    wrapper.GetParameterDisplay(5, text);
    EXPECT_EQ(text, "");
    wrapper.GetParameterName(-1, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(wrapper.GetParameter(5), 0.0f);
    EXPECT_EQ(wrapper.GetParameter(-1), 0.0f);
    wrapper.SetParameter(5, 0.5f);
    wrapper.SetParameter(-1, 0.5f);
    wrapper.GetParameterName(3, text);
    EXPECT_EQ(text, "Param 3 Name");
    wrapper.GetParameterLabel(2, text);
    EXPECT_EQ(text, "dB");
    wrapper.GetParameterDisplayText(0, text);
    EXPECT_EQ(text, "25.00");
}

TEST_F(EffectBinding, SetParameterPassesOnlyChangedValues) {
    wrapper.LoadEffect(testEffectPath("effect_plain").c_str());
    wrapper.SetParameter(1, 0.25f);  // the effect's current value
    EXPECT_EQ(query(wrapper, kQuerySetCount, 1), 0);
    wrapper.SetParameter(1, 0.75f);
    EXPECT_EQ(query(wrapper, kQuerySetCount, 1), 1);
    EXPECT_EQ(wrapper.GetParameter(1), 0.75f);
    wrapper.SetParameter(1, 0.75f);
    EXPECT_EQ(query(wrapper, kQuerySetCount, 1), 1);
}

TEST_F(EffectBinding, AnOutOfRangeAutomateLocksTheParameterForGood) {
    wrapper.LoadEffect(testEffectPath("effect_plain").c_str());
    query(wrapper, kQueryAutomate, 2, 1.5f);
    EXPECT_TRUE(wrapper.IsHostLocked(2));
    EXPECT_FALSE(wrapper.IsHostLocked(1));
    wrapper.SetParameter(2, 0.9f);
    EXPECT_EQ(query(wrapper, kQuerySetCount, 2), 0);
    query(wrapper, kQueryAutomate, 2, 0.5f);  // back in range: still the effect's
    wrapper.SetParameter(2, 0.1f);
    EXPECT_EQ(query(wrapper, kQuerySetCount, 2), 0);
    query(wrapper, kQueryAutomate, 3, -0.1f);
    query(wrapper, kQueryAutomate, 1, NAN);
    EXPECT_TRUE(wrapper.IsHostLocked(3));
    EXPECT_TRUE(wrapper.IsHostLocked(1));
    query(wrapper, kQueryAutomate, 40, 2.0f);  // no such parameter: nothing to lock
    EXPECT_FALSE(wrapper.IsHostLocked(40));
}

TEST_F(EffectBinding, WithoutAnEffectEveryOperationAnswersNothing) {
    wrapper.LoadEffect(testEffectPath("effect_null_result").c_str());
    ASSERT_FALSE(wrapper.HasEffect());
    int32_t channels = 0;
    wrapper.GetChannelCount(&channels);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(wrapper.GetParameterCount(), 0);
    EXPECT_EQ(wrapper.GetParameter(0), 0.0f);
    EXPECT_EQ(wrapper.GetLatency(), 0);
    EXPECT_FALSE(wrapper.IsSynth());
    EXPECT_EQ(wrapper.Dispatch(effGetProgram, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(wrapper.RawGetParameter(0), 0.0f);
    wrapper.Resume();
    wrapper.SetBlockSize(64);
    EXPECT_EQ(wrapper.GetBlockSize(), 64);
    float left[4] = {1, 2, 3, 4}, right[4] = {5, 6, 7, 8};
    float* channelsIn[] = {left, right};
    wrapper.Process(channelsIn, 4, nullptr);
    EXPECT_EQ(left[3], 4.0f);
    EXPECT_EQ(right[0], 5.0f);
}

TEST_F(EffectBinding, LoadingAgainUnloadsTheFirstEffect) {
    wrapper.LoadEffect(testEffectPath("effect_plain").c_str());
    wrapper.Resume();
    wrapper.LoadEffect(testEffectPath("effect_programs").c_str());
    ASSERT_TRUE(wrapper.HasEffect());
    EXPECT_EQ(wrapper.GetParameterCount(), 2);
    EXPECT_EQ(query(wrapper, kQueryOpens), 1);
    wrapper.UnloadEffect();
    EXPECT_FALSE(wrapper.HasEffect());
    EXPECT_EQ(wrapper.GetParameterCount(), 0);
}

TEST_F(EffectBinding, ProcessRunsTheEffectInPlace) {
    wrapper.LoadEffect(testEffectPath("effect_plain").c_str());
    // Four channels, as the render paths pass them: the side chain in the third and fourth.
    float left[3] = {1, 2, 4}, right[3] = {-2, 8, 6}, sideChain[3] = {};
    float* channels[] = {left, right, sideChain, sideChain};
    wrapper.Process(channels, 3, nullptr);
    EXPECT_EQ(left[2], 2.0f);     // the test effect halves its first channel
    EXPECT_EQ(right[0], -0.5f);   // and quarters its second
    EXPECT_EQ(query(wrapper, kQueryProcessFrames, 0), 3);
}

TEST(LiveWrappers, AreCountedModuleWide) {
    const int32_t before = TheModule().LiveWrappers();
    {
        CPluginWrapper first, second;
        EXPECT_EQ(TheModule().LiveWrappers(), before + 2);
    }
    EXPECT_EQ(TheModule().LiveWrappers(), before);
}

}  // namespace
}  // namespace ruvane::testing
