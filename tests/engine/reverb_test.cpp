// The reverb block: taps and buffer sizes, the crossfade, type changes, reset, decay
// and stability, and sample-by-sample agreement with a plain model of the networks.
#include "effect/engine/reverb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace ruvane {
namespace {

using Type = Reverb::Type;

// Deterministic white noise in -amplitude..amplitude.
class Noise {
public:
    explicit Noise(std::uint32_t seed, float amplitude) : state_(seed), amplitude_(amplitude) {}
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return amplitude_ * (static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f);
    }

private:
    std::uint32_t state_;
    float amplitude_;
};

std::unique_ptr<Reverb> makeReverb(float rate, Type type, float damp, float amount) {
    auto reverb = std::make_unique<Reverb>();
    reverb->setSampleRate(rate);
    reverb->setType(type);
    reverb->setDamp(damp);
    reverb->setAmount(amount);
    return reverb;
}

// The networks written out step by step: one read index per buffer and separate write
// indices, all advanced every sample, coefficients recomputed from their definitions.
class ReferenceReverb {
public:
    ReferenceReverb(double rate, Type type, float damp, float amount) : rate_(rate), damp_(damp), amount_(amount) {
        mask_ = rate < 50000 ? 0x7FFF : rate < 100000 ? 0xFFFF : 0x1FFFF;
        for (auto& b : buf_) b.assign(mask_ + 1, 0.0f);
        setType(type);
    }

    void setType(Type type) {
        type_ = type;
        static constexpr double spring[16] = {16383.5, 16383.5, 19756.532854197, 19756.532854197,
                                              23823.961377946, 23823.961377946, 515.4478875, 515.4478875,
                                              427.4463375, 427.4463375, 389.250225, 389.250225,
                                              2606.01705, 2568.42495, 2129.11335, 2160.07155};
        static constexpr double plate[16] = {0, 0, 0, 0, 0, 0, 1591165.52, 1331270.7828, 1647849.1533,
                                             1253039.5703, 1532016.16995, 1462133.98905, 312965.80875,
                                             117255.890325, 228734.139375, 88355.396325};
        const bool isSpring = type == Type::Spring;
        const double scale = isSpring ? rate_ / 303187.5 : rate_ * 44.1 * 5 / 1445024700.0;
        wA_ = wC_ = mask_;
        for (int i = 0; i < 16; ++i)
            rd_[i] = static_cast<std::uint32_t>(std::trunc(mask_ - scale * (isSpring ? spring[i] : plate[i])));
        const double w0 = isSpring ? 5026.4 / rate_ : 12566.0 / rate_;
        const double alpha = std::sin(w0) / (isSpring ? 0.2 : 0.12);
        b0_ = static_cast<float>(alpha / (1 + alpha));
        a1_ = static_cast<float>(-2 * std::cos(w0) / (1 + alpha));
        a2_ = static_cast<float>((1 - alpha) / (1 + alpha));
        k_ = isSpring ? 0.1625f : 0.3f;
        setDamp(damp_);
    }

    void setDamp(float v) {
        damp_ = v;
        const float base = std::pow(0.5f, std::pow(100.0f, v) / 100.0f);
        if (type_ == Type::Spring) {
            g1_ = 0.7f * std::sqrt(0.56f) * base;
            g2_ = 0.3f * std::sqrt(0.56f) * base;
            lp_ = 0.52f * (1 - v) + 0.2f;
        } else {
            g1_ = base;
            g2_ = std::sqrt(std::sqrt(base));
            lp_ = 0.4f * (1 - v) + 0.4f;
        }
    }

