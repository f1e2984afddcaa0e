// The processing blocks on their own: smoothing, fast maths, delay line and its fade,
// anti-alias filter, clocked delay, LFO, envelope, state-variable filter, drive, meter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "effect/engine/anti_alias_filter.h"
#include "effect/engine/clocked_delay.h"
#include "effect/engine/delay_line.h"
#include "effect/engine/drive.h"
#include "effect/engine/dsp_math.h"
#include "effect/engine/envelope_follower.h"
#include "effect/engine/input_meter.h"
#include "effect/engine/lfo.h"
#include "effect/engine/modulated_clock_rate.h"
#include "effect/engine/smoother.h"
#include "effect/engine/state_variable_filter.h"

namespace ruvane {
namespace {

constexpr double kPiD = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------
// Smoothing

TEST(Smoother, CoefficientIsThirtyHertzOnePoleAtEveryRate) {
    for (float rate : {4096.0f, 44100.0f, 96000.0f, 200000.0f}) {
        Smoother s;
        s.setSampleRate(rate);
        EXPECT_NEAR(s.coefficient(), std::exp(-2.0 * kPiD * 30.0 / rate), 1e-6) << rate;
    }
}

TEST(Smoother, ApproachesTargetExponentiallyAndSettles) {
    Smoother s;
    s.setSampleRate(44100.0f);
    s.setTarget(1.0f);
    const double a = s.coefficient();
    for (int n = 1; n <= 2000; ++n) {
        const float v = s.process();
        if (n == 1 || n == 100 || n == 2000) {
            EXPECT_NEAR(v, 1.0 - std::pow(a, n), 1e-5) << n;
        }
    }
    s.setTarget(0.25f);
    s.settle();
    EXPECT_EQ(s.value(), 0.25f);
}

TEST(Smoother, AlternatingGuardKeepsSilentStateOutOfDenormalsWithoutDrift) {
    SmootherBank<3> bank;
    bank.setSampleRate(44100.0f);
    bank.setValue(0, 1.0f);
    bank.setTarget(0, 0.0f);
    AlternatingGuard guard(kSmootherGuard);
    for (int n = 0; n < 200000; ++n) {
        bank.process(guard.next());
        const float v = std::fabs(bank.value(0));
        ASSERT_TRUE(v == 0.0f || v >= 1e-30f) << n;  // never denormal
    }
    EXPECT_LT(std::fabs(bank.value(0)), 1e-9f);  // the guard does not accumulate
}

// ---------------------------------------------------------------------------------------
// Fast maths

TEST(FastMath, Exp2IsAccurateToOnePartInAMillion) {
    for (double x = -30.0; x <= 30.0; x += 0.0137) {
        const double exact = std::exp2(x);
        ASSERT_NEAR(fastExp2(static_cast<float>(x)) / exact, 1.0, 1e-6) << x;
    }
    EXPECT_EQ(fastExp2(0.0f), 1.0f);
    // A hair below a whole number the nearest float is the whole number's power.
    for (float x : {-1e-30f, -1e-12f, -1.25e-8f, -2.9e-8f, 1e-30f, 2.9e-8f}) {
        EXPECT_EQ(fastExp2(x), 1.0f) << x;
        EXPECT_EQ(laneOf<0>(fastExp2x4(_mm_set1_ps(x))), 1.0f) << x;
    }
    EXPECT_EQ(fastExp2(-3.0f), 0.125f);
}

// The scalar power returns 1 early for tiny exponents; the four-lane one always runs the
// polynomial. Across the early return's edge they must agree bit for bit.
TEST(FastMath, Exp2ShortCutNearZeroChangesNoResult) {
    const float edge = 1.0f / (1 << 25);
    std::vector<float> exponents{edge, std::nextafter(edge, 0.0f), std::nextafter(edge, 1.0f)};
    for (float x = 1.0f / (1 << 27); x < 1.0f / (1 << 20); x *= 1.0001f) exponents.push_back(x);
    for (float x : exponents)
        for (float y : {x, -x}) ASSERT_EQ(fastExp2(y), laneOf<0>(fastExp2x4(_mm_set1_ps(y)))) << y;
}

TEST(FastMath, Exp2SaturatesInsteadOfOverflowing) {
    for (float x : {1000.0f, -1000.0f, INFINITY, -INFINITY, NAN}) {
        const float y = fastExp2(x);
        EXPECT_TRUE(std::isfinite(y)) << x;
        EXPECT_GT(y, 0.0f) << x;
    }
}

TEST(FastMath, SineOverTheFilterRange) {
    for (double x = 0.0; x <= kPiD / 4; x += 0.001)
        ASSERT_NEAR(sinSmallAngle(static_cast<float>(x)), std::sin(x), 1e-6 * std::sin(x) + 1e-9) << x;
}

TEST(FastMath, FlushZeroesOnlyVanishingValues) {
    EXPECT_EQ(flush(1e-30f), 0.0f);
    EXPECT_EQ(flush(-1e-38f), 0.0f);
    EXPECT_EQ(flush(0.5f), 0.5f);
    EXPECT_NEAR(flush(1e-12f), 1e-12f, 1e-18f);
}

// ---------------------------------------------------------------------------------------
// Delay line

// Block reads and writes (the clocked delay's natural-clock runs) give what sample-by-sample
// processing gives, across the buffer's wrap too, as long as the reads stay behind the writes.
TEST(DelayLine, BlockReadsAndWritesEqualProcessAcrossTheWrap) {
    DelayLine perSample, blockWise;
    for (DelayLine* line : {&perSample, &blockWise}) {
        line->setSampleRate(4096.0f);  // 20481 samples: a few wraps in the run below
        line->setDistance(700);
    }
    std::vector<float> in(97), out(97);
    float value = 0.0f;
    for (int block = 0; block < 900; ++block) {
        const int frames = 1 + block % 97;
        for (int n = 0; n < frames; ++n) in[static_cast<std::size_t>(n)] = value += 1.0f;
        blockWise.readBlock(out.data(), frames);
        blockWise.writeBlock(in.data(), frames);
        for (int n = 0; n < frames; ++n)
            ASSERT_EQ(out[static_cast<std::size_t>(n)], perSample.process(in[static_cast<std::size_t>(n)])) << block;
        ASSERT_EQ(blockWise.distance(), perSample.distance());
    }
}

TEST(DelayLine, HoldsFiveSecondsPlusOneSample) {
    for (float rate : {44100.0f, 96000.0f}) {
        DelayLine line;
        line.setSampleRate(rate);
        EXPECT_EQ(line.length(), static_cast<int>(5 * rate) + 1);
        EXPECT_EQ(line.distanceFor(5000.0f), static_cast<int>(5 * rate));
        EXPECT_EQ(line.distanceFor(1e9f), line.length() - 1);
        EXPECT_EQ(line.distanceFor(-5.0f), 0);
    }
}

TEST(DelayLine, DelaysByItsDistanceAndZeroReadsTheSampleJustWritten) {
    DelayLine line;
    line.setSampleRate(44100.0f);
    for (int distance : {0, 1, 441}) {
        line.clear();
        line.setDistance(distance);
        for (int n = 0; n < 600; ++n) {
            const float out = line.process(n == 5 ? 1.0f : 0.0f);
            EXPECT_EQ(out, n == 5 + distance ? 1.0f : 0.0f) << distance << " " << n;
        }
    }
}

TEST(DelayLine, FadeFallsSixtyDecibelsIn100MsThenJumpsAndRises) {
    const float rate = 44100.0f;
    DelayLine line;
    line.setSampleRate(rate);
    line.setDistance(100);
    EXPECT_NEAR(line.fadeCoefficient(), std::pow(0.001, 10.0 / rate), 1e-7);
    line.startTimeChange();
    int samples = 0;
    while (line.timeChangePending()) {
        EXPECT_EQ(line.distance(), 100);  // the old position holds until the bottom
        line.fade(300);
        ++samples;
        ASSERT_LT(samples, 10000);
    }
    EXPECT_NEAR(samples, 0.1 * rate, 2.0);
    EXPECT_EQ(line.distance(), 300);
    EXPECT_LE(line.fadeGain(), 0.001f);
    float last = line.fadeGain();
    for (int n = 0; n < 5000; ++n) {
        const float g = line.fade(300);
        EXPECT_GE(g, last);
        last = g;
    }
    EXPECT_EQ(last, 1.0f);
}

// ---------------------------------------------------------------------------------------
// Anti-alias filter

std::complex<double> biquadResponse(const BiquadCoefficients& c, double hz, double rate) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * kPiD * hz / rate);
    return (double{c.b0} + double{c.b1} * z1 + double{c.b2} * z1 * z1) /
           (1.0 + double{c.a1} * z1 + double{c.a2} * z1 * z1);
}

