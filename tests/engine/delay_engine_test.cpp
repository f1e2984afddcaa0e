// The engine through its public interface: parameter mapping and its rewrites, tempo sync,
// the signal path (delay, feedback, fades, filter positions, modulation, bypass, mono),
// lifecycle, and robustness against any parameter value, block size and sample rate.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "effect/engine/delay_engine.h"
#include "effect/engine/parameters.h"
#include "effect/engine/state_variable_filter.h"
#include "engine_test_support.h"

namespace ruvane {
namespace {

using test::kOff;
using test::kOn;

HostTime tempo(double bpm) {
    HostTime t;
    t.tempoValid = true;
    t.tempoBpm = bpm;
    return t;
}

class RecordingListener : public EngineListener {
public:
    void tempoChanged(float bpm) override {
        ++calls;
        last = bpm;
    }
    int calls = 0;
    float last = 0.0f;
};

// ---------------------------------------------------------------------------------------
// Parameters

// Values reach the engine already limited to 0..1 by the effect (plug-in tests cover
// what hosts may send); it keeps them exactly and ignores indices it does not have.
TEST(EngineParameters, ValuesAreKeptAsGivenAndUnknownIndicesIgnored) {
    DelayEngine e;
    for (float value : {0.37f, 0.0f, 1.0f, std::numeric_limits<float>::denorm_min()}) {
        e.setParameter(kMainMix, value);
        EXPECT_EQ(e.getParameter(kMainMix), value);
    }
    e.setParameter(-1, 0.5f);  // ignored, no crash
    e.setParameter(kNumSoundParameters, 0.5f);
    EXPECT_EQ(e.getParameter(kNumSoundParameters), 0.0f);
}

TEST(EngineParameters, DisplayQuantities) {
    DelayEngine e;
    e.setParameter(kFltCutoff, 1.0f);
    EXPECT_FLOAT_EQ(e.cutoffHz(), 16000.0f);
    e.setParameter(kFltCutoff, 0.0f);
    EXPECT_FLOAT_EQ(e.cutoffHz(), 50.0f);
    e.resume(22050.0, 1024, {});
    e.setParameter(kFltCutoff, 1.0f);
    EXPECT_FLOAT_EQ(e.cutoffHz(), 11025.0f);  // half the rate when that is lower

    e.setParameter(kModLfoMode, kOff);
    e.setParameter(kModLfoRate, 0.0f);
    EXPECT_FLOAT_EQ(e.lfoRateHz(), 0.01f);
    e.setParameter(kModLfoRate, 0.5f);
    EXPECT_FLOAT_EQ(e.lfoRateHz(), 3.0f);
    e.setParameter(kModLfoRate, 1.0f);
    EXPECT_FLOAT_EQ(e.lfoRateHz(), 15.0f);
}

// ---------------------------------------------------------------------------------------
// Tempo sync

TEST(TempoSync, SyncedDelayIsAFractionOfAWholeNoteCutAt5000Ms) {
    DelayEngine e;
    e.setParameter(kDlyLMode, kOn);
    e.setParameter(kDlyLNum, switchValue(0, 5));  // 1
    e.setParameter(kDlyLDen, switchValue(3, 13));  // 4
    EXPECT_FLOAT_EQ(e.delayTimeMs(0), 500.0f);     // a quarter at 120 BPM
    EXPECT_FALSE(e.isSyncValueOutOfRange(kSyncLeftDelay));

    e.setParameter(kDlyRNum, switchValue(0, 5));
    e.setParameter(kDlyRDen, switchValue(3, 13));
    e.setTempoNormalised(0.0f);  // 30 BPM
    EXPECT_FLOAT_EQ(e.tempoBpm(), 30.0f);
    e.setParameter(kDlyLNum, switchValue(4, 5));  // 9
    e.setParameter(kDlyLDen, switchValue(0, 13));  // 1: 72000 ms
    EXPECT_FLOAT_EQ(e.delayTimeMs(0), 5000.0f);
    EXPECT_TRUE(e.isSyncValueOutOfRange(kSyncLeftDelay));
    EXPECT_FALSE(e.isSyncValueOutOfRange(kSyncRightDelay));
    EXPECT_FLOAT_EQ(e.delayTimeMs(1), 2000.0f);  // the free line is untouched
}

TEST(TempoSync, SyncedLfoRateIsClampedTo15Hz) {
    DelayEngine e;
    e.setParameter(kModLfoMode, kOn);
    e.setParameter(kModLfoNum, switchValue(0, 5));   // 1
    e.setParameter(kModLfoDen, switchValue(3, 13));  // 4
    EXPECT_FLOAT_EQ(e.lfoRateHz(), 2.0f);            // 4 x 120 / 240
    EXPECT_FALSE(e.isSyncValueOutOfRange(kSyncLfo));
    e.setTempoNormalised(1.0f);                       // 400 BPM
    e.setParameter(kModLfoDen, switchValue(12, 13));  // 96: 160 Hz ideal
    EXPECT_FLOAT_EQ(e.lfoRateHz(), 15.0f);
    EXPECT_TRUE(e.isSyncValueOutOfRange(kSyncLfo));
    e.setParameter(kModLfoMode, kOff);
    e.setParameter(kModLfoRate, 0.5f);
    EXPECT_FLOAT_EQ(e.lfoRateHz(), 3.0f);  // free mode ignores the sync
}

TEST(TempoSync, HostTempoOutsideTheRangeIsIgnoredWhilePlayingAndClampedAtResume) {
    DelayEngine e;
    RecordingListener listener;
    e.setListener(&listener);
    e.setParameter(kDlyLMode, kOn);
    std::vector<float> in(64, 0.0f), out(64);
    e.process(in.data(), in.data(), out.data(), out.data(), 64, tempo(401.0));
    EXPECT_FLOAT_EQ(e.tempoBpm(), 120.0f);
    e.process(in.data(), in.data(), out.data(), out.data(), 64, tempo(150.0));
    EXPECT_FLOAT_EQ(e.tempoBpm(), 150.0f);
    EXPECT_FLOAT_EQ(e.getTempoNormalised(), 120.0f / 370.0f);
    EXPECT_FLOAT_EQ(listener.last, 150.0f);
    EXPECT_FLOAT_EQ(e.delayTimeMs(0), 240000.0f / 150.0f);  // 1/1 follows the tempo
    const int calls = listener.calls;
    e.process(in.data(), in.data(), out.data(), out.data(), 64, tempo(150.0));
    EXPECT_EQ(listener.calls, calls);  // unchanged tempo: no resync
    e.resume(44100.0, 1024, tempo(401.0));
    EXPECT_FLOAT_EQ(e.tempoBpm(), 400.0f);
    e.resume(44100.0, 1024, tempo(10.0));
    EXPECT_FLOAT_EQ(e.tempoBpm(), 30.0f);
    EXPECT_FLOAT_EQ(listener.last, 30.0f);
    e.setListener(nullptr);
    e.updateTempoSync(kSyncAll);  // no listener: fine
}

// ---------------------------------------------------------------------------------------
// Delay time, range and mode

TEST(DelayTime, RangeSwitchKeepsTheTimeIfItFitsElseCutsIt) {
    struct Case {
        float ms;
        int newRange;
        float expectedMs, expectedValue;
    };
    const Case cases[] = {
        {2100.0f, 1, 1000.0f, 1.0f},
        {500.0f, 1, 500.0f, 0.5f},
        {500.0f, 0, 100.0f, 1.0f},
        {80.0f, 0, 80.0f, 0.8f},
    };
    for (const Case& c : cases) {
        DelayEngine e;
        e.setParameter(kDlyLRange, switchValue(2, 3));
        e.setParameter(kDlyLTime, c.ms / 5000.0f);
        e.setParameter(kDlyLRange, switchValue(c.newRange, 3));
        EXPECT_NEAR(e.delayTimeMs(0), c.expectedMs, 1e-3f) << c.ms;
        EXPECT_NEAR(e.getParameter(kDlyLTime), c.expectedValue, 1e-6f) << c.ms;
    }
}

TEST(DelayTime, BackToFreeKeepsTheSyncedTimeAndPicksTheRangeByThresholds) {
    struct Case {
        double bpm;
        int expectedRange;
    };
    // 1/2 of a whole note: 1000 ms at 120 BPM exactly, just above 1000 ms a little slower.
    const Case cases[] = {{120.0, 1}, {240000.0 / 2001.0, 2}, {1200.0 / 3.0 / 3.0, 1}};
    for (const Case& c : cases) {
        DelayEngine e;
        e.resume(44100.0, 1024, tempo(c.bpm));
        e.setParameter(kDlyLMode, kOn);
        e.setParameter(kDlyLNum, switchValue(0, 5));
        e.setParameter(kDlyLDen, switchValue(1, 13));
        const float synced = e.delayTimeMs(0);
        e.setParameter(kDlyLMode, kOff);
        EXPECT_EQ(e.delayTimeMs(0), synced);
        EXPECT_EQ(switchPosition(e.getParameter(kDlyLRange), 3), c.expectedRange) << synced;
        EXPECT_FLOAT_EQ(e.getParameter(kDlyLRange), switchValue(c.expectedRange, 3));
        EXPECT_NEAR(e.getParameter(kDlyLTime) * kDelayRangesMs[static_cast<std::size_t>(c.expectedRange)], synced,
                    1e-3f);
    }
}

TEST(DelayTime, TimeChangesWhileSyncedAreNeitherStoredNorApplied) {
    DelayEngine e;
    const float value = e.getParameter(kDlyRTime);
    e.setParameter(kDlyRMode, kOn);
    const float synced = e.delayTimeMs(1);
    e.setParameter(kDlyRTime, 0.05f);
    EXPECT_EQ(e.getParameter(kDlyRTime), value);
    EXPECT_EQ(e.delayTimeMs(1), synced);
}

// ---------------------------------------------------------------------------------------
// Signal path

TEST(SignalPath, ZeroMsDelayOutputsTheInputAtOnceAndLoopsInOneSample) {
    DelayEngine e;
    test::setPlain(e, 0.0f, 0.0f);
    e.suspend();
    auto in = test::impulse(16, 3, 0.5f);
    auto out = test::run(e, in, in);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(out.left[i], in[i], 1e-6f) << i;

    e.setParameter(kDlyLFb, 1.0f);
    e.setParameter(kDlyRFb, 1.0f);
    e.suspend();
    out = test::run(e, in, in);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(out.left[i], i < 3 ? 0.0f : 0.5f, 1e-5f) << i;  // recirculates every sample
        EXPECT_NEAR(out.right[i], out.left[i], 1e-6f) << i;
    }
}

TEST(SignalPath, FeedbackIsHardLimitedToOneWithoutDrive) {
    DelayEngine e;
    test::setPlain(e, 1.0f, 1.0f);  // 44 samples
    e.setParameter(kDlyLFb, 1.0f);
    e.setParameter(kDlyRFb, 1.0f);
    e.setParameter(kDlyRFbInv, kOn);
    e.suspend();
    const auto in = test::impulse(400, 0, 3.0f);
    const auto out = test::run(e, in, in);
    // The loop is the line plus one sample: the feedback is the previous sample's output.
    EXPECT_NEAR(out.left[44], 3.0f, 1e-5f);  // the first repeat is the line output itself
    for (std::size_t i : {89u, 134u, 179u, 224u}) {
        EXPECT_NEAR(out.left[i], 1.0f, 1e-5f) << i;  // later ones passed the limit at the feedback point
        EXPECT_NEAR(std::fabs(out.right[i]), 1.0f, 1e-5f) << i;
    }
    EXPECT_LT(out.right[89], 0.0f);  // inverted feedback alternates the sign
    EXPECT_GT(out.right[134], 0.0f);
}

TEST(SignalPath, FeedbackPanCrossesBetweenTheLines) {
    DelayEngine e;
    test::setPlain(e, 1.0f, 2.0f);  // 44 and 88 samples
    e.setParameter(kDlyLFb, 1.0f);
    e.setParameter(kDlyLFbPan, 1.0f);  // the left line feeds the right line
    e.suspend();
    const auto silent = std::vector<float>(300, 0.0f);
    const auto out = test::run(e, test::impulse(300, 0, 0.5f), silent);
    EXPECT_NEAR(out.left[44], 0.5f, 1e-6f);
    EXPECT_NEAR(out.right[44 + 1 + 88], 0.5f, 1e-5f);
    EXPECT_NEAR(out.left[88], 0.0f, 1e-6f);
}

TEST(SignalPath, TimeChangeFadesOnlyItsOwnLineAndJumpsAtTheBottom) {
    const float rate = 44100.0f;
    DelayEngine e;
    test::setPlain(e, 10.0f, 10.0f);  // 441 samples
    e.suspend();
    e.setParameter(kDlyLTime, 0.02f);  // 20 ms: 882 samples, after the fade
    std::vector<float> in(6000, 0.0f);
    in[100] = 1.0f;
    in[4000] = 1.0f;
    const auto out = test::run(e, in, in);
    const double c = std::pow(0.001, 10.0 / rate);
    // The old read position holds during the fall: the first impulse comes out faded.
    EXPECT_NEAR(out.left[541], std::pow(c, 542), 1e-4);
    EXPECT_EQ(out.right[541], 1.0f);
    // After the jump the new time applies, fading back in; the right line never changed.
    EXPECT_EQ(out.left[4441], 0.0f);
    EXPECT_GT(out.left[4882], 0.0015f);
    EXPECT_LT(out.left[4882], 0.01f);
    EXPECT_EQ(out.right[4441], 1.0f);
    EXPECT_EQ(out.right[4882], 0.0f);
}

TEST(SignalPath, BypassIsBitIdenticalToTheInputWhileEverythingRuns) {
    DelayEngine e;
    for (int p : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn, kMainBypass}) e.setParameter(p, kOn);
    e.setParameter(kDlyLFb, 0.9f);
    e.setParameter(kMainOut, 1.0f);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> l(5000), r(5000);
    for (auto& v : l) v = noise(random);
    for (auto& v : r) v = noise(random);
    l[7] = 1e-40f;  // even a denormal passes untouched
    const auto out = test::run(e, l, r, 100);
    EXPECT_EQ(std::memcmp(out.left.data(), l.data(), l.size() * sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(out.right.data(), r.data(), r.size() * sizeof(float)), 0);
}

TEST(SignalPath, MonoInputFeedsBothLinesAndMonoOutputAveragesThem) {
    DelayEngine stereo, mono;
    for (DelayEngine* e : {&stereo, &mono}) {
        test::setPlain(*e, 1.0f, 3.0f);
        e->setParameter(kMainMix, 0.5f);
        e->suspend();
    }
    const auto in = test::impulse(256, 10);
    std::vector<float> sl(256), sr(256), m(256);
    stereo.process(in.data(), in.data(), sl.data(), sr.data(), 256, {});
    mono.process(in.data(), in.data(), m.data(), nullptr, 256, {});
    EXPECT_NEAR(sl[10 + 44], 0.5f, 1e-6f);
    EXPECT_NEAR(sr[10 + 132], 0.5f, 1e-6f);
    for (std::size_t i = 0; i < 256; ++i) EXPECT_FLOAT_EQ(m[i], 0.5f * (sl[i] + sr[i])) << i;
}

TEST(SignalPath, ZeroFrameCallsChangeNoPerSampleState) {
    DelayEngine a, b;
    for (DelayEngine* e : {&a, &b}) {
        for (int p : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn}) e->setParameter(p, kOn);
        e->setParameter(kDlyLFb, 0.8f);
        e->setParameter(kDlyLTime, 0.01f);
        e->suspend();
    }
    std::mt19937 random(9);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> in(64), outA(64), outA2(64), outB(64), outB2(64);
    for (int block = 0; block < 50; ++block) {
        for (auto& v : in) v = noise(random);
        a.process(in.data(), in.data(), outA.data(), outA2.data(), 64, {});
        b.process(in.data(), in.data(), outB.data(), outB2.data(), 0, {});
        b.process(in.data(), in.data(), outB.data(), outB2.data(), 64, {});
        b.process(nullptr, nullptr, nullptr, nullptr, 0, {});
        ASSERT_EQ(std::memcmp(outA.data(), outB.data(), sizeof(float) * 64), 0) << block;
    }
    // The block-start steps still run: a 0-frame call takes the host tempo.
    b.process(in.data(), in.data(), outB.data(), outB2.data(), 0, tempo(90.0));
    EXPECT_FLOAT_EQ(b.tempoBpm(), 90.0f);
}

