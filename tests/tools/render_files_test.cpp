// ruvane-render end to end on generated files: formats, channel counts, sample rates,
// block sizes, the tail and the demo phrase.
#include <sys/stat.h>

#include "render_tool.h"

namespace ruvane::testing {
namespace {

struct FormatCase {
    const char* name;
    int inputChannels;
    int sampleRate;
    const char* inputFile;
    int inputFormat;
    const char* outputFile;
    bool mono;
    bool lossy;
};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class RenderFormats : public RenderToolTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(RenderFormats, KeepTheRateGiveTheChannelsAndAddTheTail) {
    const FormatCase& c = GetParam();
    const Audio input = bursts(c.sampleRate, c.inputChannels, 0.5, {0.1});
    writeAudio(file(c.inputFile), input, c.inputFormat);
    std::vector<std::string> args = {c.inputFile, c.outputFile, "--tail", "0.25"};
    if (c.mono) args.push_back("--mono");
    const ToolRun run = render(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const Audio output = readAudio(file(c.outputFile));
    EXPECT_EQ(output.sampleRate, c.sampleRate);
    EXPECT_EQ(output.channels.size(), c.mono ? 1u : 2u);
    const size_t expectedFrames = input.frames() + static_cast<size_t>(0.25 * c.sampleRate);
    if (c.lossy) {
        EXPECT_NEAR(static_cast<double>(output.frames()), static_cast<double>(expectedFrames), 0.01 * c.sampleRate);
    } else {
        EXPECT_EQ(output.frames(), expectedFrames);
    }
    // The burst comes through (Default mixes half dry) where it was put; lossy coding
    // smears it a little.
    for (const auto& channel : output.channels) {
        EXPECT_GT(peakBetween(channel, c.sampleRate, 0.1, 0.11), 0.05f);
        EXPECT_NEAR(onsetAfter(channel, c.sampleRate, 0.0, c.lossy ? 0.05f : 0.02f), 0.1, c.lossy ? 0.01 : 0.002);
    }
    // The summary names the file and tells its length.
    EXPECT_NE(run.out.find(std::string(c.outputFile) + ": 0.75 s"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(std::to_string(c.sampleRate) + " Hz"), std::string::npos) << run.out;
    EXPECT_TRUE(run.err.empty()) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RenderFormats,
    ::testing::Values(
        FormatCase{"StereoWav44k", 2, 44100, "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, "out.wav", false, false},
        FormatCase{"MonoWav44k", 1, 44100, "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, "out.wav", false, false},
        FormatCase{"StereoFlac96k", 2, 96000, "in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "out.flac", false, false},
        FormatCase{"MonoWav96kToMono", 1, 96000, "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "out.wav", true, false},
        FormatCase{"StereoOgg44kToMonoFlac", 2, 44100, "in.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, "out.flac", true,
                   true},
        FormatCase{"StereoWav48kToOgg", 2, 48000, "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "out.ogg", false, true}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST_F(RenderToolTest, BitsChooseTheSampleFormat) {
    writeAudio(file("in.wav"), bursts(44100, 2, 0.2, {0.05}), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    struct Case {
        const char* bits;
        const char* output;
        int subtype;
    };
    for (const Case& c : {Case{"16", "a.wav", SF_FORMAT_PCM_16}, Case{"24", "b.wav", SF_FORMAT_PCM_24},
                          Case{"float", "c.wav", SF_FORMAT_FLOAT}, Case{"16", "d.flac", SF_FORMAT_PCM_16}}) {
        const ToolRun run = render({"in.wav", c.output, "--bits", c.bits, "--tail", "0"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        SF_INFO info{};
        SNDFILE* written = sf_open(file(c.output).c_str(), SFM_READ, &info);
        ASSERT_NE(written, nullptr);
        sf_close(written);
        EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, c.subtype) << c.output;
    }
}

TEST_F(RenderToolTest, BlockSizeDoesNotChangeTheSound) {
    writeAudio(file("in.wav"), bursts(44100, 2, 0.6, {0.05, 0.31}), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    for (const char* block : {"37", "4096"}) {
        const ToolRun run = render({"in.wav", std::string("out-") + block + ".wav", "-b", block, "--tail", "2.5",
                                    "--bits", "float", "-s", "Vco On=0"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    const Audio small = readAudio(file("out-37.wav"));
    const Audio large = readAudio(file("out-4096.wav"));
    ASSERT_EQ(small.frames(), large.frames());
    for (size_t c = 0; c < 2; ++c) {
        float largest = 0.0f;
        for (size_t i = 0; i < small.frames(); ++i)
            largest = std::max(largest, std::fabs(small.channels[c][i] - large.channels[c][i]));
        EXPECT_LT(largest, 1e-4f) << "channel " << c;
    }
    // And the 2-second echo of the Default preset is in both.
    EXPECT_GT(peakBetween(small.channels[0], 44100, 2.04, 2.07), 0.02f);
}

TEST_F(RenderToolTest, TheAutomaticTailWaitsForALateEchoThenStops) {
    // Default: one echo 2 s after the input, nothing after it. The tail must reach
    // past the silent gap to the echo, and end once the echo has died away.
    writeAudio(file("in.wav"), bursts(44100, 2, 0.5, {0.1}), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun run = render({"in.wav", "out.wav", "--bits", "float", "-s", "Vco On=0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio output = readAudio(file("out.wav"));
    const double seconds = static_cast<double>(output.frames()) / 44100.0;
    EXPECT_GT(seconds, 2.1);
    EXPECT_LT(seconds, 2.6);
    EXPECT_NEAR(onsetAfter(output.channels[0], 44100, 0.5, 0.02f), 2.1, 0.01);
}

TEST_F(RenderToolTest, ANoTailRenderIsAsLongAsTheInput) {
    writeAudio(file("in.wav"), bursts(44100, 1, 0.3, {0.1}), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const ToolRun run = render({"in.wav", "out.wav", "--tail", "0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readAudio(file("out.wav")).frames(), static_cast<size_t>(0.3 * 44100));
    EXPECT_NE(run.out.find("tail 0.00 s"), std::string::npos) << run.out;
}

TEST_F(RenderToolTest, WithoutInputRendersTheDemoPhrase) {
    struct Case {
        std::vector<std::string> args;
        int rate;
    };
    for (const Case& c : {Case{{"--tail", "1"}, 44100}, Case{{"--tail", "1", "--rate", "96000"}, 96000}}) {
        const ToolRun run = render(c.args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Audio demo = readAudio(file("ruvane-demo.wav"));
        EXPECT_EQ(demo.sampleRate, c.rate);
        EXPECT_EQ(demo.channels.size(), 2u);
        EXPECT_EQ(demo.frames(), static_cast<size_t>(5 * c.rate));  // two bars at 120 BPM and the tail
        EXPECT_GT(peakBetween(demo.channels[0], c.rate, 0.0, 4.0), 0.1f);
        EXPECT_EQ(run.out.rfind("ruvane-demo.wav: 5.00 s, stereo", 0), 0u) << run.out;
    }
}

TEST_F(RenderToolTest, FindsThePluginBesideItselfAndWritesBesideTheInput) {
    writeAudio(file("take.flac"), bursts(44100, 2, 0.2, {0.05}), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const ToolRun run = ToolProcess({"take.flac", "--tail", "0", "-q"}, work).finish();
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readAudio(file("take-ruvane.flac")).frames(), static_cast<size_t>(0.2 * 44100));
    EXPECT_TRUE(run.out.empty()) << "quiet prints no summary: " << run.out;
}

TEST_F(RenderToolTest, ReplacesAnEarlierOutputWholeAndLeavesNoTemporaryFile) {
    writeAudio(file("in.wav"), bursts(44100, 2, 0.2, {0.05}), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    { std::ofstream(file("out.wav")) << "an older render"; }
    const ToolRun run = render({"in.wav", "out.wav", "--tail", "0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readAudio(file("out.wav")).frames(), static_cast<size_t>(0.2 * 44100));
    EXPECT_EQ(filesInWork(), (std::vector<std::string>{"in.wav", "out.wav"}));
    // The usual permissions for a new file, not the private ones of a temporary file.
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(file("out.wav")).permissions() & fs::perms::all), 0666 & ~mask);
}

TEST_F(RenderToolTest, HelpAndVersionGoToStandardOutput) {
    const ToolRun help = render({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: ruvane-render", 0), 0u) << help.out;
    EXPECT_TRUE(help.err.empty());
    const ToolRun version = render({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("ruvane-render ", 0), 0u) << version.out;
}

}  // namespace
}  // namespace ruvane::testing