TEST(AntiAliasFilter, ButterworthAt14kHzWhereTheRateAllows) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
        const BiquadCoefficients c = butterworthLowPass(antiAliasDesignHz(rate), rate);
        EXPECT_EQ(antiAliasDesignHz(rate), 14000.0f);
        EXPECT_NEAR(std::abs(biquadResponse(c, 0.0, rate)), 1.0, 1e-5) << rate;
        EXPECT_NEAR(std::abs(biquadResponse(c, 14000.0, rate)), std::sqrt(0.5), 1e-4) << rate;
    }
}

TEST(AntiAliasFilter, LowRatesGetAStableDesignBelowHalfTheRate) {
    for (float rate : {4096.0f, 22050.0f, 28000.0f, 30000.0f}) {
        const float hz = antiAliasDesignHz(rate);
        EXPECT_LT(hz, 0.5f * rate);
        const BiquadCoefficients c = butterworthLowPass(hz, rate);
        EXPECT_LT(std::fabs(c.a2), 0.99f) << rate;  // poles well inside the unit circle
        EXPECT_NEAR(std::abs(biquadResponse(c, 0.0, rate)), 1.0, 1e-5) << rate;
        AntiAliasFilter f;
        f.setSampleRate(rate);
        float y = 0.0f;
        for (int n = 0; n < 2000; ++n) y = f.process(n % 2 == 0 ? 1.0f : -1.0f);  // Nyquist tone
        EXPECT_LT(std::fabs(y), 0.01f) << rate;
    }
}