TEST(SignalPath, FilterPositions) {
    const auto configure = [](DelayEngine& e, int position, float mix, float feedback) {
        test::setPlain(e, 5.0f, 5.0f);  // 220 samples
        e.setParameter(kFltOn, kOn);
        e.setParameter(kFltMode, switchValue(position, 3));
        e.setParameter(kFltType, switchValue(1, 3));  // band-pass: below unity gain everywhere
        e.setParameter(kFltCutoff, 0.5f);              // about 1 kHz
        e.setParameter(kMainMix, mix);
        e.setParameter(kDlyLFb, feedback);
        e.suspend();
    };
    const auto in = test::impulse(3000, 0);
    // Dry only: only "in" filters what is heard dry.
    for (int position : {0, 1, 2}) {
        DelayEngine e;
        configure(e, position, 0.0f, 0.0f);
        const auto out = test::run(e, in, in);
        if (position == 0)
            EXPECT_LT(out.left[0], 0.5f);
        else
            EXPECT_EQ(out.left[0], 1.0f);
    }
    // Full feedback: in "fx" the repeats stay unfiltered (each period sounds the same),
    // in "fb" every pass through the loop filters them again.
    const auto periodEnergy = [](const std::vector<float>& v, int period) {
        double energy = 0.0;
        const std::size_t loop = 221;  // the line plus the one-sample feedback step
        for (std::size_t i = static_cast<std::size_t>(period) * loop; i < static_cast<std::size_t>(period + 1) * loop; ++i)
            energy += double{v[i]} * v[i];
        return energy;
    };
    DelayEngine fx, fb;
    configure(fx, 2, 1.0f, 1.0f);
    configure(fb, 1, 1.0f, 1.0f);
    const auto outFx = test::run(fx, in, in);
    const auto outFb = test::run(fb, in, in);
    EXPECT_LT(periodEnergy(outFx.left, 1), 0.5);  // the output is filtered (an impulse has energy 1)
    EXPECT_NEAR(periodEnergy(outFx.left, 9), periodEnergy(outFx.left, 2), 0.01 * periodEnergy(outFx.left, 2));
    EXPECT_LT(periodEnergy(outFb.left, 9), 0.5 * periodEnergy(outFb.left, 2));
}

