// Ruvane itself inside the stand-in host through wrapper.so: ruvane-host renders as
// ruvane-render does, master bypass gives the input back exactly, a saved state brings
// back every byte of Ruvane's own chunk, and MIDI controllers move their parameters.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "adapter/framework/control_values.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

namespace fs = std::filesystem;

struct Audio {
    int channels = 0;
    std::vector<float> samples;  // interleaved
};

// A float WAV as ruvane-render and ruvane-host write it with --bits float.
Audio readFloatWav(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Audio audio;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size = 0;
        std::memcpy(&size, &bytes[at + 4], 4);
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0) {
            uint16_t channels = 0;
            std::memcpy(&channels, &bytes[at + 10], 2);
            audio.channels = channels;
        } else if (std::memcmp(&bytes[at], "data", 4) == 0 && at + 8 + size <= bytes.size()) {
            audio.samples.resize(size / 4);
            std::memcpy(audio.samples.data(), &bytes[at + 8], audio.samples.size() * 4);
        }
        at += 8 + size + (size & 1);
    }
    return audio;
}

float largestDifference(const Audio& a, const Audio& b) {
    EXPECT_EQ(a.channels, b.channels);
    EXPECT_EQ(a.samples.size(), b.samples.size());
    float largest = 0.0f;
    for (std::size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i)
        largest = std::max(largest, std::fabs(a.samples[i] - b.samples[i]));
    return largest;
}