TEST(AntiAliasFilter, SettledStateHoldsAConstant) {
    AntiAliasFilter f;
    f.setSampleRate(44100.0f);
    f.settleTo(0.3f);
    for (int n = 0; n < 10; ++n) EXPECT_NEAR(f.process(0.3f), 0.3f, 1e-6f);
}

// ---------------------------------------------------------------------------------------
// Clocked delay

struct ClockedRun {
    DelayLine line;
    ClockedDelay vco;
    explicit ClockedRun(int distance) {
        line.setSampleRate(44100.0f);
        line.setDistance(distance);
        vco.reset();
    }
    float step(float in, float rate) {
        vco.pushInput(in);
        return vco.process(line, rate);
    }
};

TEST(ClockedDelay, RateOneIsAPlainDelayPlusInterpolationLatency) {
    ClockedRun run(200);
    std::vector<float> out;
    for (int n = 0; n < 400; ++n) out.push_back(run.step(n == 10 ? 1.0f : 0.0f, 1.0f));
    for (int n = 0; n < 400; ++n) EXPECT_NEAR(out[static_cast<std::size_t>(n)], n == 213 ? 1.0f : 0.0f, 1e-6f) << n;
}

// At rate 1 on the tick the clocked delay takes shortcuts: per sample (process) and
// block-wise (read ahead, ticks after). Both must give what the full arithmetic gives, bit
// for bit, and hand over to it seamlessly when the rate moves and comes back.
TEST(ClockedDelay, NaturalClockShortcutsEqualTheFullArithmeticBitForBit) {
    ClockedRun full(100), perSample(100), blockWise(100);
    std::uint32_t seed = 5;
    auto input = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
    };
    std::vector<float> inputs(40), outputs(40);
    int natural = 0;
    for (int block = 0; block < 60; ++block) {
        // Rate 1, except for a few blocks that move it (the shortcuts resume once the phase
        // has settled again).
        const float rate = block % 20 == 7 ? 1.1f : 1.0f;
        for (float& v : inputs) v = input();
        const bool blockRun = rate == 1.0f && blockWise.vco.atNaturalClock();
        if (blockRun) {
            ++natural;
            blockWise.vco.readNaturalRun(blockWise.line, outputs.data(), 40);
            blockWise.vco.writeNaturalRun(blockWise.line, inputs.data(), 40);
        }
        for (std::size_t n = 0; n < inputs.size(); ++n) {
            full.vco.pushInput(inputs[n]);
            const float expected = full.vco.processAtRate(full.line, rate);
            ASSERT_EQ(perSample.step(inputs[n], rate), expected) << block << " " << n;
            if (!blockRun) outputs[n] = blockWise.step(inputs[n], rate);
            ASSERT_EQ(outputs[n], expected) << block << " " << n;
        }
    }
    EXPECT_GE(natural, 50);
}

