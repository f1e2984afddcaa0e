// CWrapperProcess: construction in order, the host's maximum block, the controls it
// builds and automation both ways with the host lock and the echo stop.
#include <gtest/gtest.h>

#include <optional>

#include "adapter/control_probe.h"
#include "adapter/framework/control_values.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

using Changes = std::vector<std::pair<int32_t, int32_t>>;

class WrapperProcess : public ::testing::Test {
protected:
    // A process whose control changes toward the host land in changes (and, with echo,
    // go straight back to the process as host changes).
    std::unique_ptr<TestRiloProcess> make(const char* effect, double sampleRate = 48000.0) {
        ProcessFixture& fixture = *fixtures.emplace_back(std::make_unique<ProcessFixture>(sampleRate));
        const uint64_t id = host.platform.engine.addInstance([this](int32_t control, int32_t value) {
            changes.emplace_back(control, value);
            if (echo && process) process->HostSetsControl(control, value);
        });
        auto made = std::make_unique<TestRiloProcess>(fixture.context(id), testEffectPath(effect).c_str());
        process = made.get();
        return made;
    }
    static int32_t at(double fraction) { return ToControlValue(fraction, 0, 1); }

    QuietHost host;
    std::vector<std::unique_ptr<ProcessFixture>> fixtures;  // the groups outlive their processes
    Changes changes;
    bool echo = false;
    TestRiloProcess* process = nullptr;
};

TEST_F(WrapperProcess, GivesTheEffectTheHostsRateBlockAndResumesIt) {
    host.platform.engine.setMaxRealTimeBlock(256);
    auto made = make("effect_plain", 48000.0);
    EXPECT_EQ(made->BlockSize(), 256);
    EXPECT_EQ(query(made->Wrapper(), kQueryBlockSize), 256);
    EXPECT_EQ(query(made->Wrapper(), kQuerySampleRate), 48000);
    EXPECT_EQ(query(made->Wrapper(), kQueryMains), 1);
    EXPECT_TRUE(made->ControlsReady());
    auto unspecified = make("effect_plain", 0.0);
    EXPECT_EQ(query(unspecified->Wrapper(), kQuerySampleRate), 44100);
}

TEST_F(WrapperProcess, MaximumBlockFallsBackTo32) {
    const struct {
        bool gestalt;
        std::optional<int32_t> block;
        int32_t expected;
    } cases[] = {{true, 512, 512}, {true, 1, 1}, {false, 512, 32}, {true, std::nullopt, 32}, {true, 0, 32}, {true, -5, 32}};
    for (const auto& c : cases) {
        host.platform.engine.setGestaltAnswers(c.gestalt);
        host.platform.engine.setMaxRealTimeBlock(c.block);
        EXPECT_EQ(HostMaxRealTimeBlock(TheModule().Engine()), c.expected);
        auto made = make("effect_plain");
        EXPECT_EQ(made->BlockSize(), c.expected);
        EXPECT_EQ(query(made->Wrapper(), kQueryBlockSize), c.expected);
    }
}

TEST_F(WrapperProcess, SampleRateChangeSuspendsAndResumes) {
    auto made = make("effect_plain");
    made->SetSampleRate(96000.0);
    EXPECT_EQ(query(made->Wrapper(), kQuerySampleRate), 96000);
    EXPECT_EQ(query(made->Wrapper(), kQueryMains), 1);
    made->SetSampleRate(0.0);
    EXPECT_EQ(query(made->Wrapper(), kQuerySampleRate), 44100);
}

TEST_F(WrapperProcess, ReportsTheEffectsLatency) {
    auto made = make("effect_latency");
    int32_t latency = -1;
    EXPECT_EQ(made->GetLatency(&latency), 0);
    EXPECT_EQ(latency, 100);
}

TEST_F(WrapperProcess, MasterBypassFirstThenOneControlPerParameter) {
    auto made = make("effect_displays");
    const CControlList& controls = made->Controls();
    ASSERT_EQ(controls.Count(), 6);
    EXPECT_EQ(made->MasterBypassControlIndex(), 1);
    auto* bypass = dynamic_cast<CPluginControl_OnOff*>(controls.At(1));
    ASSERT_NE(bypass, nullptr);
    EXPECT_EQ(bypass->MultiName(), "Master Bypass\nMstr Byp\nMBYP");
    EXPECT_FALSE(bypass->IsOn(bypass->DefaultValue()));
    EXPECT_TRUE(bypass->IsAutomatable());
    EXPECT_STREQ(controls.At(2)->ClassName(), "CPluginControl_VST_linear");
    EXPECT_STREQ(controls.At(3)->ClassName(), "CPluginControl_OnOff");
    EXPECT_STREQ(controls.At(4)->ClassName(), "CPluginControl_VST_Learn");
    EXPECT_EQ(controls.At(5)->MultiName(), "3: Param 3 Name\nParam\nPar\n");
    EXPECT_TRUE(changes.empty());  // building controls tells the host nothing
}

