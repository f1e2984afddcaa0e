// Ruvane itself inside the stand-in host through wrapper.so: ruvane-host renders as
// ruvane-render does (whatever its block), master bypass gives the input back exactly,
// its state files bring back what was saved and refuse what does not fit, its controls
// listing, help and window picture, a saved state brings back every byte of Ruvane's
// own chunk, and MIDI controllers move their parameters.
#include <cairo.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

#include "adapter/framework/big_endian.h"
#include "adapter/framework/control_values.h"
#include "adapter_test_support.h"
#include "private_x_server.h"

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

TEST_F(RuvaneInHost, AnyHostBlockRendersTheSameAudio) {
    ASSERT_EQ(runIn(folder.path(), host + " render dry.wav default.wav --bits float -q -c 'DlyL Fb=0.6'"), 0);
    for (const char* block : {"37", "1", "4096"}) {
        SCOPED_TRACE(block);
        ASSERT_EQ(runIn(folder.path(), host + " render --block " + block +
                                           " dry.wav blocked.wav --bits float -q -c 'DlyL Fb=0.6'"), 0)
            << readText(folder.path() / "log.txt");
        const Audio blocked = readFloatWav(folder.path() / "blocked.wav");
        ASSERT_GT(blocked.samples.size(), 44100u);
        EXPECT_EQ(largestDifference(readFloatWav(folder.path() / "default.wav"), blocked), 0.0f);
    }
}

// The chunks of a ruvane-host state file by id: "RVHS", version and count, then per
// chunk its id, name length, name, byte count and bytes (little-endian words).
std::map<uint32_t, std::vector<uint8_t>> stateFileChunks(const fs::path& path) {
    const std::vector<uint8_t> file = fileBytes(path);
    const auto word = [&](std::size_t at) {
        uint32_t value = 0;
        if (at + 4 <= file.size()) std::memcpy(&value, file.data() + at, 4);
        return value;
    };
    std::map<uint32_t, std::vector<uint8_t>> chunks;
    std::size_t at = 12;
    for (uint32_t i = 0; i < word(8) && at + 12 <= file.size(); ++i) {
        const uint32_t id = word(at);
        at += 8 + word(at + 4);
        const std::size_t bytes = std::min<std::size_t>(word(at), file.size() - at - 4);
        chunks[id].assign(file.begin() + static_cast<long>(at + 4), file.begin() + static_cast<long>(at + 4 + bytes));
        at += 4 + bytes;
    }
    return chunks;
}

TEST_F(RuvaneInHost, StateFileBringsBackWhatWasSaved) {
    ASSERT_EQ(runIn(folder.path(), host + " render dry.wav set.wav --bits float -q -c 'DlyL Fb=0.6' "
                                          "-c 'DlyL Time=0.3' --save-state saved.rvhs"), 0)
        << readText(folder.path() / "log.txt");
    ASSERT_EQ(runIn(folder.path(), host + " render dry.wav loaded.wav --bits float -q --load-state saved.rvhs "
                                          "--save-state again.rvhs"), 0)
        << readText(folder.path() / "log.txt");
    ASSERT_EQ(runIn(folder.path(), host + " render dry.wav plain.wav --bits float -q"), 0);
    const Audio set = readFloatWav(folder.path() / "set.wav");
    EXPECT_EQ(largestDifference(set, readFloatWav(folder.path() / "loaded.wav")), 0.0f);
    EXPECT_GT(largestDifference(set, readFloatWav(folder.path() / "plain.wav")), 0.01f);  // the state mattered
    // Saved again after loading: the effect's state and the MIDI node as they were. The
    // host control values are read back from the effect's float parameters on loading,
    // so they may differ in the last bits of their 32.
    const auto saved = stateFileChunks(folder.path() / "saved.rvhs");
    const auto again = stateFileChunks(folder.path() / "again.rvhs");
    ASSERT_EQ(saved.size(), 3u);
    ASSERT_EQ(again.size(), 3u);
    EXPECT_EQ(again.at(fourCharCode('A', 'l', 'l', ' ')), saved.at(fourCharCode('A', 'l', 'l', ' ')));
    EXPECT_EQ(again.at(fourCharCode('m', 'i', 'd', 'i')), saved.at(fourCharCode('m', 'i', 'd', 'i')));
    const auto& controls = saved.at(fourCharCode('e', 'l', 'c', 'k'));
    const auto& controlsAgain = again.at(fourCharCode('e', 'l', 'c', 'k'));
    ASSERT_EQ(controlsAgain.size(), controls.size());
    for (std::size_t at = 56 + 4; at + 4 <= controls.size(); at += 4) {
        const auto value = [](const std::vector<uint8_t>& bytes, std::size_t at) {
            return static_cast<int32_t>(ReadBigEndian32(bytes.data() + at));
        };
        EXPECT_NEAR(hostplatform::fractionOfControlValue(value(controlsAgain, at)),
                    hostplatform::fractionOfControlValue(value(controls, at)), 1e-7) << at;
    }
    // The loaded state shows in the controls listing as the settings themselves do.
    ASSERT_EQ(runIn(folder.path(), host + " controls --load-state saved.rvhs"), 0);
    const std::string listing = readText(folder.path() / "log.txt");
    ASSERT_EQ(runIn(folder.path(), host + " controls -c 'DlyL Fb=0.6' -c 'DlyL Time=0.3'"), 0);
    EXPECT_EQ(listing, readText(folder.path() / "log.txt"));
}