TEST(Modulation, SilentEnvelopeSlowsTheClockBy2PowMinusDepthOverN) {
    DelayEngine e;
    test::setPlain(e, 20.0f, 20.0f);  // 882 samples
    e.setParameter(kVcoOn, kOn);
    e.setParameter(kModOn, kOn);
    e.setParameter(kModSource, 1.0f);  // envelope only
    e.setParameter(kVcoMod, 1.0f);     // depth +1: modulation only, no manual
    e.suspend();
    std::vector<float> in(3000, 0.0f);
    for (std::size_t i = 0; i < 40; ++i) {  // a faint smooth bump hardly moves the envelope
        const double x = (static_cast<double>(i) - 20.0) / 6.0;
        in[i] = 1e-4f * static_cast<float>(std::exp(-x * x));
    }
    const auto out = test::run(e, in, in);
    const double speed = std::pow(2.0, -1.0 / 4.0);  // N = 4 at 44.1 kHz
    EXPECT_NEAR(static_cast<double>(test::peakIndex(out.left)) - 20.0, (882 + 3) / speed, 4.0);

    // Without modulation the clock runs at the manual rate (centre: 1).
    e.setParameter(kModOn, kOff);
    e.suspend();
    const auto plain = test::run(e, in, in);
    EXPECT_NEAR(static_cast<double>(test::peakIndex(plain.left)) - 20.0, 882 + 3, 3.0);
}

