// The engine runs its stages block-wise, both channels in one instruction stream, with
// cached coefficients and fast paths where a section stands still. None of that may
// change what it computes beyond float rounding: every factory preset is played with
// random automation and host tempo changes through the engine and through a
// straightforward per-sample reference, and the largest difference is bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "effect/engine/delay_engine.h"
#include "effect/engine/parameters.h"
#include "effect/plugin/factory_presets.h"
#include "reference_engine.h"

namespace ruvane {
namespace {

constexpr double kRate = 44100.0;
constexpr int kSeconds = 3;
// Share of host blocks before which random parameter writes happen.
constexpr float kAutomationShare = 0.15f;

PresetBank factoryBank() {
    PresetBank bank{};
    fillFactoryPresets(bank);
    return bank;
}

std::string presetName(const PresetRecord& record) {
    return std::string(record.name, strnlen(record.name, kPresetNameBytes));
}

// Plucked noise bursts with gaps (so tails and the silence after them are covered),
// different on the two channels.
std::vector<float> bursts(std::size_t frames, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> white(-1.0f, 1.0f);
    std::vector<float> v(frames, 0.0f);
    const std::size_t period = static_cast<std::size_t>(kRate * 0.37);
    for (std::size_t n = 0; n < frames; ++n) {
        const std::size_t phase = n % period;
        const float envelope = std::exp(-static_cast<float>(phase) / 2500.0f);
        if (phase < period / 2) v[n] = 0.5f * envelope * white(random);
    }
    return v;
}

struct Difference {
    double largest = 0.0;
    double peak = 0.0;
    std::size_t at = 0;
};

// Plays one preset through both, with the same random host blocks, parameter writes and
// tempo changes; returns the largest difference of the outputs.
Difference playBoth(const PresetRecord& preset, std::uint32_t seed, const std::vector<int>& held) {
    DelayEngine engine;
    test::ReferenceEngine reference;
    auto write = [&](int index, float value) {
        engine.setParameter(index, value);
        reference.setParameter(index, value);
    };
    for (int i = 0; i < kNumSoundParameters; ++i) write(i, preset.values[i]);
    engine.updateTempoSync(kSyncAll);
    reference.updateTempoSync(kSyncAll);
    // As the plug-in does after loading a preset: the smoothers start at their targets.
    engine.suspend();
    reference.suspend();

    HostTime time{true, 120.0, true, 0.0};
    engine.resume(kRate, 1024, time);
    reference.resume(kRate, time);

    const std::size_t frames = static_cast<std::size_t>(kRate) * kSeconds;
    const std::vector<float> inLeft = bursts(frames, seed), inRight = bursts(frames, seed + 1);
    std::vector<float> engineLeft(frames), engineRight(frames), referenceLeft(frames), referenceRight(frames);

    std::mt19937 random(seed * 7919u + 1u);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> blockSize(1, 300);
    std::uniform_int_distribution<int> anyParameter(0, kNumSoundParameters - 1);
    for (std::size_t done = 0; done < frames;) {
        const int n =
            static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(blockSize(random)), frames - done));
        // Random automation: a few writes before some blocks, anywhere in 0..1 (switches
        // included, so sections come and go, fast paths are taken and left).
        if (unit(random) < kAutomationShare) {
            for (int k = 0, count = 1 + static_cast<int>(unit(random) * 3.0f); k < count; ++k) {
                const int index = anyParameter(random);
                if (std::find(held.begin(), held.end(), index) == held.end()) write(index, unit(random));
            }
        }
        // Host tempo changes now and then (some outside 30..400, which are ignored).
        if (unit(random) < 0.01f) time.tempoBpm = 20.0 + 400.0 * unit(random);
        time.ppqPosition += n * time.tempoBpm / 60.0 / kRate;
        engine.process(inLeft.data() + done, inRight.data() + done, engineLeft.data() + done,
                       engineRight.data() + done, n, time);
        reference.process(inLeft.data() + done, inRight.data() + done, referenceLeft.data() + done,
                          referenceRight.data() + done, n, time);
        done += static_cast<std::size_t>(n);
    }
    Difference d;
    for (std::size_t i = 0; i < frames; ++i) {
        for (const auto& [ours, theirs] :
             {std::pair{engineLeft[i], referenceLeft[i]}, std::pair{engineRight[i], referenceRight[i]}}) {
            EXPECT_TRUE(std::isfinite(ours)) << i;
            d.peak = std::max(d.peak, std::fabs(double{theirs}));
            const double diff = std::fabs(double{ours} - double{theirs});
            if (diff > d.largest) {
                d.largest = diff;
                d.at = i;
            }
        }
    }
    return d;
}