// Runs a program with the settings store in folder; answers its exit status.
int runIn(const fs::path& folder, const std::string& command) {
    const std::string line = "cd '" + folder.string() + "' && XDG_CONFIG_HOME='" + (folder / "config").string() +
                             "' " + command + " >'" + (folder / "log.txt").string() + "' 2>&1";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readText(const fs::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class RuvaneInHost : public ::testing::Test {
protected:
    void SetUp() override {
        // A stereo phrase without the effect's sound on it, as the input of every render.
        ASSERT_EQ(runIn(folder.path(), render + " --bits float --tail 0 -q -s 'Main Mix=0' -o dry.wav"), 0)
            << readText(folder.path() / "log.txt");
    }
    TempFolder folder;
    const std::string render = RUVANE_RENDER_PATH;
    const std::string host = RUVANE_HOST_PATH;
};

TEST_F(RuvaneInHost, RendersAsRuvaneRenderDoesThroughStereoAndOfflineTypes) {
    // The stereo type against ruvane-render's stereo output; the offline (mono) type,
    // whose one channel is the effect's second output, against ruvane-render's mono mix.
    const struct {
        const char* type;
        const char* renderOptions;
    } cases[] = {{"Rv7m", ""}, {"Rv7a", " --mono"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        ASSERT_EQ(runIn(folder.path(), render + " dry.wav -o reference.wav --bits float --tail 0 -q -s 'DlyL Fb=0.6'" +
                                           c.renderOptions), 0);
        ASSERT_EQ(runIn(folder.path(), host + " render --type " + c.type +
                                           " dry.wav hosted.wav --bits float -q -c 'DlyL Fb=0.6'"), 0)
            << readText(folder.path() / "log.txt");
        const Audio reference = readFloatWav(folder.path() / "reference.wav");
        ASSERT_GT(reference.samples.size(), 44100u);
        EXPECT_LE(largestDifference(reference, readFloatWav(folder.path() / "hosted.wav")), 1e-6f);
    }
}

TEST_F(RuvaneInHost, MasterBypassGivesTheInputBackExactly) {
    ASSERT_EQ(runIn(folder.path(), host + " render --bypass dry.wav bypassed.wav --bits float -q"), 0);
    const Audio dry = readFloatWav(folder.path() / "dry.wav");
    EXPECT_EQ(largestDifference(dry, readFloatWav(folder.path() / "bypassed.wav")), 0.0f);
    ASSERT_EQ(runIn(folder.path(), host + " render dry.wav wet.wav --bits float -q"), 0);
    EXPECT_GT(largestDifference(dry, readFloatWav(folder.path() / "wet.wav")), 0.01f);  // the effect does sound
}

TEST_F(RuvaneInHost, ToolErrorsSayWhatToDoWithTheirExitCodes) {
    const struct {
        std::string args;
        int code;
        const char* says;
    } cases[] = {
        {"", 2, "give a command"},
        {"render dry.wav", 2, "input and an output"},
        {"render --type Rv9x dry.wav out.wav", 2, "no plug-in type 'Rv9x'"},
        {"render -c 'No Such=1' dry.wav out.wav", 2, "no host control named 'No Such'"},
        {"render -c 'Main Mix=2' dry.wav out.wav", 2, "fraction from 0 to 1"},
        {"render missing.wav out.wav", 3, "missing.wav"},
        {"render --load-state dry.wav dry.wav out.wav", 3, "not a ruvane-host state file"},
        {"types --module nowhere/wrapper.so", 4, "does not exist"},
        {"render --block 0 dry.wav out.wav", 2, "--block"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(runIn(folder.path(), host + " " + c.args), c.code);
        EXPECT_NE(readText(folder.path() / "log.txt").find(c.says), std::string::npos) << readText(folder.path() / "log.txt");
    }
    EXPECT_FALSE(fs::exists(folder.path() / "out.wav"));
    EXPECT_EQ(runIn(folder.path(), host + " render --help"), 0);
    EXPECT_NE(readText(folder.path() / "log.txt").find("--save-state"), std::string::npos);
    EXPECT_EQ(runIn(folder.path(), host + " types"), 0);
    EXPECT_NE(readText(folder.path() / "log.txt").find("Rv7x  Ruvane  mono in, stereo out, real-time"), std::string::npos);
}

TEST_F(RuvaneInHost, ViewShotShowsThePlugInWindowAtTheEditorsSize) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server: run it under xvfb-run";
    // A test effect with a 300 x 150 editor of its own in place of Ruvane.so, and Ruvane
    // itself beside the built wrapper.so, with its 875 x 171 editor at 1x.
    ModuleFolder module(testEffectPath("effect_editor"));
    const struct {
        std::string moduleOption;
        int width, height;
    } cases[] = {{" --module '" + module.wrapper().string() + "'", 300, 150}, {"", 875, 171}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        fs::remove(folder.path() / "shot.png");
        ASSERT_EQ(runIn(folder.path(), "GDK_SCALE=1 " + host + " view -q" + c.moduleOption + " --shot shot.png"), 0)
            << readText(folder.path() / "log.txt");
        std::ifstream png(folder.path() / "shot.png", std::ios::binary);
        std::array<unsigned char, 24> head{};
        png.read(reinterpret_cast<char*>(head.data()), head.size());
        ASSERT_TRUE(png.good());
        EXPECT_EQ(std::memcmp(head.data() + 1, "PNG", 3), 0);
        const auto bigEndian = [&](std::size_t at) {
            return (head[at] << 24) | (head[at + 1] << 16) | (head[at + 2] << 8) | head[at + 3];
        };
        EXPECT_EQ(bigEndian(16), c.width);
        EXPECT_EQ(bigEndian(20), c.height);
    }
}

// Ruvane's own chunk inside an instance's "Complete State": all but the 8-byte trailer.
std::vector<uint8_t> ruvaneChunk(const hostplatform::PlugInInstance& instance) {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(instance.saveChunk(0x416c6c20, bytes), 0);
    EXPECT_GT(bytes.size(), 56u + 8u);
    return {bytes.begin() + 56, bytes.end() - 8};
}

TEST_F(RuvaneInHost, SavedStateBringsBackRuvanesWholeChunk) {
    QuietHost quiet;
    ModuleFolder module(RUVANE_PLUGIN_PATH);
    auto opened = openModule(quiet.platform, module.wrapper());
    ASSERT_NE(opened, nullptr);
    const auto stereo = typeWithId(*opened, fourCharCode('R', 'v', '7', 'm'));
    auto first = opened->create(stereo, 48000.0);
    ASSERT_NE(first, nullptr);
    const auto fraction = [](double value) { return hostplatform::controlValueOfFraction(value); };
    // Values a float holds exactly, so the host's and the effect's readings agree.
    first->setValue(2 + 3, fraction(0.75));           // DlyL Fb
    first->setValue(2 + 35, fraction(0.875));         // DlyL Time
    first->setValue(2 + 48 + 3, fraction(64.5 / 129));  // DlyL Fb now answers controller 64
    first->setValue(1, fraction(1.0));                // master bypass, kept by the framework's chunk
    // The chunk list: the framework's controls, then the adapter's two, as announced.
    const auto chunks = first->chunkList();
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].id, fourCharCode('e', 'l', 'c', 'k'));
    EXPECT_STREQ(chunks[0].name, "Complete Controls State");
    EXPECT_EQ(chunks[0].announcedSize, -152);
    EXPECT_EQ(chunks[1].id, fourCharCode('A', 'l', 'l', ' '));
    EXPECT_STREQ(chunks[1].name, "Complete State");
    EXPECT_EQ(chunks[1].announcedSize, static_cast<int32_t>(ruvaneChunk(*first).size() + 8));
    EXPECT_EQ(chunks[2].id, fourCharCode('m', 'i', 'd', 'i'));
    EXPECT_STREQ(chunks[2].name, "MIDI Connection Data");
    EXPECT_EQ(chunks[2].announcedSize, -152);
    const auto saved = first->saveState();
    ASSERT_EQ(saved.size(), 3u);
    int32_t headerSize = 0;
    std::memcpy(&headerSize, saved[1].bytes.data(), sizeof headerSize);
    EXPECT_EQ(headerSize, static_cast<int32_t>(saved[1].bytes.size()));  // the header's size field is the whole chunk

    auto second = opened->create(stereo, 48000.0);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(ruvaneChunk(*second), ruvaneChunk(*first));
    // Probing the controls left the new instance as the effect starts: "Default" has
    // delay times of 2000 ms, which probing the delay ranges would otherwise have cut.
    EXPECT_EQ(second->text(2 + 35), "2000.00 ms");
    EXPECT_EQ(second->restoreState(saved), 0);
    EXPECT_EQ(ruvaneChunk(*second), ruvaneChunk(*first));
    for (int32_t control = 1; control <= first->controlCount(); ++control)
        EXPECT_EQ(second->text(control), first->text(control)) << control;
    EXPECT_EQ(second->value(1), fraction(1.0));
    // The restored node identity is the saved instance's.
    EXPECT_EQ(second->midiNode(), first->midiNode());
}

TEST_F(RuvaneInHost, MidiControllersMoveTheirParameters) {
    QuietHost quiet;
    ProcessFixture fixture;
    auto process = fixture.make(RUVANE_PLUGIN_PATH);
    auto& midi = dynamic_cast<CEffectProcessMIDI&>(*process);
    CPluginWrapper& wrapper = process->Wrapper();
    const float before = wrapper.GetParameter(2);  // Main Mix answers controller 21 by default
    const HPMidiEvent events[] = {{{0xB0, 21, 127, 0}, 3}, {{0xB0, 20, 0, 0}, 10}};
    std::vector<float> left(64, 0.1f), right(64, 0.1f), outLeft(64), outRight(64);
    const float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    midi.SetBufferedMidi(events, 2);
    process->RenderAudio(inputs, outputs, nullptr, 64, false);
    midi.SetBufferedMidi(nullptr, 0);
    EXPECT_NE(wrapper.GetParameter(2), before);
    EXPECT_NEAR(wrapper.GetParameter(2), 1.0f, 0.01f);
    EXPECT_NEAR(wrapper.GetParameter(0), 0.0f, 0.01f);  // Main In, controller 20
}

}  // namespace
}  // namespace ruvane::testing