TEST(Modulation, SilentEnvelopeMovesTheCutoffByMinusThreeOctavesTimesDepth) {
    // Wet filtered ("fx") output of a faint tone against the same filter at cutoff / 8.
    const float cutoff = 64.0f * std::exp2(8.0f * 0.6f) - 14.0f;
    DelayEngine e;
    test::setPlain(e, 0.0f, 0.0f);
    e.setParameter(kFltOn, kOn);
    e.setParameter(kFltMode, switchValue(2, 3));
    e.setParameter(kFltType, switchValue(0, 3));
    e.setParameter(kFltCutoff, 0.6f);
    e.setParameter(kModOn, kOn);
    e.setParameter(kModSource, 1.0f);
    e.setParameter(kFltMod, 1.0f);  // depth +1
    e.suspend();
    std::vector<float> in(2000);
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = 1e-5f * static_cast<float>(std::sin(0.05 * i));
    const auto out = test::run(e, in, in);

    FilterCoefficients c;
    c.setSampleRate(44100.0f);
    c.update(cutoff / 8.0f, 0.05f);
    StateVariableFilter reference;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const float expected = reference.process(in[i], c, FilterType::LowPass);
        ASSERT_NEAR(out.left[i], expected, 1e-3f * 1e-5f) << i;
    }
}

