// The audio bridge: render paths cut into the host's maximum block, mono layouts, the
// latency-compensated bypass with the effect still running, the offline pass that
// consumes the latency, the transport the effect sees, sample-rate changes.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

// A host call's buffers: input channels of a ramp, output channels to be filled.
struct Buffers {
    Buffers(int32_t inputs, int32_t outputs, int32_t frames, float start = 1.0f)
        : in(static_cast<std::size_t>(inputs), std::vector<float>(static_cast<std::size_t>(frames))),
          out(static_cast<std::size_t>(outputs), std::vector<float>(static_cast<std::size_t>(frames), -99.0f)) {
        for (std::size_t c = 0; c < in.size(); ++c)
            for (std::size_t k = 0; k < in[c].size(); ++k) in[c][k] = start + static_cast<float>(k) + 1000.0f * static_cast<float>(c);
        for (auto& channel : in) inPointers.push_back(channel.data());
        for (auto& channel : out) outPointers.push_back(channel.data());
    }
    int32_t render(CWrapperProcess& process, bool bypassed = false, const float* sideChain = nullptr) {
        return process.RenderAudio(inPointers.data(), outPointers.data(), sideChain,
                                   static_cast<int32_t>(in[0].size()), bypassed);
    }
    std::vector<std::vector<float>> in, out;
    std::vector<const float*> inPointers;
    std::vector<float*> outPointers;
};

class AudioBridge : public ::testing::Test {
protected:
    AudioBridge() { host.platform.engine.setMaxRealTimeBlock(32); }
    std::unique_ptr<CWrapperProcess> make(const char* effect, int32_t type = kStereoType) {
        return fixture.make(testEffectPath(effect), type);
    }
    // What the effect's two inputs received, from its first process call on.
    static std::vector<std::vector<float>> received(CWrapperProcess& process) {
        std::vector<std::vector<float>> inputs(2, std::vector<float>(kTestEffectInputRecord));
        std::size_t count = 0;
        for (VstIntPtr channel = 0; channel < 2; ++channel)
            count = static_cast<std::size_t>(query(process.Wrapper(), kQueryReceivedInput, channel, 0.0f,
                                                   inputs[static_cast<std::size_t>(channel)].data()));
        for (auto& input : inputs) input.resize(count);
        return inputs;
    }
    static std::vector<int> processFrames(CWrapperProcess& process) {
        std::vector<int> frames;
        const auto calls = query(process.Wrapper(), kQueryProcessCalls);
        for (VstIntPtr i = 0; i < calls && i < 16; ++i) frames.push_back(static_cast<int>(query(process.Wrapper(), kQueryProcessFrames, i)));
        return frames;
    }

    QuietHost host;
    ProcessFixture fixture;
};

