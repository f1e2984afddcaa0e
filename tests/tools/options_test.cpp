// The command line of ruvane-render, parsed without running anything.
#include <gtest/gtest.h>

#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/options.h"
#include "tools/ruvane-render/text.h"

namespace ruvane::render {
namespace {

TEST(Options, DefaultsRenderTheDemoWithAnAutomaticTail) {
    const RenderOptions options = parseOptions({});
    EXPECT_FALSE(options.input);
    EXPECT_FALSE(options.output);
    EXPECT_FALSE(options.tailSeconds);
    EXPECT_EQ(options.blockSize, 512);
    EXPECT_EQ(options.tempo, 120.0);
    EXPECT_EQ(options.demoRate, 44100);
    EXPECT_FALSE(options.mono);
    EXPECT_EQ(options.sampleFormat, SampleFormat::Default);
}

TEST(Options, ReadsEveryOptionInItsForms) {
    const RenderOptions options = parseOptions({"-p", "Wow Tape", "--preset-file=a.zav", "--bank", "b.zvb",
                                                "--midi", "c.zvm", "-s", "Main Mix=0.7", "--set=dlyl_fb=0.25",
                                                "-t150", "--tail", "2.5", "-b", "64", "--mono", "--bits", "float",
                                                "--plugin", "/x/Ruvane.so", "-q", "in.wav", "out.wav"});
    EXPECT_EQ(options.preset, "Wow Tape");
    EXPECT_EQ(options.presetFile, "a.zav");
    EXPECT_EQ(options.bankFile, "b.zvb");
    EXPECT_EQ(options.midiFile, "c.zvm");
    ASSERT_EQ(options.settings.size(), 2u);
    EXPECT_EQ(options.settings[0].name, "Main Mix");
    EXPECT_FLOAT_EQ(options.settings[0].value, 0.7f);
    EXPECT_EQ(options.settings[1].name, "dlyl_fb");
    EXPECT_FLOAT_EQ(options.settings[1].value, 0.25f);
    EXPECT_EQ(options.tempo, 150.0);
    EXPECT_EQ(options.tailSeconds, 2.5);
    EXPECT_EQ(options.blockSize, 64);
    EXPECT_TRUE(options.mono);
    EXPECT_EQ(options.sampleFormat, SampleFormat::Float);
    EXPECT_EQ(options.plugin, "/x/Ruvane.so");
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.input, "in.wav");
    EXPECT_EQ(options.output, "out.wav");
}

TEST(Options, FilesMayComeAsPositionalsOrWithOutputOption) {
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> input;
        std::optional<std::string> output;
    };
    const Case cases[] = {
        {{}, std::nullopt, std::nullopt},
        {{"in.wav"}, "in.wav", std::nullopt},
        {{"in.wav", "out.flac"}, "in.wav", "out.flac"},
        {{"-o", "out.ogg", "in.wav"}, "in.wav", "out.ogg"},
        {{"-oout.wav"}, std::nullopt, "out.wav"},
        {{"--", "-odd.wav"}, "-odd.wav", std::nullopt},
    };
    for (const Case& c : cases) {
        const RenderOptions options = parseOptions(c.args);
        EXPECT_EQ(options.input, c.input) << ::testing::PrintToString(c.args);
        EXPECT_EQ(options.output, c.output) << ::testing::PrintToString(c.args);
    }
}

TEST(Options, TailAcceptsSecondsOrAuto) {
    EXPECT_EQ(parseOptions({"--tail", "0"}).tailSeconds, 0.0);
    EXPECT_EQ(parseOptions({"--tail", "12"}).tailSeconds, 12.0);
    EXPECT_FALSE(parseOptions({"--tail", "3", "--tail", "AUTO"}).tailSeconds);
}