// ---------------------------------------------------------------------------------------
// Editor queries and lifecycle

TEST(EngineQueries, ChannelsAreLinkedWhenPairsAgreeAndPansMirror) {
    DelayEngine e;
    e.setParameter(kDlyLFbPan, 0.3f);
    e.setParameter(kDlyRFbPan, 0.7f);
    EXPECT_TRUE(e.areChannelsLinked());
    e.setParameter(kDlyRFbPan, 0.3f);
    EXPECT_FALSE(e.areChannelsLinked());
    e.setParameter(kDlyRFbPan, 0.7005f);
    EXPECT_TRUE(e.areChannelsLinked());
    for (int pair : {kDlyLFb, kDlyLFbInv, kDlyLDlyInv, kDlyLMode, kDlyLNum, kDlyLDen, kDlyLRange, kDlyLTime}) {
        DelayEngine f;
        f.setParameter(kDlyLFbPan, 0.0f);
        f.setParameter(kDlyRFbPan, 1.0f);
        ASSERT_TRUE(f.areChannelsLinked());
        f.setParameter(pair, f.getParameter(pair) > 0.5f ? 0.05f : 0.95f);
        EXPECT_FALSE(f.areChannelsLinked()) << pair;
    }
}

TEST(EngineLifecycle, MeterLatencyChangeResizesTheMeterBuffers) {
    DelayEngine e;
    e.resume(44100.0, 1024, {});
    const std::size_t before = e.bufferBytes();
    e.resume(44100.0, 64, {});
    EXPECT_EQ(before - e.bufferBytes(), 2 * (1024 - 64) * sizeof(float));
    e.resume(44100.0, 0, {});  // none reported: 1024
    EXPECT_EQ(e.bufferBytes(), before);

    e.resume(44100.0, 64, {});
    test::setPlain(e);
    e.setParameter(kMainIn, 1.0f);  // x4
    e.suspend();
    const auto in = test::impulse(64, 0, 0.25f);
    std::vector<float> l(64), r(64);
    e.process(in.data(), in.data(), l.data(), r.data(), 63, {});
    EXPECT_EQ(e.takeInputPeaks().left, 0.0f);
    e.process(in.data() + 63, in.data() + 63, l.data(), r.data(), 1, {});
    const InputPeaks peaks = e.takeInputPeaks();
    EXPECT_FLOAT_EQ(peaks.left, 1.0f);
    EXPECT_FLOAT_EQ(peaks.right, 1.0f);
    EXPECT_EQ(e.takeInputPeaks().left, 0.0f);
}