    void process(float& left, float& right) {
        const float in = left + right;
        float outL, outR;
        auto at = [&](int b, std::uint32_t i) -> float& { return buf_[b][i & mask_]; };
        auto lowpass = [&](int i, float x) { s_[i] = s_[i] + (x - s_[i]) * lp_; };
        enum { A0, A1, A2, A3, A4, A5, C0, C1, C2, C3, C4, C5, D0, D1, D2, D3 };
        if (type_ == Type::Spring) {
            const float g = 0.7071f;
            lowpass(0, at(A0, rd_[A0]));
            s_[1] = at(A1, rd_[A1]);
            lowpass(2, at(A2, rd_[A2]));
            s_[3] = at(A3, rd_[A3]);
            lowpass(4, at(A4, rd_[A4]));
            s_[5] = at(A5, rd_[A5]);
            float y[6];
            for (int i = 0; i < 6; ++i) {
                y[i] = at(C0 + i, rd_[C0 + i]) - g * s_[i];
                at(C0 + i, wC_) = s_[i] + g * y[i];
            }
            at(A0, wA_) = g1_ * (y[0] + g2_ * y[1]) + in;
            at(A1, wA_) = y[0] + g1_ * y[1];
            at(A2, wA_) = 0.975f * g1_ * (y[2] + g2_ * y[3]) + in;
            at(A3, wA_) = y[2] + 0.975f * g1_ * y[3];
            at(A4, wA_) = 0.95f * g1_ * (y[4] + g2_ * y[5]) + in;
            at(A5, wA_) = y[4] + 0.95f * g1_ * y[5];
            const float l = at(A3, rd_[A1]) + at(A1, wA_) + at(A5, wA_);
            const float r = at(A1, rd_[A1]) + at(A3, wA_) + at(A5, wA_);
            float u = at(D0, rd_[D0]) - g * l;
            at(D0, wC_) = l + g * u;
            float v = at(D2, rd_[D2]) - g * u;
            at(D2, wC_) = u + g * v;
            outL = v;
            u = at(D1, rd_[D1]) - g * r;
            at(D1, wC_) = r + g * u;
            v = at(D3, rd_[D3]) - g * u;
            at(D3, wC_) = u + g * v;
            outR = v;
        } else {
            const float G = 0.7f * g2_, Gp = 0.7f * g1_;
            const float y0 = at(D0, rd_[D0]) - G * in;
            at(D0, wC_) = in + G * y0;
            const float y1 = at(D1, rd_[D1]) + G * y0;
            at(D1, wC_) = y0 - G * y1;
            const float y2 = at(D2, rd_[D2]) - G * y1;
            at(D2, wC_) = y1 + G * y2;
            const float y3 = at(D3, rd_[D3]) + G * y2;
            at(D3, wC_) = y2 - G * y3;
            for (int i = 0; i < 6; ++i) {
                lowpass(i, at(C0 + i, rd_[C0 + i]));
                at(C0 + i, wC_) = i % 2 == 0 ? y3 - Gp * (s_[i] + Gp * y3) : y3 + Gp * (s_[i] - Gp * y3);
            }
            outL = at(C3, rd_[D2]) + at(C0, rd_[D0]) + at(C4, wC_);
            outR = at(C2, rd_[D3]) + at(C1, rd_[D1]) + at(C5, wC_);
        }
        outL = k_ * bandPass(bpL_, outL);
        outR = k_ * bandPass(bpR_, outR);
        left = left + amount_ * (outL - left);
        right = right + amount_ * (outR - right);
        wA_ = (wA_ + 1) & mask_;
        wC_ = (wC_ + 1) & mask_;
        for (auto& r : rd_) r = (r + 1) & mask_;
    }

private:
    struct BandPass {
        float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };
    float bandPass(BandPass& f, float x) {
        const float y = b0_ * x - b0_ * f.x2 - a1_ * f.y1 - a2_ * f.y2;
        f.x2 = f.x1;
        f.x1 = x;
        f.y2 = f.y1;
        f.y1 = (y + 1e-18f) - 1e-18f;
        return y;
    }

    double rate_;
    float damp_, amount_;
    Type type_ = Type::Spring;
    std::uint32_t mask_, wA_ = 0, wC_ = 0, rd_[16] = {};
    std::vector<float> buf_[16];
    float s_[6] = {};
    BandPass bpL_, bpR_;
    float b0_ = 0, a1_ = 0, a2_ = 0, k_ = 0, g1_ = 0, g2_ = 0, lp_ = 0;
};

// ---------------------------------------------------------------------------------------
// Taps and buffers

struct TapCase {
    Type type;
    Reverb::Buffer buffer;
    std::uint32_t samples;
};

