// Audio through the binary interface: what a host hears.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "loaded_plugin.h"

namespace ruvane::testing {
namespace {

std::vector<float> noise(size_t frames, unsigned seed, float level = 0.5f) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-level, level);
    std::vector<float> samples(frames);
    for (float& sample : samples) sample = uniform(random);
    return samples;
}

struct Stereo {
    std::vector<float> left, right;
};

// Runs the whole input through in host-sized blocks.
Stereo render(vsthost::PluginInstance& plugin, const std::vector<float>& left, const std::vector<float>& right,
              int block = 256) {
    Stereo out{std::vector<float>(left.size()), std::vector<float>(left.size())};
    for (size_t start = 0; start < left.size(); start += static_cast<size_t>(block)) {
        const auto frames = static_cast<VstInt32>(std::min<size_t>(static_cast<size_t>(block), left.size() - start));
        plugin.process(left.data() + start, right.data() + start, out.left.data() + start, out.right.data() + start,
                       frames);
    }
    return out;
}

size_t loudestFrame(const std::vector<float>& samples) {
    return static_cast<size_t>(std::max_element(samples.begin(), samples.end(),
                                                [](float a, float b) { return std::fabs(a) < std::fabs(b); }) -
                               samples.begin());
}

// A plain delay: Vco off, wet only, no feedback, the left line at timeMs in the 1000 ms
// range. Suspend and resume settle the smoothers and the time change.
void plainWetDelay(vsthost::PluginInstance& plugin, float timeMs) {
    plugin.setParameter(45, 0.0f);  // Vco On
    plugin.setParameter(2, 1.0f);   // Main Mix: wet only
    plugin.setParameter(30, 0.5f);  // DlyL Range 1000 ms
    plugin.setParameter(35, timeMs / 1000.0f);
    plugin.suspend();
    plugin.resume();
}

TEST_F(LoadedPlugin, BypassIsBitIdenticalToTheInput) {
    plugin->setParameter(41, 1.0f);
    plugin->setParameter(46, 1.0f);  // reverb and feedback running behind the bypass
    plugin->setParameter(3, 0.9f);
    const std::vector<float> left = noise(44100, 1), right = noise(44100, 2);
    const Stereo out = render(*plugin, left, right);
    EXPECT_EQ(out.left, left);
    EXPECT_EQ(out.right, right);
}

TEST_F(LoadedPlugin, StereoNoiseWithoutMidiComesOutFiniteAndDelayed) {
    plugin->setParameter(36, 0.05f);  // right line 250 ms
    const std::vector<float> left = noise(3 * 44100, 3), right = noise(3 * 44100, 4);
    const Stereo out = render(*plugin, left, right, 512);
    double energy = 0;
    for (size_t n = 0; n < out.left.size(); ++n) {
        ASSERT_TRUE(std::isfinite(out.left[n]) && std::isfinite(out.right[n])) << n;
        energy += out.left[n] * out.left[n];
    }
    EXPECT_GT(energy, 0.0);
    EXPECT_NE(out.right, right);
}

// Hosts may automate with anything a float holds. While audio runs, random writes of
// NaN, infinities, negatives and huge values to every sound parameter never bring NaN or
// infinity out, and once the values are sane again the effect sounds again.
TEST_F(LoadedPlugin, HostileAutomationWhileProcessingStaysFiniteAndRecovers) {
    const float inf = std::numeric_limits<float>::infinity();
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(), inf, -inf, -1.0f, 2.0f, 1e30f, -0.0f};
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> anyParameter(0, 47);
    const std::vector<float> left = noise(256, 5, 1.0f), right = noise(256, 6, 1.0f);
    std::vector<float> outLeft(256), outRight(256);
    for (int block = 0; block < 3 * 44100 / 256; ++block) {
        for (int k = 0; k < 6; ++k) {
            const float value = unit(random) < 0.3f ? hostile[random() % std::size(hostile)] : unit(random);
            plugin->setParameter(anyParameter(random), value);
        }
        if (block % 50 == 0) {
            plugin->setParameter(41, 0.0f);                                  // Main Bypass off
            for (int on = 42; on <= 46; ++on) plugin->setParameter(on, 1.0f);  // every section on
        }
        plugin->process(left.data(), right.data(), outLeft.data(), outRight.data(), 256);
        for (size_t n = 0; n < outLeft.size(); ++n)
            ASSERT_TRUE(std::isfinite(outLeft[n]) && std::isfinite(outRight[n])) << "block " << block;
    }
    plugin->dispatch(effSetProgram, 0, 0);  // the Default preset
    const Stereo out = render(*plugin, noise(44100, 7), noise(44100, 8));
    double energy = 0;
    for (size_t n = 0; n < out.left.size(); ++n) {
        ASSERT_TRUE(std::isfinite(out.left[n]) && std::isfinite(out.right[n])) << n;
        energy += out.left[n] * out.left[n];
    }
    EXPECT_GT(energy, 1.0);
}