TEST(ClockedDelay, RateScalesTheDelayInversely) {
    const int distance = 1000;
    for (float rate : {0.5f, 1.0f, 2.0f}) {
        ClockedRun run(distance);
        std::vector<float> out;
        // A smooth bump (the engine band-limits the line input the same way).
        for (int n = 0; n < 3000; ++n) {
            const double x = (n - 20) / 6.0;
            out.push_back(run.step(static_cast<float>(std::exp(-x * x)), rate));
        }
        std::size_t peak = 0;
        for (std::size_t i = 0; i < out.size(); ++i)
            if (std::fabs(out[i]) > std::fabs(out[peak])) peak = i;
        // The line holds distance + 3 clock periods (interpolation included).
        EXPECT_NEAR(static_cast<double>(peak) - 20.0, (distance + 3) / rate, 2.0) << rate;
        EXPECT_GT(std::fabs(out[peak]), 0.5f) << rate;
    }
}

double frequencyByZeroCrossings(const std::vector<float>& v, std::size_t from, std::size_t to) {
    int crossings = 0;
    std::size_t first = 0, last = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if ((v[i - 1] < 0.0f) != (v[i] < 0.0f)) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : 0.5 * (crossings - 1) / static_cast<double>(last - first);
}

TEST(ClockedDelay, RateChangeBendsThePitchOfWhatIsInTheLine) {
    const int distance = 4000;
    const double f0 = 0.01;  // cycles per sample
    for (float rate : {0.5f, 2.0f}) {
        ClockedRun run(distance);
        std::vector<float> out;
        int n = 0;
        for (; n < 2 * distance; ++n) run.step(static_cast<float>(std::sin(2 * kPiD * f0 * n)), 1.0f);
        // The line is full of the tone clocked at rate 1; read it out at the new rate.
        for (int k = 0; k < distance / 4; ++k, ++n) out.push_back(run.step(0.0f, rate));
        EXPECT_NEAR(frequencyByZeroCrossings(out, 50, out.size()), f0 * rate, 0.02 * f0 * rate) << rate;
    }
}

TEST(ClockedDelay, ExtremeOrInvalidRatesStayBounded) {
    ClockedRun run(10);
    for (float rate : {1e-9f, 1e9f, -3.0f, NAN, INFINITY, 8.0f, 0.125f, 1.0f}) {
        for (int n = 0; n < 100; ++n) {
            const float out = run.step(n % 7 == 0 ? 1.0f : -0.5f, rate);
            ASSERT_TRUE(std::isfinite(out)) << rate;
            ASSERT_LT(std::fabs(out), 20.0f) << rate;
        }
    }
}

// ---------------------------------------------------------------------------------------
// LFO

float lfoValueAt(LfoWave wave, float phase, int settle = 1) {
    Lfo lfo;
    lfo.setSampleRate(44100.0f);
    lfo.reset(0.0f);
    lfo.setPhases(phase, phase, phase);
    for (int n = 0; n < settle; ++n) lfo.process(wave, 0.0f);
    return lfo.left();
}

TEST(Lfo, SineTableSpansOneCycle) {
    Lfo lfo;
    for (int j : {0, 250, 499, 999})
        EXPECT_NEAR(lfo.sineTableEntry(j), std::sin(j / 158.99579), 1e-6) << j;
    EXPECT_NEAR(lfo.sineTableEntry(999), 0.0f, 1e-3f);  // 999 entries make 2 pi
}