struct BankCase {
    const char* name;
    std::vector<std::pair<int, float>> held;  // parameters set so and left out of the automation
    double bound;                             // largest difference allowed, as a share of the peak
};

void PrintTo(const BankCase& c, std::ostream* os) { *os << c.name; }

// With modulation on the clock, the envelope of the loop's own signal steers the clock
// rates, and the clock phase sums them up: the engine's rate (a power split in two, within
// 1e-6 of the exact one, tested on its own) and any rounding difference in the loop become
// a slowly growing drift of the clocked delay's time. Its bound allows that drift; a
// misplaced sample or a lost state lands far above it. With modulation held off, or with
// "Vco Mod" and "Vco Manual" held at their centres (modulation then moves the filter but
// not the clock), nothing feeds back into the phase, and the bound is that of float rounding.
class FastPathReference : public ::testing::TestWithParam<BankCase> {};

TEST_P(FastPathReference, EveryFactoryPresetWithAutomationMatchesThePerSampleReference) {
    const BankCase& c = GetParam();
    const PresetBank bank = factoryBank();
    std::vector<int> held;
    for (const auto& [index, value] : c.held) held.push_back(index);
    double worst = 0.0;
    std::string worstPreset;
    for (int p = 0; p < kNumPresets; ++p) {
        PresetRecord preset = bank[static_cast<std::size_t>(p)];
        for (const auto& [index, value] : c.held) preset.values[index] = value;
        const Difference d = playBoth(preset, 1000u + static_cast<std::uint32_t>(p), held);
        const double relative = d.largest / std::max(d.peak, 1e-3);
        EXPECT_LE(relative, c.bound) << "preset " << p << " \"" << presetName(preset) << "\": difference "
                                     << d.largest << " at sample " << d.at << ", peak " << d.peak;
        if (relative > worst) {
            worst = relative;
            worstPreset = presetName(preset);
        }
    }
    std::printf("%s: largest difference engine/reference %.3g of the peak (\"%s\"), bound %.0e\n", c.name, worst,
                worstPreset.c_str(), c.bound);
}

INSTANTIATE_TEST_SUITE_P(Bank, FastPathReference,
                         ::testing::Values(BankCase{"AsThePresetsHaveIt", {{kMainBypass, 0.25f}}, 1e-3},
                                           BankCase{"ModulationHeldOff", {{kMainBypass, 0.25f}, {kModOn, 0.25f}}, 1e-5},
                                           BankCase{"ClockModulationHeldAtItsCentre",
                                                    {{kMainBypass, 0.25f}, {kVcoMod, 0.5f}, {kVcoManual, 0.5f}},
                                                    1e-5}),
                         [](const auto& info) { return std::string(info.param.name); });

// With "Main Bypass" on, whatever else is automated, the output is the input bit for bit.
TEST(FastPathBypass, IsBitIdenticalUnderAutomationForEveryFactoryPreset) {
    const PresetBank bank = factoryBank();
    for (int p = 0; p < kNumPresets; ++p) {
        PresetRecord preset = bank[static_cast<std::size_t>(p)];
        preset.values[kMainBypass] = switchValue(1, 2);
        DelayEngine engine;
        for (int i = 0; i < kNumSoundParameters; ++i) engine.setParameter(i, preset.values[i]);
        engine.resume(kRate, 1024, HostTime{true, 120.0, false, 0.0});
        const std::size_t frames = static_cast<std::size_t>(kRate / 2);
        std::vector<float> inLeft = bursts(frames, 7u + static_cast<std::uint32_t>(p)), inRight = bursts(frames, 99u);
        inLeft[10] = 1e30f;  // far beyond what the engine lets in: bypass passes it as it is
        inRight[11] = -0.0f;
        std::vector<float> outLeft(frames), outRight(frames);
        std::mt19937 random(static_cast<std::uint32_t>(p));
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        std::uniform_int_distribution<int> anyParameter(0, kNumSoundParameters - 1);
        for (std::size_t done = 0; done < frames; done += 128) {
            const int index = anyParameter(random);
            if (index != kMainBypass) engine.setParameter(index, unit(random));
            engine.process(inLeft.data() + done, inRight.data() + done, outLeft.data() + done, outRight.data() + done,
                           static_cast<int>(std::min<std::size_t>(128, frames - done)), HostTime{});
        }
        ASSERT_EQ(0, std::memcmp(outLeft.data(), inLeft.data(), frames * sizeof(float))) << p;
        ASSERT_EQ(0, std::memcmp(outRight.data(), inRight.data(), frames * sizeof(float))) << p;
    }
}

}  // namespace
}  // namespace ruvane