TEST(ReverbTaps, DistancesAt44100) {
    const TapCase cases[] = {
        {Type::Spring, Reverb::A0, 2384}, {Type::Spring, Reverb::A1, 2384}, {Type::Spring, Reverb::A2, 2874},
        {Type::Spring, Reverb::A3, 2874}, {Type::Spring, Reverb::A4, 3466}, {Type::Spring, Reverb::A5, 3466},
        {Type::Spring, Reverb::C0, 75},   {Type::Spring, Reverb::C2, 63},   {Type::Spring, Reverb::C5, 57},
        {Type::Spring, Reverb::D0, 380},  {Type::Spring, Reverb::D1, 374},  {Type::Spring, Reverb::D2, 310},
        {Type::Spring, Reverb::D3, 315},  {Type::Plate, Reverb::C0, 10708}, {Type::Plate, Reverb::C1, 8959},
        {Type::Plate, Reverb::C2, 11089}, {Type::Plate, Reverb::C3, 8433},  {Type::Plate, Reverb::C4, 10310},
        {Type::Plate, Reverb::C5, 9840},  {Type::Plate, Reverb::D0, 2107},  {Type::Plate, Reverb::D1, 790},
        {Type::Plate, Reverb::D2, 1540},  {Type::Plate, Reverb::D3, 595},
    };
    Reverb reverb;
    reverb.setSampleRate(44100.0f);
    for (const auto& c : cases) {
        reverb.setType(c.type);
        EXPECT_EQ(reverb.tapDistance(c.buffer), c.samples)
            << (c.type == Type::Spring ? "spring" : "plate") << " buffer " << c.buffer;
    }
}

TEST(ReverbTaps, LongestTapPerType) {
    for (Type type : {Type::Spring, Type::Plate}) {
        const auto reverb = makeReverb(44100.0f, type, 0.0f, 0.0f);
        std::uint32_t longest = 0;
        for (int b = 0; b < Reverb::kBufferCount; ++b)
            longest = std::max(longest, reverb->tapDistance(static_cast<Reverb::Buffer>(b)));
        EXPECT_EQ(longest, type == Type::Spring ? 3466u : 11089u);
    }
}

TEST(ReverbBuffers, MaskFollowsRate) {
    const struct {
        float rate;
        std::uint32_t mask;
    } cases[] = {{22050, 0x7FFF}, {44100, 0x7FFF}, {48000, 0x7FFF},   {49999, 0x7FFF}, {50000, 0xFFFF},
                 {88200, 0xFFFF}, {96000, 0xFFFF}, {100000, 0x1FFFF}, {192000, 0x1FFFF}, {200000, 0x1FFFF}};
    Reverb reverb;
    for (const auto& c : cases) {
        reverb.setSampleRate(c.rate);
        EXPECT_EQ(reverb.mask(), c.mask) << c.rate;
        const std::size_t minimum = 16 * (std::size_t{c.mask} + 1) * sizeof(float);
        EXPECT_GE(reverb.bufferBytes(), minimum) << c.rate;
        EXPECT_LE(reverb.bufferBytes(), minimum + minimum / 100) << c.rate;
    }
}