TEST(Lfo, EveryWaveAtTheListedPhases) {
    const float pi = 3.14159265f;
    Lfo table;
    struct Case {
        LfoWave wave;
        float phase;
        float expected;
        float tolerance;
    };
    const Case cases[] = {
        {LfoWave::Sine, 0.0f, table.sineTableEntry(499), 0.0f},
        {LfoWave::Sine, pi / 2, -1.0f, 1e-4f},
        {LfoWave::Sine, -pi / 2, 1.0f, 1e-4f},
        {LfoWave::Triangle, pi / 4, 0.5f, 1e-6f},
        {LfoWave::Triangle, 3 * pi / 4, 0.5f, 1e-6f},
        {LfoWave::Triangle, -3 * pi / 4, -0.5f, 1e-6f},
        {LfoWave::Triangle, pi / 2, 1.0f, 1e-6f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(lfoValueAt(c.wave, c.phase), c.expected, c.tolerance)
            << static_cast<int>(c.wave) << " at " << c.phase;
    EXPECT_NEAR(lfoValueAt(LfoWave::Sine, 0.0f), 0.003f, 1e-3f);
}

TEST(Lfo, SquareAndSawAreSmoothedTowardsTheirValues) {
    const float pi = 3.14159265f;
    // One sample moves only (1 - a) of the way from 0...
    const float a = smoothingCoefficient(44100.0f);
    EXPECT_NEAR(lfoValueAt(LfoWave::Square, 0.0f), -(1.0f - a), 1e-6f);
    // ...and held, they settle on the wave's value: square -1 at exactly 0.
    EXPECT_NEAR(lfoValueAt(LfoWave::Square, 0.0f, 20000), -1.0f, 1e-4f);
    EXPECT_NEAR(lfoValueAt(LfoWave::Square, 0.01f, 20000), 1.0f, 1e-4f);
    EXPECT_NEAR(lfoValueAt(LfoWave::Saw, pi / 2, 20000), 0.5f, 1e-4f);
    EXPECT_NEAR(lfoValueAt(LfoWave::Saw, -pi, 20000), -1.0f, 1e-4f);
}

TEST(Lfo, PhasesRunOffsetApartAndWrap) {
    Lfo lfo;
    const float offset = 1.0f;
    lfo.reset(offset);
    EXPECT_FLOAT_EQ(lfo.leftPhase(), -offset);
    EXPECT_FLOAT_EQ(lfo.rightPhase(), offset);
    for (int n = 0; n < 1000; ++n) lfo.process(LfoWave::Sine, 0.01f);
    EXPECT_LE(lfo.rightPhase(), kPi);
    EXPECT_NEAR(wrapPhase(lfo.rightPhase() - lfo.leftPhase()), 2 * offset, 1e-3f);
    lfo.setOffset(0.25f);
    EXPECT_NEAR(wrapPhase(lfo.mainPhase() - lfo.leftPhase()), 0.25f, 1e-5f);
    lfo.restart(0.25f);
    EXPECT_EQ(lfo.mainPhase(), 0.0f);
    EXPECT_FLOAT_EQ(lfo.rightPhase(), 0.25f);
    EXPECT_FLOAT_EQ(wrapPhase(4.0f), 4.0f - kTwoPi);
    EXPECT_FLOAT_EQ(wrapPhase(-4.0f), -4.0f + kTwoPi);
}

int randomChanges(float offset, bool& leftEqualsRight) {
    Lfo lfo;
    lfo.reset(offset);
    const float increment = kTwoPi / 1000.0f;
    float previous = lfo.left();
    int changes = 0;
    leftEqualsRight = true;
    for (int n = 0; n < 4000; ++n) {  // four cycles
        lfo.process(LfoWave::Random, increment);
        EXPECT_GE(lfo.left(), -1.0f);
        EXPECT_LE(lfo.left(), 1.0f);
        if (lfo.left() != lfo.right()) leftEqualsRight = false;
        if (lfo.left() != previous) ++changes;
        previous = lfo.left();
    }
    return changes;
}

TEST(Lfo, RandomDrawsFourValuesPerCycleSharedOnlyWithoutOffset) {
    bool same = false;
    EXPECT_NEAR(randomChanges(0.0f, same), 16, 1);
    EXPECT_TRUE(same);
    EXPECT_NEAR(randomChanges(0.5f, same), 16, 1);
    EXPECT_FALSE(same);
}

TEST(Lfo, RandomTriggerRedrawsOnTheCountdown) {
    Lfo lfo;
    lfo.reset(0.0f);
    lfo.process(LfoWave::Random, 0.0f);  // the first draw; a zero rate never draws again
    const float held = lfo.left();
    lfo.armTrigger(50);
    for (int n = 1; n < 50; ++n) {
        lfo.process(LfoWave::Random, 0.0f);
        ASSERT_EQ(lfo.left(), held) << n;
    }
    lfo.process(LfoWave::Random, 0.0f);
    EXPECT_NE(lfo.left(), held);
}

// ---------------------------------------------------------------------------------------
// Envelope follower

TEST(EnvelopeFollower, SettlesOnSensitivityTimesLevelOverWindow) {
    EnvelopeFollower env;
    const int window = 4;
    env.setSpeed(100.0f, 44100.0f, window);
    EXPECT_NEAR(env.coefficient(), std::exp(-2 * kPiD * 1000.0 / (100.0 * 44100.0)), 1e-6);
    for (int n = 0; n < 44100; ++n) env.process(0.5f, 4.0f);
    EXPECT_NEAR(env.value(), 0.5f * 4.0f / window, 1e-3f);
    for (int n = 0; n < 441000; ++n) env.process(0.0f, 4.0f);
    EXPECT_TRUE(env.value() == 0.0f || env.value() > 1e-30f);  // flushed, never denormal
    EXPECT_LT(env.value(), 1e-20f);
    EXPECT_NEAR(EnvelopeFollower::modulation(env.value(), 1.0f), -1.0f, 1e-6f);
}

// ---------------------------------------------------------------------------------------
// State-variable filter

TEST(FilterCoefficients, ValuesAt44100) {
    FilterCoefficients c;
    c.setSampleRate(44100.0f);
    c.update(16000.0f, 0.05f);
    EXPECT_NEAR(c.f(), 1.0791f, 1e-4f);
    EXPECT_NEAR(c.q(), 1.0543f, 1e-4f);
    EXPECT_NEAR(c.ceilingHz(), 16036.36f, 0.01f);
    c.update(1e9f, 1.0f);  // modulation cannot pass the ceiling
    EXPECT_NEAR(c.f(), 2 * std::sin(kPiD * 16036.36 / 88200.0), 1e-5);
    EXPECT_EQ(c.q(), 0.0f);
}

TEST(FilterCoefficients, DampingIsLimitedByTheStabilityCeiling) {
    FilterCoefficients c;
    c.setSampleRate(44100.0f);
    c.update(16000.0f, 0.05f);
    EXPECT_LE(c.q(), c.qMax());
    EXPECT_NEAR(c.qMax(), 2.0f / c.f() - c.f() / 2.0f, 1e-5f);
    c.update(20.0f, 0.05f);  // a low cutoff: the 2.0 ceiling applies instead
    EXPECT_EQ(c.qMax(), 2.0f);
    c.update(0.0f, 0.05f);
    EXPECT_EQ(c.f(), 0.0f);
    EXPECT_TRUE(std::isfinite(c.q()));
}

double toneGain(FilterType type, float cutoff, double hz) {
    FilterCoefficients c;
    c.setSampleRate(44100.0f);
    c.update(cutoff, 0.05f);
    StateVariableFilter f;
    double peak = 0.0;
    for (int n = 0; n < 44100; ++n) {
        const float y = f.process(0.1f * static_cast<float>(std::sin(2 * kPiD * hz * n / 44100.0)), c, type);
        if (n > 22050) peak = std::max(peak, std::fabs(double{y}));
    }
    return peak / 0.1;
}

TEST(StateVariableFilter, ResponsesPassAndStopWhereTheyShould) {
    EXPECT_GT(toneGain(FilterType::LowPass, 1000.0f, 100.0), 0.9);
    EXPECT_LT(toneGain(FilterType::LowPass, 1000.0f, 10000.0), 0.05);
    EXPECT_LT(toneGain(FilterType::HighPass, 1000.0f, 100.0), 0.05);
    EXPECT_GT(toneGain(FilterType::HighPass, 1000.0f, 10000.0), 0.9);
    EXPECT_LT(toneGain(FilterType::BandPass, 1000.0f, 50.0), 0.2);
    EXPECT_LT(toneGain(FilterType::BandPass, 1000.0f, 15000.0), 0.2);
    EXPECT_GT(toneGain(FilterType::BandPass, 1000.0f, 1000.0), 0.5);
}

TEST(StateVariableFilter, AnyResonanceCutoffAndLoudInputStayBounded) {
    for (float resonance : {0.05f, 0.5f, 1.0f}) {
        for (float cutoff : {50.0f, 1000.0f, 12000.0f, 16036.0f}) {
            FilterCoefficients c;
            c.setSampleRate(44100.0f);
            c.update(cutoff, resonance);
            for (FilterType type : {FilterType::LowPass, FilterType::BandPass, FilterType::HighPass}) {
                StateVariableFilter f;
                float late = 0.0f;
                for (int n = 0; n < 30000; ++n) {
                    const float x = n < 10000 ? 4000.0f * static_cast<float>(std::sin(n * 0.05 + n % 3)) : 0.0f;
                    const float y = f.process(x, c, type);
                    ASSERT_TRUE(std::isfinite(y)) << cutoff << " " << resonance;
                    if (n > 29000) late = std::max(late, std::fabs(y));
                }
                EXPECT_LT(late, 10.0f) << cutoff << " " << resonance;  // no runaway once the input stops
            }
        }
    }
}

TEST(StateVariableFilter, SmallSignalsFollowTheCubicRecursionExactly) {
    // At ordinary levels the held share never applies: compare with the plain recursion.
    FilterCoefficients c;
    c.setSampleRate(44100.0f);
    c.update(3000.0f, 0.7f);
    StateVariableFilter f;
    float low = 0.0f, band = 0.0f;
    for (int n = 0; n < 2000; ++n) {
        const float x = static_cast<float>(std::sin(n * 0.3));
        float sum = 0.0f;
        for (int pass = 0; pass < 2; ++pass) {
            low += c.f() * band;
            const float high = x - c.q() * band - low;
            band = c.f() * high + band - 0.075f * band * band * band;
            sum += band;
        }
        ASSERT_NEAR(f.process(x, c, FilterType::BandPass), 0.5f * sum, 1e-5f) << n;
    }
}

// ---------------------------------------------------------------------------------------
// Drive

float driveSteadyState(float input, float drive, int window) {
    Drive d;
    d.setWindowLength(window);
    d.reset();
    float left = 0.0f, right = 0.0f;
    for (int n = 0; n < 64; ++n) {
        left = input;
        right = -input;
        d.process(left, right, drive, true);
    }
    EXPECT_EQ(left, -right);
    return left;
}

TEST(Drive, SteadyStatesFollowTheSoftCurveIntoTheCeiling) {
    struct Case {
        float input, drive, expected;
    };
    const Case cases[] = {
        {1.0f, 1.0f, 0.75f},         // X (1 - X/4)
        {3.0f, 1.0f, 1.0f},          // 1/drive beyond X = 2/drive
        {2.0f, 1.0f, 1.0f},          // the two curves meet
        {0.1f, 16.0f, 0.06f},        // 0.1 (1 - 1.6/4)
        {10.0f, 16.0f, 1.0f / 16.0f},
    };
    for (int window : {2, 4, 16})
        for (const Case& c : cases)
            EXPECT_NEAR(driveSteadyState(c.input, c.drive, window), c.expected, 1e-6f)
                << c.input << " x" << c.drive << " N" << window;
}

TEST(Drive, WindowLengthFollowsTheRateAndGainFollowsTheWindowAverage) {
    EXPECT_EQ(windowLengthFor(22050.0f), 2);
    EXPECT_EQ(windowLengthFor(44100.0f), 4);
    EXPECT_EQ(windowLengthFor(96000.0f), 8);
    EXPECT_EQ(windowLengthFor(192000.0f), 16);
    // A single spike in a quiet 4-sample window is judged by the window's average.
    Drive d;
    d.setWindowLength(4);
    float l = 4.0f, r = 0.0f;
    d.process(l, r, 1.0f, true);
    EXPECT_NEAR(l, 4.0f * (1.0f - 4.0f / 16.0f), 1e-6f);  // A = 1
    // Off: the windows still run but the signal passes.
    float l2 = 4.0f, r2 = 0.0f;
    d.process(l2, r2, 1.0f, false);
    EXPECT_EQ(l2, 4.0f);
    EXPECT_NEAR(d.sumLeft(), 8.0f, 1e-6f);
    d.recomputeSums();
    EXPECT_NEAR(d.sumLeft(), 8.0f, 1e-6f);
}

// ---------------------------------------------------------------------------------------
// Input meter

TEST(InputMeter, ShowsTheInputLatencyMinusOneSamplesLateAndResetsOnTake) {
    InputMeter meter;
    meter.setLength(64);
    meter.process(0.8f, -0.6f);
    for (int n = 1; n < 63; ++n) meter.process(0.0f, 0.0f);
    meter.publish();
    EXPECT_EQ(meter.takeLeft(), 0.0f);
    EXPECT_EQ(meter.takeRight(), 0.0f);
    meter.process(0.0f, 0.0f);  // the 64th sample brings the first one out
    meter.publish();
    EXPECT_EQ(meter.takeLeft(), 0.8f);
    EXPECT_EQ(meter.takeRight(), 0.6f);
    EXPECT_EQ(meter.takeLeft(), 0.0f);
}

}  // namespace
}  // namespace ruvane