TEST(EngineLifecycle, SampleRatesOutsideTheRangeFallBackTo44100) {
    struct Case {
        double host;
        float expected;
    };
    const Case cases[] = {{4096.0, 4096.0f}, {200000.0, 200000.0f}, {4095.0, 44100.0f},
                          {200001.0, 44100.0f}, {0.0, 44100.0f}, {NAN, 44100.0f}, {96000.0, 96000.0f}};
    DelayEngine e;
    for (const Case& c : cases) {
        e.resume(c.host, 1024, {});
        EXPECT_EQ(e.sampleRate(), c.expected) << c.host;
    }
    e.resume(44100.0, 1024, {});
    const std::size_t at44 = e.bufferBytes();
    e.resume(96000.0, 1024, {});
    EXPECT_GT(e.bufferBytes(), 2 * at44);
}

// ---------------------------------------------------------------------------------------
// Robustness

void expectRecovers(DelayEngine& e) {
    test::setPlain(e, 10.0f, 10.0f);
    e.setParameter(kMainBypass, kOff);
    e.suspend();
    const auto in = test::impulse(static_cast<std::size_t>(e.sampleRate() / 50.0f) + 100, 0);
    const auto out = test::run(e, in, in);
    const double delay = e.sampleRate() / 100.0;
    EXPECT_NEAR(static_cast<double>(test::peakIndex(out.left)), delay, 1.0) << e.sampleRate();
    EXPECT_NEAR(out.left[test::peakIndex(out.left)], 1.0f, 1e-4f) << e.sampleRate();
    EXPECT_NEAR(out.right[test::peakIndex(out.right)], 1.0f, 1e-4f) << e.sampleRate();
}

