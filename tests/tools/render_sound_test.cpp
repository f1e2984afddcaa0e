// ruvane-render changes the sound the way the chosen preset, files and parameters say:
// echoes land where the delay settings put them.
#include <cstring>

#include "effect/editor/preset_images.h"
#include "render_tool.h"

namespace ruvane::testing {
namespace {

constexpr int32_t kRuvaneId = fourCharCode('R', 'V', '7', 'S');

// The factory "Default" values: unity gains, half mix, free 2000 ms delays, Vco on.
constexpr std::array<float, kNumSoundParameters> kDefaultValues = {
    0.5f,  0.5f, 0.5f, 0.0f,    0.0f,    0.0f,  1.0f,  0.25f, 0.25f, 0.1f, 0.5f, 0.5f,
    1.0f,  0.5f, 1.0f / 6.0f,   1.0f,    0.0f,  0.5f,  0.5f,  0.25f, 0.25f, 0.0f, 0.0f,
    1.0f / 6.0f, 0.25f, 0.25f,  0.1f,    0.1f,  0.0f,  0.0f,  5.0f / 6.0f,  5.0f / 6.0f,
    0.25f, 0.1f, 0.0f, 0.4f,    0.4f,    0.0f,  0.0f,  0.0f,  0.5f,  0.0f, 0.0f, 0.0f,
    0.0f,  1.0f, 0.0f, 0.5f};

PresetRecord record(const char* name, const std::array<float, kNumSoundParameters>& values) {
    PresetRecord preset{};
    std::memcpy(preset.name, name, std::min(std::strlen(name), sizeof preset.name));
    std::copy(values.begin(), values.end(), preset.values);
    return preset;
}

// Fully wet, plain (unclocked) free delays of 300 ms on both lines, no feedback.
PresetRecord wetShortEcho(const char* name) {
    std::array<float, kNumSoundParameters> values = kDefaultValues;
    values[2] = 1.0f;             // Main Mix: all wet
    values[30] = values[31] = 0.5f;  // Range 1000 ms
    values[35] = values[36] = 0.3f;  // Time 300 ms
    values[45] = 0.25f;           // Vco off
    return record(name, values);
}

void writeBytes(const fs::path& path, const uint8_t* bytes, size_t size) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

void reverseWord(uint8_t* word) { std::reverse(word, word + 4); }

std::string lineWith(const std::string& text, const std::string& needle) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.find(needle) != std::string::npos) return line;
    return {};
}

struct EchoCase {
    const char* name;
    std::vector<std::string> args;
    int sampleRate;
    double firstEcho;   // seconds after the burst
    double secondEcho;  // 0: there must be none
};

void PrintTo(const EchoCase& c, std::ostream* out) { *out << c.name; }

class RenderEchoes : public RenderToolTest, public ::testing::WithParamInterface<EchoCase> {};