TEST_F(RuvaneInHost, BrokenStateFilesStopWithExitCode3) {
    ASSERT_EQ(runIn(folder.path(), host + " render dry.wav out.wav -q --save-state good.rvhs"), 0);
    fs::remove(folder.path() / "out.wav");
    const std::vector<uint8_t> good = fileBytes(folder.path() / "good.rvhs");
    ASSERT_GT(good.size(), 100u);
    // Cut short, and a chunk whose own header disagrees with its size: "RVHS", version,
    // count, then the first chunk's id, name length, name and byte count before its header.
    writeBytes(folder.path() / "truncated.rvhs", {good.begin(), good.begin() + static_cast<long>(good.size() / 2)});
    uint32_t nameBytes = 0;
    std::memcpy(&nameBytes, good.data() + 16, 4);
    std::vector<uint8_t> corrupt = good;
    corrupt[24 + nameBytes] ^= 0x40;
    writeBytes(folder.path() / "corrupt.rvhs", corrupt);
    const struct {
        const char* file;
        const char* says;
    } cases[] = {{"truncated.rvhs", "is not a ruvane-host state file (it ends early)"},
                 {"corrupt.rvhs", "does not fit this instance: it refused the chunk \"Complete Controls State\""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(runIn(folder.path(), host + " render --load-state " + c.file + " dry.wav out.wav -q"), 3);
        EXPECT_NE(readText(folder.path() / "log.txt").find(c.says), std::string::npos) << readText(folder.path() / "log.txt");
        EXPECT_FALSE(fs::exists(folder.path() / "out.wav"));
        EXPECT_EQ(runIn(folder.path(), host + " controls --load-state " + c.file), 3);
    }
}

TEST_F(RuvaneInHost, ControlsListsEveryHostControlWithItsKindAndText) {
    ASSERT_EQ(runIn(folder.path(), host + " controls"), 0);
    std::istringstream listing(readText(folder.path() / "log.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(listing, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 97u);  // master bypass and 96 parameters
    const auto expectLine = [&](std::size_t control, const std::string& kind, const std::string& name,
                                const std::string& text) {
        SCOPED_TRACE(name);
        std::istringstream fields(lines[control - 1]);
        std::string number, shownKind;
        fields >> number >> shownKind;
        EXPECT_EQ(number, std::to_string(control));
        EXPECT_EQ(shownKind, kind);
        std::string rest;
        std::getline(fields, rest);
        EXPECT_EQ(rest.substr(rest.find_first_not_of(' ')), name + std::string(34 - name.size(), ' ') + text);
    };
    expectLine(1, "switch", "Master Bypass", "Off");
    expectLine(2, "continuous", "Main In", "0.00 dB");
    expectLine(5, "continuous", "DlyL Fb", "-oo");
    expectLine(9, "switch", "DlyL FbInv", "off");
    expectLine(37, "continuous", "DlyL Time", "2000.00 ms");
    // Settings given on the line show in the texts.
    ASSERT_EQ(runIn(folder.path(), host + " controls -c 'DlyL Fb=0.75' --bypass"), 0);
    std::istringstream changed(readText(folder.path() / "log.txt"));
    lines.clear();
    for (std::string line; std::getline(changed, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 97u);
    expectLine(1, "switch", "Master Bypass", "On");
    expectLine(5, "continuous", "DlyL Fb", "-2.62 dB");
}

TEST_F(RuvaneInHost, EveryCommandHasItsHelp) {
    const struct {
        const char* command;
        std::vector<const char*> says;
    } cases[] = {
        {"", {"Usage: ruvane-host COMMAND", "types", "controls", "render IN OUT", "view", "Exit codes"}},
        {"types", {"Usage: ruvane-host types", "--module"}},
        {"controls", {"Usage: ruvane-host controls", "--type", "--control", "--load-state", "--module"}},
        {"render", {"Usage: ruvane-host render", "--type", "--block", "--bypass", "--control", "--load-state",
                    "--save-state", "--bits", "--quiet", "--module"}},
        {"view", {"Usage: ruvane-host view", "--type", "--shot", "--view-mode", "--module"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        for (const char* help : {"--help", "-h"}) {
            ASSERT_EQ(runIn(folder.path(), host + " " + c.command + " " + help), 0);
            const std::string text = readText(folder.path() / "log.txt");
            for (const char* part : c.says) EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
        }
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
    EXPECT_EQ(runIn(folder.path(), host + " types"), 0);
    EXPECT_NE(readText(folder.path() / "log.txt").find("Rv7x  Ruvane  mono in, stereo out, real-time"), std::string::npos);
}

// A picture as ruvane-host writes it, read back through cairo: its size and its pixels.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, row by row
    uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Picture readPng(const fs::path& path) {
    Picture picture;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        picture.width = cairo_image_surface_get_width(surface);
        picture.height = cairo_image_surface_get_height(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                picture.pixels.push_back(reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xffffff);
    }
    cairo_surface_destroy(surface);
    return picture;
}

// Whether a pixel is within tolerance of a colour in each of red, green and blue.
bool near(uint32_t pixel, uint32_t colour, int tolerance) {
    for (int shift : {16, 8, 0}) {
        const int difference = static_cast<int>((pixel >> shift) & 0xff) - static_cast<int>((colour >> shift) & 0xff);
        if (std::abs(difference) > tolerance) return false;
    }
    return true;
}

TEST_F(RuvaneInHost, ViewShotPicturesTheEditorInsideThePlugInWindow) {
    // On an X server of its own, so no window of another test can cover the picture.
    const PrivateXServer xServer(PrivateXServer::Display::PointedHere);
    ASSERT_FALSE(xServer.name().empty()) << "cannot start Xvfb: scripts/setup installs it (package xvfb)";
    constexpr uint32_t kHostBackground = 0x2e3033;  // the grey of the plug-in window ruvane-host makes
    {
        // A test effect with a 300 x 150 editor of its own, filled with one colour, in
        // place of Ruvane.so: the whole window is the editor.
        ModuleFolder module(testEffectPath("effect_editor"));
        ASSERT_EQ(runIn(folder.path(), host + " view -q --module '" + module.wrapper().string() + "' --shot shot.png"), 0)
            << readText(folder.path() / "log.txt");
        const Picture shot = readPng(folder.path() / "shot.png");
        ASSERT_EQ(shot.width, 300);
        ASSERT_EQ(shot.height, 150);
        for (int y = 0; y < 150; y += 10)
            for (int x = 0; x < 300; x += 10) ASSERT_EQ(shot.at(x, y), kTestEditorColour) << x << ", " << y;
    }
    // Ruvane's own 875 x 171 editor at 1x: the faceplate's light blue-grey rim on both
    // sides, the dark preset strip along the bottom.
    fs::remove(folder.path() / "shot.png");
    ASSERT_EQ(runIn(folder.path(), "GDK_SCALE=1 " + host + " view -q --shot shot.png"), 0)
        << readText(folder.path() / "log.txt");
    const Picture shot = readPng(folder.path() / "shot.png");
    ASSERT_EQ(shot.width, 875);
    ASSERT_EQ(shot.height, 171);
    constexpr uint32_t kFaceplate = 0xbdcfda;  // (189, 207, 218)
    const std::pair<int, int> rim[] = {{866, 40}, {866, 120}, {30, 30}, {30, 120}, {2, 85}};
    for (const auto& [x, y] : rim)
        EXPECT_TRUE(near(shot.at(x, y), kFaceplate, 12)) << x << ", " << y << ": " << std::hex << shot.at(x, y);
    for (const int x : {100, 500, 850}) {
        const uint32_t pixel = shot.at(x, 166);
        EXPECT_TRUE(near(pixel, 0x353d44, 16)) << x << ": " << std::hex << pixel;  // the strip's dark grey
        EXPECT_NE(pixel, kHostBackground) << x;
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