TEST_F(AudioBridge, WithoutAnEffectEveryTypeReturnsItsInputUnchanged) {
    const struct {
        int32_t type, inputs, outputs;
    } cases[] = {{kMonoType, 1, 1}, {kMonoToStereoType, 1, 2}, {kStereoType, 2, 2}, {kOfflineType, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        auto process = make("effect_null_result", c.type);
        Buffers buffers(c.inputs, c.outputs, 70);
        EXPECT_EQ(buffers.render(*process), 70);
        for (std::size_t channel = 0; channel < buffers.out.size(); ++channel)
            EXPECT_EQ(buffers.out[channel], buffers.in[std::min<std::size_t>(channel, buffers.in.size() - 1)]);
    }
}

TEST_F(AudioBridge, EffectIsCalledInBlocksOfTheHostsMaximum) {
    for (int32_t type : {kStereoType, kOfflineType}) {
        SCOPED_TRACE(type);
        auto process = make("effect_plain", type);
        Buffers buffers(type == kOfflineType ? 1 : 2, type == kOfflineType ? 1 : 2, 70);
        EXPECT_EQ(buffers.render(*process), 70);
        EXPECT_EQ(processFrames(*process), (std::vector<int>{32, 32, 6}));
    }
}

TEST_F(AudioBridge, StereoOutputsAreTheEffectsOutputsAndMonoTypesFeedBothInputs) {
    // The test effect halves its first channel and quarters its second.
    auto stereo = make("effect_plain", kStereoType);
    Buffers both(2, 2, 70);
    both.render(*stereo);
    for (std::size_t k = 0; k < 70; ++k) {
        EXPECT_FLOAT_EQ(both.out[0][k], both.in[0][k] * 0.5f);
        EXPECT_FLOAT_EQ(both.out[1][k], both.in[1][k] * 0.25f);
    }
    // 'Rv7s': the mono input reaches both effect inputs, the host gets the second output.
    auto mono = make("effect_plain", kMonoType);
    Buffers one(1, 1, 70);
    one.render(*mono);
    for (std::size_t k = 0; k < 70; ++k) EXPECT_FLOAT_EQ(one.out[0][k], one.in[0][k] * 0.25f) << k;
    const auto monoInputs = received(*mono);
    EXPECT_EQ(monoInputs[0], one.in[0]);
    EXPECT_EQ(monoInputs[1], one.in[0]);
    auto widening = make("effect_plain", kMonoToStereoType);
    Buffers wide(1, 2, 70);
    wide.render(*widening);
    for (std::size_t k = 0; k < 70; ++k) {
        EXPECT_FLOAT_EQ(wide.out[0][k], wide.in[0][k] * 0.5f);
        EXPECT_FLOAT_EQ(wide.out[1][k], wide.in[0][k] * 0.25f);
    }
    const auto wideInputs = received(*widening);
    EXPECT_EQ(wideInputs[0], wide.in[0]);
    EXPECT_EQ(wideInputs[1], wide.in[0]);
}

TEST_F(AudioBridge, SideChainReachesTheThirdAndFourthEffectChannels) {
    // The work arrays carry the side chain, or silence without one, and no effect channel
    // beyond the second leaks into the outputs.
    auto process = make("effect_plain", kStereoType);
    Buffers buffers(2, 2, 40);
    EXPECT_EQ(buffers.render(*process), 40);
    EXPECT_EQ(query(process->Wrapper(), kQuerySideChainSum), 0);
    std::vector<float> sideChain(40, 7.0f);
    EXPECT_EQ(buffers.render(*process, false, sideChain.data()), 40);
    EXPECT_EQ(query(process->Wrapper(), kQuerySideChainSum), 40 * 7 * 2);
    EXPECT_FLOAT_EQ(buffers.out[0][39], buffers.in[0][39] * 0.5f);
    EXPECT_FLOAT_EQ(buffers.out[1][39], buffers.in[1][39] * 0.25f);
}

TEST_F(AudioBridge, BypassDelaysTheInputByTheLatencyWhileTheEffectRuns) {
    auto process = make("effect_latency", kStereoType);
    std::vector<float> left, right, inLeft, inRight;
    for (int call = 0; call < 3; ++call) {
        Buffers buffers(2, 2, 70, 1.0f + 70.0f * static_cast<float>(call));
        EXPECT_EQ(buffers.render(*process, true), 70);
        left.insert(left.end(), buffers.out[0].begin(), buffers.out[0].end());
        right.insert(right.end(), buffers.out[1].begin(), buffers.out[1].end());
        inLeft.insert(inLeft.end(), buffers.in[0].begin(), buffers.in[0].end());
        inRight.insert(inRight.end(), buffers.in[1].begin(), buffers.in[1].end());
    }
    for (std::size_t k = 0; k < left.size(); ++k) {
        const float expected = k < 100 ? 0.0f : 1.0f + static_cast<float>(k - 100);
        ASSERT_EQ(left[k], expected) << k;
        ASSERT_EQ(right[k], k < 100 ? 0.0f : expected + 1000.0f) << k;
    }
    EXPECT_EQ(query(process->Wrapper(), kQueryProcessCalls), 9);  // 3 x (32, 32, 6)
    // The effect was fed the live input, undelayed, all along.
    const auto fed = received(*process);
    EXPECT_EQ(fed[0], inLeft);
    EXPECT_EQ(fed[1], inRight);
}

TEST_F(AudioBridge, LatencyBeyondTheRingsIsReportedAsItIsCompensated) {
    // An effect announcing 70000 samples: the rings hold 65535 at most, and that is the
    // latency the host hears of, the bypass delays by and the offline pass consumes.
    constexpr int32_t kCompensated = 65535;
    auto process = make("effect_latency_beyond_rings", kStereoType);
    int32_t latency = -1;
    EXPECT_EQ(process->Wrapper().GetLatency(), 70000);  // what the effect itself says
    EXPECT_EQ(process->GetLatency(&latency), 0);
    EXPECT_EQ(latency, kCompensated);
    std::vector<float> out, in;
    for (int call = 0; call < 17; ++call) {
        Buffers buffers(2, 2, 4000, 1.0f + 4000.0f * static_cast<float>(call));
        EXPECT_EQ(buffers.render(*process, true), 4000);
        out.insert(out.end(), buffers.out[0].begin(), buffers.out[0].end());
        in.insert(in.end(), buffers.in[0].begin(), buffers.in[0].end());
    }
    for (std::size_t k = 0; k < out.size(); ++k)
        ASSERT_EQ(out[k], k < kCompensated ? 0.0f : in[k - kCompensated]) << k;

    auto offline = make("effect_latency_beyond_rings", kOfflineType);
    EXPECT_EQ(offline->GetLatency(&latency), 0);
    EXPECT_EQ(latency, kCompensated);
    Buffers latencyPass(1, 1, kCompensated), next(1, 1, 100, 1.0f + kCompensated);
    EXPECT_EQ(latencyPass.render(*offline), 0);
    EXPECT_EQ(next.render(*offline), 100);
    for (std::size_t k = 0; k < 100; ++k) ASSERT_FLOAT_EQ(next.out[0][k], next.in[0][k] * 0.25f);
}

TEST_F(AudioBridge, BypassRoutinePassesThroughTheRingsWithoutTheEffect) {
    auto process = make("effect_latency", kMonoType);
    Buffers first(1, 1, 150), second(1, 1, 50, 151.0f);
    process->BypassAudio(first.inPointers.data(), first.outPointers.data(), 150);
    process->BypassAudio(second.inPointers.data(), second.outPointers.data(), 50);
    for (std::size_t k = 0; k < 150; ++k) ASSERT_EQ(first.out[0][k], k < 100 ? 0.0f : static_cast<float>(k - 99)) << k;
    for (std::size_t k = 0; k < 50; ++k) ASSERT_EQ(second.out[0][k], static_cast<float>(k + 51)) << k;
    EXPECT_EQ(query(process->Wrapper(), kQueryProcessCalls), 0);
}

TEST_F(AudioBridge, OfflineFirstPassConsumesTheLatency) {
    // Exactly the latency: all consumed, nothing out; then every sample comes out.
    auto exact = make("effect_latency64", kOfflineType);
    Buffers latencyPass(1, 1, 64), next(1, 1, 100, 65.0f);
    EXPECT_EQ(latencyPass.render(*exact), 0);
    EXPECT_EQ(next.render(*exact), 100);
    for (std::size_t k = 0; k < 100; ++k) ASSERT_FLOAT_EQ(next.out[0][k], next.in[0][k] * 0.25f);

    // A longer first pass drops only the latency's worth of output and keeps the rest.
    auto longer = make("effect_latency64", kOfflineType);
    Buffers pass(1, 1, 200);
    EXPECT_EQ(longer.get()->RenderAudio(pass.inPointers.data(), pass.outPointers.data(), nullptr, 200, false), 136);
    for (std::size_t k = 0; k < 136; ++k) ASSERT_FLOAT_EQ(pass.out[0][k], pass.in[0][k + 64] * 0.25f) << k;
    EXPECT_EQ(query(longer->Wrapper(), kQueryProcessCalls), 7);  // every input sample reached the effect

    // Bypassed offline passes copy the input straight through.
    auto bypassed = make("effect_latency64", kOfflineType);
    Buffers straight(1, 1, 30);
    EXPECT_EQ(straight.render(*bypassed, true), 30);
    EXPECT_EQ(straight.out[0], straight.in[0]);
}

TEST_F(AudioBridge, EffectSeesAFixedTransport) {
    auto process = make("effect_plain", kStereoType);
    for (int call = 0; call < 3; ++call) {
        Buffers buffers(2, 2, 50);
        buffers.render(*process);
        EXPECT_EQ(query(process->Wrapper(), kQueryTimeTempoMilli), 120000);
        EXPECT_EQ(query(process->Wrapper(), kQueryTimePpqMilli), 0);
        EXPECT_EQ(query(process->Wrapper(), kQueryTimeSignature), 404);
        EXPECT_EQ(query(process->Wrapper(), kQueryTimeFlags), kVstPpqPosValid | kVstTempoValid);
    }
}

TEST_F(AudioBridge, SampleRateChangesSuspendSetAndResume) {
    auto process = make("effect_latency", kStereoType);
    process->SetSampleRate(96000.0);
    EXPECT_EQ(query(process->Wrapper(), kQuerySampleRate), 96000);
    EXPECT_EQ(query(process->Wrapper(), kQueryMains), 1);
    process->SetSampleRate(0.0);
    EXPECT_EQ(query(process->Wrapper(), kQuerySampleRate), 44100);
    int32_t latency = -1;
    EXPECT_EQ(process->GetLatency(&latency), 0);
    EXPECT_EQ(latency, 100);
}

// Each event goes with the effect block that holds its sample, with its offset counted
// from that block's start, so no effect call sees an offset beyond its own length;
// offsets past the host call belong to its last sample.
TEST_F(AudioBridge, HostMidiReachesTheEffectInTheBlockOfItsSample) {
    auto process = make("effect_plain", kStereoType);
    auto& midi = dynamic_cast<CEffectProcessMIDI&>(*process);
    const HPMidiEvent events[] = {{{0xB0, 7, 100, 0}, 5}, {{0xB0, 7, 50, 0}, 40}, {{0xB1, 1, 2, 0}, 500}};
    midi.SetBufferedMidi(events, 3);
    Buffers buffers(2, 2, 70);
    buffers.render(*process);
    midi.SetBufferedMidi(nullptr, 0);
    ASSERT_EQ(query(process->Wrapper(), kQueryMidiBatches), 3);
    EXPECT_EQ(query(process->Wrapper(), kQueryMidiBatchAtCall, 0), 0);
    EXPECT_EQ(query(process->Wrapper(), kQueryMidiBatchAtCall, 1), 1);
    EXPECT_EQ(query(process->Wrapper(), kQueryMidiBatchAtCall, 2), 2);
    EXPECT_EQ(query(process->Wrapper(), kQueryMidiEventBytes, 0), 0xB0076400);
    EXPECT_EQ(query(process->Wrapper(), kQueryMidiEventDelta, 0), 5);
    EXPECT_EQ(query(process->Wrapper(), kQueryMidiEventDelta, 1), 8);   // sample 40 in the block from 32
    EXPECT_EQ(query(process->Wrapper(), kQueryMidiEventDelta, 2), 5);   // beyond the call: its last sample
    EXPECT_EQ(query(process->Wrapper(), kQueryMidiEventBytes, 2), 0xB1010200);
}

}  // namespace
}  // namespace ruvane::testing