TEST(ReverbTaps, ScaleWithRateAndSurviveRateChange) {
    for (Type type : {Type::Spring, Type::Plate}) {
        const auto base = makeReverb(44100.0f, type, 0.0f, 0.0f);
        for (float rate : {96000.0f, 192000.0f}) {
            Reverb reverb;
            reverb.setType(type);  // the type must survive the rate change
            reverb.setSampleRate(rate);
            const double ratio = rate / 44100.0;
            for (int b = type == Type::Spring ? 0 : Reverb::C0; b < Reverb::kBufferCount; ++b) {
                const auto buffer = static_cast<Reverb::Buffer>(b);
                const double expected = base->tapDistance(buffer) * ratio;
                EXPECT_NEAR(reverb.tapDistance(buffer), expected, ratio + 1.0) << rate << " buffer " << b;
                EXPECT_LT(reverb.tapDistance(buffer), reverb.mask());
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// The signal

struct ModelCase {
    const char* name;
    float rate;
    Type type;
    float damp;
    float amount;
};

// Test listings show the case by name.
void PrintTo(const ModelCase& c, std::ostream* out) { *out << c.name; }

class ReverbMatchesModel : public testing::TestWithParam<ModelCase> {};

TEST_P(ReverbMatchesModel, SampleBySample) {
    const ModelCase c = GetParam();
    const auto reverb = makeReverb(c.rate, c.type, c.damp, c.amount);
    ReferenceReverb model(c.rate, c.type, c.damp, c.amount);
    Noise noise(7, 0.5f);
    const Type other = c.type == Type::Spring ? Type::Plate : Type::Spring;
    const int samples = static_cast<int>(c.rate);  // one second; the type flips halfway, damp at 3/4
    double energy = 0.0;
    for (int n = 0; n < samples; ++n) {
        if (n == samples / 2) {
            reverb->setType(other);
            model.setType(other);
        }
        if (n == samples * 3 / 4) {
            reverb->setDamp(0.3f);
            model.setDamp(0.3f);
        }
        // Bursts with silence between, so tails are compared too.
        const bool on = (n / 4000) % 2 == 0;
        float l = on ? noise.next() : 0.0f, r = on ? noise.next() : 0.0f;
        float ml = l, mr = r;
        reverb->process(l, r);
        model.process(ml, mr);
        ASSERT_NEAR(l, ml, 1e-4f * (1.0f + std::fabs(ml))) << "left, sample " << n;
        ASSERT_NEAR(r, mr, 1e-4f * (1.0f + std::fabs(mr))) << "right, sample " << n;
        energy += double{ml} * ml;
    }
    EXPECT_GT(energy, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReverbMatchesModel,
    testing::Values(ModelCase{"Spring44k", 44100, Type::Spring, 0.0f, 1.0f},
                    ModelCase{"SpringDamped", 44100, Type::Spring, 0.8f, 0.6f},
                    ModelCase{"Plate44k", 44100, Type::Plate, 0.0f, 1.0f},
                    ModelCase{"PlateDamped", 48000, Type::Plate, 1.0f, 0.5f},
                    ModelCase{"Spring96k", 96000, Type::Spring, 0.5f, 1.0f},
                    ModelCase{"Plate192k", 192000, Type::Plate, 0.2f, 0.8f}),
    [](const testing::TestParamInfo<ModelCase>& info) { return info.param.name; });

// Blocks run in passes over runs of samples (the plate four samples at a time where it
// can); whatever the block sizes, the output is the sample-by-sample output bit for bit,
// also at 4096 Hz, where the plate's shortest tap is shorter than a whole run.
TEST(ReverbBlocks, AnyBlockSizesGiveTheSampleBySampleOutputExactly) {
    for (const float rate : {4096.0f, 44100.0f, 96000.0f}) {
        for (const Type type : {Type::Plate, Type::Spring}) {
            const auto blockwise = makeReverb(rate, type, 0.3f, 0.8f);
            const auto bySample = makeReverb(rate, type, 0.3f, 0.8f);
            Noise noise(11, 0.5f);
            std::uint32_t sizes = 5;
            std::vector<float> left(300), right(300);
            for (int done = 0; done < static_cast<int>(rate);) {
                sizes = sizes * 1664525u + 1013904223u;
                const int frames = 1 + static_cast<int>((sizes >> 8) % 300);
                for (int i = 0; i < frames; ++i) {
                    const bool on = ((done + i) / 3000) % 2 == 0;
                    left[i] = on ? noise.next() : 0.0f;
                    right[i] = on ? noise.next() : 0.0f;
                }
                std::vector<float> expectedLeft(left.begin(), left.begin() + frames);
                std::vector<float> expectedRight(right.begin(), right.begin() + frames);
                for (int i = 0; i < frames; ++i) bySample->process(expectedLeft[i], expectedRight[i]);
                blockwise->process(left.data(), right.data(), frames);
                for (int i = 0; i < frames; ++i) {
                    ASSERT_EQ(left[i], expectedLeft[i]) << rate << " Hz, sample " << done + i;
                    ASSERT_EQ(right[i], expectedRight[i]) << rate << " Hz, sample " << done + i;
                }
                done += frames;
            }
        }
    }
}

TEST(ReverbAmount, ZeroPassesTheInputUnchanged) {
    for (Type type : {Type::Spring, Type::Plate}) {
        const auto reverb = makeReverb(44100.0f, type, 0.0f, 0.0f);
        Noise noise(3, 0.5f);
        for (int n = 0; n < 20000; ++n) {
            const float inL = noise.next(), inR = noise.next();
            float l = inL, r = inR;
            reverb->process(l, r);
            ASSERT_EQ(l, inL) << n;
            ASSERT_EQ(r, inR) << n;
        }
    }
}

TEST(ReverbAmount, CrossfadesLinearlyBetweenInputAndReverb) {
    // out(a) = x + a (wet - x): the half-way output is the mean of the input and the full reverb.
    for (Type type : {Type::Spring, Type::Plate}) {
        const auto full = makeReverb(44100.0f, type, 0.2f, 1.0f);
        const auto half = makeReverb(44100.0f, type, 0.2f, 0.5f);
        Noise noise(11, 0.5f);
        for (int n = 0; n < 20000; ++n) {
            const float inL = noise.next(), inR = noise.next();
            float fl = inL, fr = inR, hl = inL, hr = inR;
            full->process(fl, fr);
            half->process(hl, hr);
            ASSERT_NEAR(hl, 0.5f * (inL + fl), 1e-6f) << n;
            ASSERT_NEAR(hr, 0.5f * (inR + fr), 1e-6f) << n;
        }
    }
}

TEST(ReverbAmount, OneLeavesNoDryInput) {
    // A steady input is removed by the band-pass: at amount 1 the output settles to 0, at
    // amount 0.5 to half the input.
    for (Type type : {Type::Spring, Type::Plate}) {
        for (float amount : {1.0f, 0.5f}) {
            const auto reverb = makeReverb(44100.0f, type, 1.0f, amount);
            float l = 0.0f, r = 0.0f;
            for (int n = 0; n < 3 * 44100; ++n) {
                l = 0.25f;
                r = -0.125f;
                reverb->process(l, r);
            }
            const float expectedL = (1.0f - amount) * 0.25f, expectedR = (1.0f - amount) * -0.125f;
            EXPECT_NEAR(l, expectedL, 1e-4f) << "amount " << amount;
            EXPECT_NEAR(r, expectedR, 1e-4f) << "amount " << amount;
        }
    }
}

// ---------------------------------------------------------------------------------------
// State

TEST(ReverbState, TypeChangeKeepsTheBuffers) {
    for (Type type : {Type::Spring, Type::Plate}) {
        const Type other = type == Type::Spring ? Type::Plate : Type::Spring;
        const auto kept = makeReverb(44100.0f, type, 0.0f, 1.0f);
        const auto cleared = makeReverb(44100.0f, type, 0.0f, 1.0f);
        Noise noise(5, 0.5f);
        for (int n = 0; n < 20000; ++n) {
            float l = noise.next(), r = noise.next(), l2 = l, r2 = r;
            kept->process(l, r);
            cleared->process(l2, r2);
        }
        kept->setType(other);
        cleared->setType(other);
        cleared->reset();
        const auto fresh = makeReverb(44100.0f, other, 0.0f, 1.0f);
        for (int b = 0; b < Reverb::kBufferCount; ++b) {
            const auto buffer = static_cast<Reverb::Buffer>(b);
            EXPECT_EQ(kept->tapDistance(buffer), fresh->tapDistance(buffer)) << b;
        }
        double keptEnergy = 0.0, clearedEnergy = 0.0;
        for (int n = 0; n < 20000; ++n) {
            float l = 0.0f, r = 0.0f, l2 = 0.0f, r2 = 0.0f;
            kept->process(l, r);
            cleared->process(l2, r2);
            keptEnergy += double{l} * l + double{r} * r;
            clearedEnergy += double{l2} * l2 + double{r2} * r2;
        }
        EXPECT_GT(keptEnergy, 1e-3) << "the old contents play on through the new taps";
        EXPECT_EQ(clearedEnergy, 0.0);
    }
}

TEST(ReverbState, ResetReturnsToTheFreshState) {
    for (Type type : {Type::Spring, Type::Plate}) {
        const auto used = makeReverb(44100.0f, type, 0.4f, 0.7f);
        Noise noise(9, 0.5f);
        for (int n = 0; n < 12345; ++n) {  // leaves the write position somewhere odd
            float l = noise.next(), r = noise.next();
            used->process(l, r);
        }
        used->reset();
        const auto fresh = makeReverb(44100.0f, type, 0.4f, 0.7f);
        Noise again(21, 0.5f);
        for (int n = 0; n < 40000; ++n) {
            const bool on = n < 10000;
            float l = on ? again.next() : 0.0f, r = on ? again.next() : 0.0f, l2 = l, r2 = r;
            used->process(l, r);
            fresh->process(l2, r2);
            ASSERT_EQ(l, l2) << n;
            ASSERT_EQ(r, r2) << n;
        }
    }
}

TEST(ReverbState, SilenceInSilenceOut) {
    for (Type type : {Type::Spring, Type::Plate}) {
        const auto reverb = makeReverb(44100.0f, type, 0.0f, 1.0f);
        for (int n = 0; n < 44100; ++n) {
            float l = 0.0f, r = 0.0f;
            reverb->process(l, r);
            ASSERT_EQ(l, 0.0f);
            ASSERT_EQ(r, 0.0f);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Decay and stability

// Energy of the impulse response in consecutive half-second windows.
std::vector<double> impulseEnergies(Type type, float damp, int windows) {
    const auto reverb = makeReverb(44100.0f, type, damp, 1.0f);
    std::vector<double> energy(windows, 0.0);
    const int window = 22050;
    for (int n = 0; n < windows * window; ++n) {
        float l = n == 0 ? 1.0f : 0.0f, r = l;
        reverb->process(l, r);
        energy[n / window] += double{l} * l + double{r} * r;
    }
    return energy;
}

TEST(ReverbDecay, ImpulseResponseDiesAwayFasterWithDamping) {
    for (Type type : {Type::Spring, Type::Plate}) {
        const auto open = impulseEnergies(type, 0.0f, 6);
        const auto damped = impulseEnergies(type, 1.0f, 6);
        EXPECT_GT(open[0], 1e-4);
        EXPECT_GT(damped[0], 1e-6);
        for (int i = 1; i < 6; ++i) {
            EXPECT_LT(open[i], open[i - 1]) << "window " << i;
            EXPECT_LE(damped[i], damped[i - 1]) << "window " << i;
        }
        // How much of the first window's energy is left in the third.
        EXPECT_LT(damped[2] / damped[0], 0.1 * open[2] / open[0]);
    }
}

TEST(ReverbStability, LoudNoiseForLongStaysFinite) {
    for (Type type : {Type::Spring, Type::Plate}) {
        for (float damp : {0.0f, 1.0f}) {
            const auto reverb = makeReverb(44100.0f, type, damp, 1.0f);
            Noise noise(13, 1.0f);
            float peak = 0.0f;
            for (int n = 0; n < 20 * 44100; ++n) {
                float l = noise.next(), r = noise.next();
                reverb->process(l, r);
                ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << n;
                peak = std::max({peak, std::fabs(l), std::fabs(r)});
            }
            EXPECT_LT(peak, 20.0f);
            EXPECT_GT(peak, 0.01f);
        }
    }
}

TEST(ReverbThreads, DampAndAmountChangeWhileProcessing) {
    auto reverb = makeReverb(44100.0f, Type::Plate, 0.0f, 1.0f);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; !done.load(); ++i) {
            reverb->setDamp((i % 101) / 100.0f);
            reverb->setAmount((i % 37) / 36.0f);
        }
    });
    Noise noise(17, 0.5f);
    for (int n = 0; n < 200000; ++n) {
        float l = noise.next(), r = noise.next();
        reverb->process(l, r);
        ASSERT_TRUE(std::isfinite(l) && std::isfinite(r));
    }
    done = true;
    writer.join();
}

TEST(ReverbParameters, OutOfRangeValuesAreLimited) {
    const float odd[] = {-1.0f, 2.0f, NAN, INFINITY, -INFINITY};
    for (Type type : {Type::Spring, Type::Plate}) {
        for (float value : odd) {
            const auto reverb = makeReverb(44100.0f, type, value, value);
            Noise noise(19, 0.5f);
            for (int n = 0; n < 20000; ++n) {
                float l = noise.next(), r = noise.next();
                reverb->process(l, r);
                ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << value;
                ASSERT_LE(std::fabs(l), 20.0f);
            }
        }
    }
}

}  // namespace
}  // namespace ruvane
