// Each way ruvane-render can be asked the impossible: the message, the exit status,
// and no output file left behind (an earlier output stays as it was).
#include <chrono>
#include <thread>

#include "effect/editor/preset_images.h"
#include "render_tool.h"

namespace ruvane::testing {
namespace {

constexpr const char* kEarlierOutput = "an earlier render";

struct ErrorCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    const char* message;
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

class RenderErrors : public RenderToolTest, public ::testing::WithParamInterface<ErrorCase> {
protected:
    void SetUp() override {
        RenderToolTest::SetUp();
        writeAudio(file("in.wav"), bursts(44100, 2, 0.2, {0.05}), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        writeAudio(file("three.wav"), bursts(44100, 3, 0.2, {0.05}), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        { std::ofstream(file("junk.wav")) << "this is text, not a RIFF file"; }
        { std::ofstream(file("notes.txt")) << "not a plug-in"; }
        fs::create_directory(file("folder.wav"));
        std::array<uint8_t, kPresetImageBytes> preset{};
        encodePresetImage(PresetRecord{}, fourCharCode('R', 'V', '7', 'S'), preset.data());
        std::ofstream(file("a.zav"), std::ios::binary)
            .write(reinterpret_cast<const char*>(preset.data()), static_cast<std::streamsize>(preset.size()));
        encodePresetImage(PresetRecord{}, fourCharCode('O', 'T', 'H', 'R'), preset.data());
        std::ofstream(file("other.zav"), std::ios::binary)
            .write(reinterpret_cast<const char*>(preset.data()), static_cast<std::streamsize>(preset.size()));
        { std::ofstream(file("out.wav")) << kEarlierOutput; }
        before_ = filesInWork();
    }

    std::vector<std::string> before_;
};

TEST_P(RenderErrors, ExplainOnStandardErrorAndLeaveNoOutput) {
    const ErrorCase& c = GetParam();
    const ToolRun run = render(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_EQ(run.err.rfind("ruvane-render: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_EQ(filesInWork(), before_);
    EXPECT_EQ(readText(file("out.wav")), kEarlierOutput);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderErrors,
    ::testing::Values(
        ErrorCase{"MissingInput", {"missing.wav", "out.wav"}, 3, "cannot open 'missing.wav': no such file"},
        ErrorCase{"FolderAsInput", {"folder.wav", "out.wav"}, 3, "it is a directory"},
        ErrorCase{"UnsupportedInput", {"junk.wav", "out.wav"}, 3, "cannot read 'junk.wav' as audio"},
        ErrorCase{"TooManyChannels", {"three.wav", "out.wav"}, 3, "has 3 channels"},
        ErrorCase{"UnknownOutputFormat", {"in.wav", "out.mp3"}, 2, "unknown output format '.mp3'"},
        ErrorCase{"FloatFlac", {"in.wav", "out.flac", "--bits", "float"}, 2, "FLAC stores whole numbers"},
        ErrorCase{"FolderAsOutput", {"in.wav", "folder.wav"}, 2, "is a folder"},
        ErrorCase{"OutputIsInput", {"in.wav", "in.wav"}, 2, "is the input file"},
        ErrorCase{"OutputIsInputByAnotherPath", {"in.wav", "./folder.wav/../in.wav"}, 2, "is the input file"},
        ErrorCase{"UnknownPreset", {"in.wav", "out.wav", "-p", "No Such Preset"}, 2, "unknown preset 'No Such Preset'"},
        ErrorCase{"PresetIndexOutOfRange", {"in.wav", "out.wav", "-p", "61"}, 2, "no preset 61"},
        ErrorCase{"UnknownParameter", {"in.wav", "out.wav", "-s", "Main Nix=0.5"}, 2, "unknown parameter 'Main Nix'"},
        ErrorCase{"ParameterIndexOutOfRange", {"in.wav", "out.wav", "-s", "48=0.5"}, 2, "no parameter 48"},
        ErrorCase{"ValueAboveOne", {"in.wav", "out.wav", "-s", "Main Mix=1.5"}, 2, "bad value '1.5'"},
        ErrorCase{"ValueNotANumber", {"in.wav", "out.wav", "-s", "Main Mix=loud"}, 2, "bad value 'loud'"},
        ErrorCase{"TempoOutOfRange", {"in.wav", "out.wav", "-t", "500"}, 2, "30..400"},
        ErrorCase{"UnknownOption", {"in.wav", "out.wav", "--louder"}, 2, "unknown option '--louder'"},
        ErrorCase{"MissingPresetFile", {"in.wav", "out.wav", "--preset-file", "none.zav"}, 3, "no such file"},
        ErrorCase{"BankGivenAPreset", {"in.wav", "out.wav", "--bank", "a.zav"}, 3, "it holds a preset"},
        ErrorCase{"MidiGivenAPreset", {"in.wav", "out.wav", "--midi", "a.zav"}, 3, "it holds a preset"},
        ErrorCase{"PresetOfAnotherEffect", {"in.wav", "out.wav", "--preset-file", "other.zav"}, 3,
                  "is not a Ruvane file"},
        ErrorCase{"AudioAsPreset", {"in.wav", "out.wav", "--preset-file", "in.wav"}, 3, "is not a Ruvane file"},
        ErrorCase{"MissingPlugin", {"in.wav", "out.wav", "--plugin", "/nonexistent/Ruvane.so"}, 4,
                  "cannot load plug-in '/nonexistent/Ruvane.so'"},
        ErrorCase{"NotAPlugin", {"in.wav", "out.wav", "--plugin", "notes.txt"}, 4, "cannot load plug-in 'notes.txt'"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST_F(RenderToolTest, AnOutputFolderThatDoesNotExistFailsWithoutDebris) {
    writeAudio(file("in.wav"), bursts(44100, 2, 0.2, {0.05}), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const ToolRun run = render({"in.wav", "no/such/folder/out.wav"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot write into 'no/such/folder'"), std::string::npos) << run.err;
    EXPECT_EQ(filesInWork(), std::vector<std::string>{"in.wav"});
}

// Waits (up to a generous bound) for a render's temporary file to appear in folder.
bool temporaryFileAppears(const fs::path& folder) {
    for (int attempt = 0; attempt < 2000; ++attempt) {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().find(".part-") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(RenderToolTest, AnInterruptedRenderRemovesItsTemporaryFile) {
    writeAudio(file("in.wav"), bursts(44100, 2, 0.2, {0.05}), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    for (int signal : {SIGINT, SIGTERM}) {
        // A ten-minute tail in tiny blocks: still running when the signal comes.
        ToolProcess process({"--plugin", RUVANE_PLUGIN_PATH, "in.wav", "out.wav", "--tail", "600", "-b", "16"}, work);
        ASSERT_TRUE(temporaryFileAppears(work));
        kill(process.pid(), signal);
        const ToolRun run = process.finish();
        EXPECT_EQ(run.signal, signal) << run.err;
        EXPECT_EQ(filesInWork(), std::vector<std::string>{"in.wav"}) << "signal " << signal;
    }
}

}  // namespace
}  // namespace ruvane::testing