TEST_F(LoadedPlugin, DelayFollowsTheSampleRateGivenBeforeResume) {
    plainWetDelay(*plugin, 100.0f);
    std::vector<float> impulse(12000, 0.0f);
    impulse[0] = 1.0f;
    Stereo out = render(*plugin, impulse, impulse);
    EXPECT_EQ(loudestFrame(out.left), 4410u);

    plugin->suspend();
    plugin->host().sampleRate = 96000.0;
    plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    plugin->resume();
    out = render(*plugin, impulse, impulse);
    EXPECT_EQ(loudestFrame(out.left), 9600u);
}

TEST_F(LoadedPlugin, UnusableSampleRatesFallBackTo44100) {
    plainWetDelay(*plugin, 100.0f);
    for (float rate : {0.0f, -1.0f, 1e9f, std::numeric_limits<float>::quiet_NaN()}) {
        plugin->suspend();
        plugin->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        plugin->resume();
        std::vector<float> impulse(6000, 0.0f);
        impulse[0] = 1.0f;
        const Stereo out = render(*plugin, impulse, impulse);
        EXPECT_EQ(loudestFrame(out.left), 4410u) << rate;
    }
}

TEST_F(LoadedPlugin, SyncedDelayFollowsTheHostTempo) {
    plainWetDelay(*plugin, 100.0f);
    plugin->setParameter(24, 0.75f);          // DlyL Mode: note
    plugin->setParameter(28, 3.5f / 13.0f);  // 1/4
    auto& time = plugin->host().timeInfo;
    time.tempo = 100.0;
    time.flags = kVstTempoValid;
    plugin->suspend();
    plugin->resume();
    EXPECT_EQ(plugin->parameterDisplay(35), "600.000000");

    // A tempo change while playing moves the line after its fade.
    time.tempo = 150.0;
    std::vector<float> silence(44100, 0.0f);
    render(*plugin, silence, silence);
    EXPECT_EQ(plugin->parameterDisplay(35), "400.000000");
    std::vector<float> impulse(30000, 0.0f);
    impulse[0] = 1.0f;
    const Stereo out = render(*plugin, impulse, impulse);
    EXPECT_EQ(loudestFrame(out.left), 17640u);

    time.tempo = 401.0;  // out of range while playing: ignored
    render(*plugin, silence, silence);
    EXPECT_EQ(plugin->parameterDisplay(35), "400.000000");
}

TEST(HostPins, MonoInputFeedsBothLinesAndMonoOutputGetsTheAverage) {
    ScopedConfigHome configHome;
    vsthost::HostState mono;
    mono.inputRightConnected = false;
    mono.outputRightConnected = false;
    auto plugin = loadRuvane(mono);
    ASSERT_NE(plugin, nullptr);
    plugin->start(44100.0, 256);
    plugin->setParameter(2, 0.0f);  // dry only: the output is the input gain's work alone
    plugin->suspend();
    plugin->resume();
    const std::vector<float> left = noise(4096, 5);
    const std::vector<float> unconnected(4096, 1e6f);
    std::vector<float> outLeft(4096), outRight(4096, 7.0f);
    plugin->process(left.data(), unconnected.data(), outLeft.data(), outRight.data(), 4096);
    for (size_t n = 0; n < left.size(); ++n) ASSERT_NEAR(outLeft[n], left[n], 1e-6f) << n;
    EXPECT_TRUE(std::all_of(outRight.begin(), outRight.end(), [](float s) { return s == 7.0f; }));
}

TEST(Lifecycle, ManyInstancesComeAndGoCleanly) {
    ScopedConfigHome configHome;
    const std::vector<float> in = noise(64, 6);
    std::vector<float> outLeft(64), outRight(64);
    for (int cycle = 0; cycle < 1000; ++cycle) {
        auto plugin = loadRuvane();
        ASSERT_NE(plugin, nullptr);
        plugin->start(44100.0, 64);
        plugin->process(in.data(), in.data(), outLeft.data(), outRight.data(), 64);
        plugin->suspend();
    }
}

}  // namespace
}  // namespace ruvane::testing