// ---------------------------------------------------------------------------------------
// Modulated clock rate

namespace ruvane {
namespace {

// The split rate (power of everything known before the sample, times a short polynomial of
// this sample's input) stays within 1e-6 of 2^(manual + min(1, lfo + (e - 0.5) k) depth)
// over the whole range of its inputs, the limited octave and loud inputs included.
TEST(ModulatedClockRate, StaysWithinOneMillionthOfThePowerItStandsFor) {
    std::uint32_t seed = 77;
    auto uniform = [&seed](double low, double high) {
        seed = seed * 1664525u + 1013904223u;
        return low + (high - low) * static_cast<double>(seed >> 8) / 16777216.0;
    };
    double worst = 0.0;
    for (int n = 0; n < 200000; ++n) {
        const float manual = static_cast<float>(uniform(-2.0, 2.0));
        const float lfo = static_cast<float>(uniform(-1.0, 1.0));
        const float source = static_cast<float>(uniform(0.0, 1.0));
        const float depth = static_cast<float>(uniform(-1.0, 1.0));
        const float scale = 2.0f * source / static_cast<float>(1 << static_cast<int>(uniform(1.0, 4.999)));
        const float sampleRate = static_cast<float>(uniform(4096.0, 200000.0));
        EnvelopeFollower envelope;
        envelope.setSpeed(static_cast<float>(uniform(100.0, 1000.0)), sampleRate, 4);
        const float sensitivity = static_cast<float>(std::exp2(uniform(0.0, 4.0)));
        const float previous = static_cast<float>(uniform(0.0, 3.0));
        const float magnitude = static_cast<float>(n % 10 == 0 ? uniform(0.0, 1000.0) : uniform(0.0, 4.0));

        envelope.process(previous / envelope.weight(), 1.0f);  // from 0 to about `previous`
        const float before = envelope.value();
        const float e = envelope.process(magnitude, sensitivity);
        const float base = fastExp2(
            ModulatedClockRate::baseOctaves(manual, lfo, scale, depth, envelope.coefficient() * before));
        const ModulatedClockRate rate(base, manual, lfo, scale, depth, envelope.weight() * sensitivity);
        const double exact =
            std::exp2(double{manual} + std::min(1.0, double{lfo} + (double{e} - 0.5) * double{scale}) * double{depth});
        const double relative = std::fabs(rate.rate(magnitude, e) / exact - 1.0);
        ASSERT_LE(relative, 1e-6) << "manual " << manual << " lfo " << lfo << " depth " << depth << " m "
                                  << magnitude << " e " << e;
        worst = std::max(worst, relative);
    }
    std::printf("largest relative error of the split clock rate: %.2g\n", worst);
}

}  // namespace
}  // namespace ruvane