TEST(Options, MalformedCommandLinesAreUsageErrors) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--preset"}, "needs a value"},
        {{"-p"}, "needs a value"},
        {{"--mono=yes"}, "takes no value"},
        {{"-s", "Main Mix"}, "NAME=VALUE"},
        {{"-s", "=0.5"}, "NAME=VALUE"},
        {{"-s", "Main Mix=1.5"}, "bad value '1.5'"},
        {{"-s", "Main Mix=-0.1"}, "bad value '-0.1'"},
        {{"-s", "Main Mix=half"}, "bad value 'half'"},
        {{"-s", "Main Mix=nan"}, "bad value 'nan'"},
        {{"-s", "Main Mix="}, "bad value ''"},
        {{"--tempo", "29"}, "30..400"},
        {{"--tempo", "401"}, "30..400"},
        {{"--tempo", "fast"}, "30..400"},
        {{"--tail", "-1"}, "'auto'"},
        {{"--tail", "1h"}, "'auto'"},
        {{"--block-size", "0"}, "1..16384"},
        {{"--block-size", "16385"}, "1..16384"},
        {{"--block-size", "64.5"}, "1..16384"},
        {{"--bits", "8"}, "16, 24 or float"},
        {{"--rate", "1000"}, "8000..384000"},
        {{"--rate", "48000", "in.wav"}, "demo phrase"},
        {{"a.wav", "b.wav", "c.wav"}, "too many files"},
        {{"a.wav", "b.wav", "-o", "c.wav"}, "two outputs"},
        {{"-", "out.wav"}, "standard input"},
        {{"-o", ""}, "empty"},
    };
    for (const Case& c : cases) {
        try {
            parseOptions(c.args);
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(c.args);
        } catch (const ToolError& error) {
            EXPECT_EQ(error.code(), kExitUsage) << ::testing::PrintToString(c.args);
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << ::testing::PrintToString(c.args) << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find("--help"), std::string::npos) << error.what();
        }
    }
}

TEST(Options, HelpAndVersionWinOverEverythingElse) {
    EXPECT_TRUE(parseOptions({"a.wav", "b.wav", "c.wav", "--help"}).help);
    EXPECT_TRUE(parseOptions({"-h"}).help);
    EXPECT_TRUE(parseOptions({"--version"}).version);
}

TEST(Options, HelpDescribesEveryOptionAndExitStatus) {
    const std::string help = helpText("ruvane-render");
    for (const char* option : {"--output", "--mono", "--bits", "--rate", "--preset ", "--preset-file", "--bank",
                               "--midi", "--set", "--tempo", "--tail", "--block-size", "--plugin", "--list-presets",
                               "--list-parameters", "--quiet", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    for (const char* status : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  130 "})
        EXPECT_NE(help.find(status), std::string::npos) << status;
}

TEST(DefaultOutput, SitsBesideTheInputAndKeepsAWritableFormat) {
    struct Case {
        std::optional<std::string> input;
        const char* output;
    };
    const Case cases[] = {
        {std::nullopt, "ruvane-demo.wav"},
        {"song.wav", "song-ruvane.wav"},
        {"music/take 2.FLAC", "music/take 2-ruvane.flac"},
        {"/tmp/a.b.ogg", "/tmp/a.b-ruvane.ogg"},
        {"loop.aiff", "loop-ruvane.wav"},
        {"noextension", "noextension-ruvane.wav"},
    };
    for (const Case& c : cases) EXPECT_EQ(defaultOutputPath(c.input), c.output) << c.input.value_or("(demo)");
}

TEST(NameKeys, LooseKeysIgnoreCaseSpacesUnderscoresAndDashes) {
    EXPECT_EQ(looseKey("DlyL Time"), looseKey("dlyl_time"));
    EXPECT_EQ(looseKey("DlyL Time"), looseKey("DLYL-TIME"));
    EXPECT_EQ(looseKey("  Main  Mix "), "mainmix");
    EXPECT_NE(looseKey("DlyL Time"), looseKey("DlyR Time"));
}

TEST(NameKeys, PresetKeysKeepWordsApart) {
    EXPECT_EQ(presetKey("3 16 Feedback "), presetKey("3 16 feedback"));
    EXPECT_EQ(presetKey("  wow   TAPE "), "wow tape");
    EXPECT_NE(presetKey("1 4 Feedback"), presetKey("14 Feedback"));
}

TEST(Numbers, WholeTextMustBeAFiniteNumber) {
    EXPECT_EQ(parseNumber("0.25"), 0.25);
    EXPECT_EQ(parseNumber(" 1 "), 1.0);
    EXPECT_EQ(parseNumber("1e-3"), 0.001);
    EXPECT_FALSE(parseNumber(""));
    EXPECT_FALSE(parseNumber("0.5x"));
    EXPECT_FALSE(parseNumber("inf"));
    EXPECT_FALSE(parseNumber("nan"));
    EXPECT_EQ(parseInteger("61"), 61);
    EXPECT_FALSE(parseInteger("6.1"));
    EXPECT_FALSE(parseInteger("Default"));
}

}  // namespace
}  // namespace ruvane::render