TEST_P(RenderEchoes, LandWhereThePresetAndTempoPutThem) {
    const EchoCase& c = GetParam();
    const double burst = 0.1;
    writeAudio(file("in.wav"), bursts(c.sampleRate, 2, 0.3, {burst}), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    std::vector<std::string> args = {"in.wav", "out.wav", "--bits", "float", "--tail", "2"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = render(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio out = readAudio(file("out.wav"));
    ASSERT_EQ(out.sampleRate, c.sampleRate);

    for (const auto& channel : out.channels) {
        // Nothing between the dry burst and the first echo.
        EXPECT_LT(peakBetween(channel, c.sampleRate, burst + 0.01, burst + c.firstEcho - 0.005), 0.003f);
        const double first = onsetAfter(channel, c.sampleRate, burst + 0.01, 0.01f);
        EXPECT_NEAR(first, burst + c.firstEcho, 0.003);
        const float firstPeak = peakBetween(channel, c.sampleRate, first, first + 0.01);
        if (c.secondEcho > 0.0) {
            const double second = onsetAfter(channel, c.sampleRate, first + 0.01, 0.002f);
            EXPECT_NEAR(second, burst + c.secondEcho, 0.003);
            // Feedback below 1: each repeat is softer.
            EXPECT_LT(peakBetween(channel, c.sampleRate, second, second + 0.01), firstPeak);
        } else {
            EXPECT_LT(peakBetween(channel, c.sampleRate, first + 0.05, 2.3), 0.002f);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presets, RenderEchoes,
    ::testing::Values(
        EchoCase{"QuarterFeedbackAt120", {"-p", "1 4 Feedback"}, 44100, 0.5, 1.0},
        EchoCase{"QuarterFeedbackAt150", {"-p", "1 4 feedback", "-t", "150"}, 44100, 0.4, 0.8},
        EchoCase{"QuarterFeedbackAt96k", {"-p", "1", "-t", "120"}, 96000, 0.5, 1.0},
        EchoCase{"EighthFeedback", {"--preset", "1 8 Feedback"}, 48000, 0.25, 0.5},
        EchoCase{"QuarterSingle", {"-p", "1 4 Single"}, 44100, 0.5, 0.0},
        EchoCase{"FreeDelayIgnoresTempo", {"-p", "Default", "-t", "200", "-s", "Vco On=0"}, 44100, 2.0, 0.0},
        EchoCase{"ParametersOverrideThePreset",
                 {"-p", "1 4 Feedback", "-s", "DlyL Mode=0", "-s", "dlyr_mode=0", "-s", "DlyL Range=0.5", "-s",
                  "DlyR Range=0.5", "-s", "35=0.3", "-s", "36=0.3", "-s", "DlyL Fb=0", "-s", "DlyR Fb=0"},
                 44100, 0.3, 0.0}),
    [](const ::testing::TestParamInfo<EchoCase>& info) { return std::string(info.param.name); });

TEST_F(RenderToolTest, DrySettingsPassTheInputUnchanged) {
    const Audio input = bursts(44100, 2, 0.4, {0.1, 0.2});
    writeAudio(file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    for (const char* setting : {"Main Mix=0", "main_bypass=1", "41=1"}) {
        const ToolRun run = render({"in.wav", "out.wav", "--bits", "float", "--tail", "0", "-p", "Default", "-s", setting});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Audio out = readAudio(file("out.wav"));
        ASSERT_EQ(out.frames(), input.frames());
        float largest = 0.0f;
        for (size_t c = 0; c < 2; ++c)
            for (size_t i = 0; i < input.frames(); ++i)
                largest = std::max(largest, std::fabs(out.channels[c][i] - input.channels[c][i]));
        EXPECT_LT(largest, 1e-3f) << setting;
    }
}

TEST_F(RenderToolTest, PresetsByNameAndByIndexAreTheSame) {
    const ToolRun byName = render({"--list-parameters", "-p", "  WOW   tape "});
    const ToolRun byIndex = render({"--list-parameters", "-p", "43"});
    ASSERT_EQ(byName.exitCode, 0) << byName.err;
    ASSERT_EQ(byIndex.exitCode, 0) << byIndex.err;
    EXPECT_EQ(byName.out, byIndex.out);
    const ToolRun fallback = render({"--list-parameters", "-p", "Default"});
    EXPECT_NE(fallback.out, byName.out);
}

TEST_F(RenderToolTest, ListsTheFactoryPresetsMarkingTheCurrentOne) {
    const ToolRun run = render({"--list-presets", "-p", "Dub Hit"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 61);
    EXPECT_EQ(run.out.rfind("   0  Default\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\n  12  3 16 Feedback \n"), std::string::npos);
    EXPECT_NE(run.out.find("\n* 40  Dub Hit\n"), std::string::npos);
    EXPECT_NE(run.out.find("\n  60  Piano Case\n"), std::string::npos);
}

TEST_F(RenderToolTest, ListsTheParametersWithTheirDisplayTexts) {
    const ToolRun run = render({"--list-parameters", "-s", "Main Mix=1", "-s", "dlyl_time=0.25"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1 + kNumSoundParameters);
    const std::string mix = lineWith(run.out, "Main Mix");
    EXPECT_NE(mix.find("1.000000"), std::string::npos) << mix;
    EXPECT_NE(mix.find("D:0<>100:W %"), std::string::npos) << mix;
    const std::string time = lineWith(run.out, "DlyL Time");
    EXPECT_NE(time.find("1250.000000 ms"), std::string::npos) << time;
    EXPECT_NE(lineWith(run.out, "Mod Sens").find(" 47  Mod Sens"), std::string::npos) << run.out;
}

TEST_F(RenderToolTest, APresetFileBecomesTheCurrentPreset) {
    std::array<uint8_t, kPresetImageBytes> image{};
    encodePresetImage(wetShortEcho("From A File"), kRuvaneId, image.data());
    writeBytes(file("wet.zav"), image.data(), image.size());
    // The same preset as a machine of the other byte order writes it.
    std::array<uint8_t, kPresetImageBytes> swapped = image;
    reverseWord(swapped.data());
    for (size_t i = 0; i < kNumSoundParameters; ++i) reverseWord(swapped.data() + 29 + 4 * i);
    writeBytes(file("swapped.zav"), swapped.data(), swapped.size());
    writeAudio(file("in.wav"), bursts(44100, 2, 0.3, {0.1}), SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    for (const char* preset : {"wet.zav", "swapped.zav"}) {
        const ToolRun list = render({"--preset-file", preset, "--list-presets", "--list-parameters"});
        ASSERT_EQ(list.exitCode, 0) << list.err;
        EXPECT_EQ(list.out.rfind("*  0  From A File\n", 0), 0u) << list.out;
        EXPECT_NE(lineWith(list.out, "Main Mix").find("D:0<>100:W"), std::string::npos) << preset;
        EXPECT_NE(lineWith(list.out, "DlyR Time").find("300.000000 ms"), std::string::npos) << preset;

        const ToolRun run = render({"--preset-file", preset, "in.wav", "out.wav", "--bits", "float", "--tail", "0.5"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Audio out = readAudio(file("out.wav"));
        EXPECT_LT(peakBetween(out.channels[0], 44100, 0.0, 0.39), 0.003f) << "all wet: no dry burst";
        EXPECT_NEAR(onsetAfter(out.channels[0], 44100, 0.0, 0.01f), 0.4, 0.003) << preset;
    }
}

TEST_F(RenderToolTest, ABankFileReplacesThePresets) {
    PresetBank bank{};
    for (int i = 0; i < kNumPresets; ++i) {
        const std::string name = "Bank Preset " + std::to_string(100 + i).substr(1);
        bank[static_cast<size_t>(i)] = i == 5 ? wetShortEcho(name.c_str()) : record(name.c_str(), kDefaultValues);
    }
    std::vector<uint8_t> image(kBankImageBytes);
    encodeBankImage(bank, kRuvaneId, image.data());
    writeBytes(file("mine.zvb"), image.data(), image.size());

    const ToolRun list = render({"--bank", "mine.zvb", "--list-presets"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out.rfind("*  0  Bank Preset 00\n", 0), 0u) << list.out;
    EXPECT_NE(list.out.find("\n  60  Bank Preset 60\n"), std::string::npos) << list.out;

    writeAudio(file("in.wav"), bursts(44100, 1, 0.3, {0.1}), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun run = render({"--bank", "mine.zvb", "-p", "bank preset 05", "in.wav", "out.wav", "--tail", "0.5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio out = readAudio(file("out.wav"));
    EXPECT_NEAR(onsetAfter(out.channels[1], 44100, 0.0, 0.01f), 0.4, 0.003);
}

TEST_F(RenderToolTest, MidiSettingsAssignControllers) {
    ControllerValues values;
    values.fill(1.0f);                  // no controller
    values[2] = (11.0f + 0.5f) / 129;   // Main Mix on CC 11
    values[35] = (74.0f + 0.5f) / 129;  // DlyL Time on CC 74
    std::array<uint8_t, kMidiImageBytes> image{};
    encodeMidiImage(values, kRuvaneId, image.data());
    writeBytes(file("mine.zvm"), image.data(), image.size());

    const ToolRun run = render({"--midi", "mine.zvm", "--list-parameters"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lineWith(run.out, "Main Mix").substr(lineWith(run.out, "Main Mix").size() - 4), "  11");
    EXPECT_EQ(lineWith(run.out, "DlyL Time").substr(lineWith(run.out, "DlyL Time").size() - 4), "  74");
    EXPECT_EQ(lineWith(run.out, "Main In").back(), '-');
    EXPECT_EQ(lineWith(run.out, "Mod Sens").back(), '-');
}

}  // namespace
}  // namespace ruvane::testing