TEST_F(WrapperProcess, HostChangesReachTheEffectAndBypassDoesNot) {
    auto made = make("effect_plain");
    const int before = static_cast<int>(query(made->Wrapper(), kQuerySetCount, 1));
    EXPECT_EQ(made->HostSetsControl(3, at(0.6)), 0);
    EXPECT_FLOAT_EQ(made->Wrapper().GetParameter(1), 0.6f);
    EXPECT_EQ(query(made->Wrapper(), kQuerySetCount, 1), before + 1);
    EXPECT_EQ(made->Controls().At(3)->Value(), at(0.6));
    std::vector<VstIntPtr> counts;
    for (int i = 0; i < 4; ++i) counts.push_back(query(made->Wrapper(), kQuerySetCount, i));
    EXPECT_EQ(made->HostSetsControl(1, at(1.0)), 0);
    EXPECT_TRUE(made->IsMasterBypassed());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(query(made->Wrapper(), kQuerySetCount, i), counts[i]);
    EXPECT_NE(made->HostSetsControl(6, 0), 0);  // no such control
    EXPECT_NE(made->HostSetsControl(0, 0), 0);
}

TEST_F(WrapperProcess, EffectChangesReachTheHost) {
    auto made = make("effect_plain");
    query(made->Wrapper(), kQueryAutomate, 2, 0.8f);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(4, at(0.8f)));
    EXPECT_EQ(made->Controls().At(4)->Value(), at(0.8f));
    query(made->Wrapper(), kQueryAutomate, 9, 0.8f);  // beyond the parameters
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(WrapperProcess, AnEqualValueEchoedByTheHostDoesNotReturnToTheEffect) {
    echo = true;
    auto made = make("effect_automates");
    ASSERT_TRUE(changes.empty());  // the mirror's reports while probing came before the controls were ready
    const auto mirrored = query(made->Wrapper(), kQuerySetCount, 0);
    EXPECT_EQ(made->HostSetsControl(3, at(0.7)), 0);  // parameter 1; the effect mirrors it into parameter 0
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(2, at(0.7f)));
    EXPECT_EQ(query(made->Wrapper(), kQuerySetCount, 0), mirrored);  // the echo stopped at the equal value
    EXPECT_FLOAT_EQ(made->Wrapper().GetParameter(0), 0.7f);
}

TEST_F(WrapperProcess, AParameterTheEffectDroveOutOfRangeIgnoresTheHost) {
    auto made = make("effect_automates");  // automates parameter 5 with 1.5 when resumed
    EXPECT_TRUE(made->Wrapper().IsHostLocked(5));
    const auto locked = query(made->Wrapper(), kQuerySetCount, 5);
    EXPECT_EQ(made->HostSetsControl(7, at(0.9)), 0);
    EXPECT_EQ(query(made->Wrapper(), kQuerySetCount, 5), locked);
    EXPECT_TRUE(changes.empty());
    const auto free = query(made->Wrapper(), kQuerySetCount, 6);
    EXPECT_EQ(made->HostSetsControl(8, at(0.9)), 0);
    EXPECT_EQ(query(made->Wrapper(), kQuerySetCount, 6), free + 1);
}

TEST_F(WrapperProcess, UpdateDisplayPushesEveryParameter) {
    auto made = make("effect_programs");
    made->Wrapper().RawSetParameter(0, 0.1f);
    made->Wrapper().RawSetParameter(1, 0.9f);
    query(made->Wrapper(), kQueryUpdateDisplay);
    EXPECT_EQ(changes, (Changes{{2, at(0.1f)}, {3, at(0.9f)}}));
}

TEST_F(WrapperProcess, TheEffectsIdleRequestsReachTheHostEngineThroughTheGroup) {
    auto made = make("effect_plain");
    const int64_t before = host.platform.engine.idleRequests();
    EXPECT_EQ(query(made->Wrapper(), kQueryHost, audioMasterIdle), 0);
    EXPECT_EQ(query(made->Wrapper(), kQueryHost, audioMasterIdle), 0);
    EXPECT_EQ(host.platform.engine.idleRequests(), before + 2);
}

TEST_F(WrapperProcess, WithoutAnEffectOnlyMasterBypassAndAudioPassesThrough) {
    auto made = make("effect_null_result");
    EXPECT_EQ(made->Controls().Count(), 1);
    ASSERT_EQ(host.platform.engine.alerts().size(), 1u);
    float left[5] = {1, 2, 3, 4, 5}, right[5] = {-1, -2, -3, -4, -5};
    float outLeft[5] = {}, outRight[5] = {};
    const float* inputs[] = {left, right};
    float* outputs[] = {outLeft, outRight};
    made->RenderAudio(inputs, outputs, nullptr, 5, false);
    EXPECT_EQ(std::vector<float>(outLeft, outLeft + 5), std::vector<float>(left, left + 5));
    EXPECT_EQ(std::vector<float>(outRight, outRight + 5), std::vector<float>(right, right + 5));
}

}  // namespace
}  // namespace ruvane::testing
