// Every factory preset, fed a -6 dBFS programme (plucked tones, noise bursts, a sine
// sweep) and then silence, stays below full scale and lets its tail die away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "effect/engine/delay_engine.h"
#include "effect/plugin/factory_presets.h"

namespace ruvane {
namespace {

constexpr int kRate = 44100;
constexpr int kInputFrames = 4 * kRate;
constexpr int kTotalFrames = 7 * kRate;
constexpr int kWindow = kRate / 2;
constexpr int kBlock = 512;
constexpr float kInputPeak = 0.5f;  // -6 dBFS

struct Stereo {
    std::vector<float> left = std::vector<float>(kTotalFrames, 0.0f);
    std::vector<float> right = std::vector<float>(kTotalFrames, 0.0f);
};

// Plucked tones (1/8 s apart, eight harmonics, decaying) and noise bursts scaled to a
// common peak of -6 dBFS, then a -6 dBFS sine sweep from 40 Hz to 12 kHz.
Stereo programme() {
    Stereo in;
    const double twoPi = 2.0 * std::numbers::pi;
    const double notes[] = {110, 165, 220, 330, 440, 660, 880, 1320};
    for (int k = 0; k < 8; ++k) {
        for (int i = 0; i < kRate / 2; ++i) {
            const double t = static_cast<double>(i) / kRate;
            double left = 0.0, right = 0.0;
            for (int h = 1; h <= 8; ++h) {
                left += std::sin(twoPi * notes[k] * h * t) / h;
                right += std::sin(twoPi * notes[7 - k] * 1.01 * h * t) / h;
            }
            const double decay = std::exp(-6.0 * t);
            in.left[k * kRate / 8 + i] += static_cast<float>(left * decay);
            in.right[k * kRate / 8 + i + 200] += static_cast<float>(right * decay);
        }
    }
    std::uint32_t seed = 12345;
    const auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
    };
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 2500; ++i) {
            const float decay = std::exp(-static_cast<float>(i) / 750.0f);
            in.left[kRate + k * kRate / 8 + i] += noise() * decay;
            in.right[kRate + k * kRate / 8 + 300 + i] += noise() * decay;
        }
    float peak = 0.0f;
    for (int i = 0; i < kTotalFrames; ++i) peak = std::max({peak, std::fabs(in.left[i]), std::fabs(in.right[i])});
    for (int i = 0; i < kTotalFrames; ++i) {
        in.left[i] *= kInputPeak / peak;
        in.right[i] *= kInputPeak / peak;
    }
    const int sweepStart = 3 * kRate / 2;
    double phase = 0.0;
    for (int i = sweepStart; i < kInputFrames; ++i) {
        const double progress = static_cast<double>(i - sweepStart) / (kInputFrames - sweepStart);
        phase += twoPi * 40.0 * std::pow(300.0, progress) / kRate;
        in.left[i] = in.right[i] = kInputPeak * static_cast<float>(std::sin(phase));
    }
    return in;
}

double rmsDb(const Stereo& s, int from, int to) {
    double sum = 0.0;
    for (int i = from; i < to; ++i) sum += s.left[i] * s.left[i] + s.right[i] * s.right[i];
    return 10.0 * std::log10(sum / (2.0 * (to - from)) + 1e-30);
}

TEST(PresetLevels, NoPresetClipsOrRunsAway) {
    PresetBank bank{};
    fillFactoryPresets(bank);
    const Stereo in = programme();
    Stereo out;
    for (const PresetRecord& preset : bank) {
        SCOPED_TRACE(preset.name);
        DelayEngine engine;
        for (int p = 0; p < kNumSoundParameters; ++p) engine.setParameter(p, preset.values[p]);
        engine.resume(kRate, 1024, HostTime{});
        for (int i = 0; i < kTotalFrames; i += kBlock) {
            const int frames = std::min(kBlock, kTotalFrames - i);
            engine.process(&in.left[i], &in.right[i], &out.left[i], &out.right[i], frames, HostTime{});
        }

        float peak = 0.0f;
        for (int i = 0; i < kTotalFrames; ++i) peak = std::max({peak, std::fabs(out.left[i]), std::fabs(out.right[i])});
        EXPECT_LT(peak, 1.0f);

        // The tail dies away: its last half second is clearly below the half second after the input ends.
        const double afterInput = rmsDb(out, kInputFrames, kInputFrames + kWindow);
        const double last = rmsDb(out, kTotalFrames - kWindow, kTotalFrames);
        EXPECT_TRUE(last < afterInput - 6.0 || last < -90.0)
            << "after input " << afterInput << " dB, last " << last << " dB";
    }
}

}  // namespace
}  // namespace ruvane