// The effect limits every value to 0..1 before the engine sees it (NaN, infinities and
// values outside are the plug-in tests' business); here the edges of that range.
TEST(EngineRobustness, RandomAutomationOfEveryParameterNeverYieldsNaNOrSticks) {
    const float specials[] = {0.0f, -0.0f, 1.0f, std::nextafter(1.0f, 0.0f), std::numeric_limits<float>::denorm_min(),
                              0.5f};
    for (unsigned seed : {1u, 2u, 3u}) {
        DelayEngine e;
        HostTime time = tempo(120.0);
        time.positionValid = true;
        e.resume(44100.0, 512, time);
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        std::uniform_int_distribution<int> index(0, kNumSoundParameters - 1);
        std::vector<float> l(256), r(256), ol(256), orr(256);
        for (int block = 0; block < 4 * 44100 / 256; ++block) {
            for (int k = 0; k < 6; ++k) {
                const float v = unit(random) < 0.2f ? specials[random() % std::size(specials)] : unit(random);
                e.setParameter(index(random), v);
            }
            if (block % 50 == 0) {
                for (int p : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn}) e.setParameter(p, kOn);
                e.setParameter(kMainBypass, kOff);
            }
            const float level = block % 40 < 20 ? 4.0f : 0.0f;
            // Every other block the host input itself is broken (NaN, huge); bypass, which
            // passes the input untouched, is off for those.
            const bool brokenInput = block % 2 == 1;
            if (brokenInput) e.setParameter(kMainBypass, kOff);
            for (std::size_t i = 0; i < l.size(); ++i) {
                l[i] = level * (unit(random) * 2.0f - 1.0f);
                r[i] = brokenInput && i % 97 == 0 ? (i % 2 == 0 ? NAN : 1e38f) : level * (unit(random) * 2.0f - 1.0f);
            }
            time.ppqPosition = block * 256.0 / 22050.0;
            e.process(l.data(), r.data(), ol.data(), orr.data(), 256, time);
            ASSERT_TRUE(test::allFinite(ol)) << seed << " block " << block;
            ASSERT_TRUE(test::allFinite(orr)) << seed << " block " << block;
        }
        expectRecovers(e);
    }
}

TEST(EngineRobustness, EveryBlockSizeAndSampleRateProcesses) {
    const double rates[] = {4096.0, 11025.0, 27999.0, 28000.0, 32000.0, 44100.0, 96000.0, 192000.0, 200000.0};
    const int blocks[] = {0, 1, 2, 3, 64, 1000, 8192};
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> l(8192), r(8192), ol(8192), orr(8192);
    for (auto& v : l) v = noise(random);
    for (auto& v : r) v = noise(random);
    for (double rate : rates) {
        DelayEngine e;
        for (int p : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn}) e.setParameter(p, kOn);
        e.setParameter(kDlyLFb, 1.0f);
        e.setParameter(kDlyRFb, 1.0f);
        e.setParameter(kFltRes, 1.0f);
        e.setParameter(kVcoManual, 1.0f);
        e.resume(rate, 256, tempo(133.0));
        for (int frames : blocks) {
            ol.assign(ol.size(), NAN);
            e.process(l.data(), r.data(), ol.data(), orr.data(), frames, {});
            for (int i = 0; i < frames; ++i) {
                ASSERT_TRUE(std::isfinite(ol[static_cast<std::size_t>(i)])) << rate << " " << frames;
                ASSERT_TRUE(std::isfinite(orr[static_cast<std::size_t>(i)])) << rate << " " << frames;
            }
            if (frames < 8192) {
                EXPECT_TRUE(std::isnan(ol[static_cast<std::size_t>(frames)]));  // nothing past the block
            }
        }
        expectRecovers(e);
    }
}

}  // namespace
}  // namespace ruvane
