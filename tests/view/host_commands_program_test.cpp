// ruvane-view --commands as a script uses it to play the host, with real X input from
// xdotool on a private X server: a host value moves a knob in the next screenshot, a
// typed name renames the program, a chosen entry of the preset list loads that preset,
// a click on a gallery button shows in the next screenshot, and a hundred closings and
// openings of the editor while the audio plays (fifty of the gallery) leave nothing
// behind, measured from outside the process.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "effect/editor/bitmap_resources.h"
#include "effect/editor/layout.h"
#include "effect/editor/preset_system_editor.h"
#include "effect/engine/parameters.h"
#include "loaded_plugin.h"
#include "process_footprint.h"
#include "toolkit/popup_menu.h"
// Xlib (through the view support) last: its macros (None, Status) clash with the above.
#include "commanded_view.h"
#include "view_support.h"

namespace ruvane::testing {
namespace {

using Tag = CPresetSystemEditor::PanelTag;

// A private server and settings folder, and ruvane-view on them with --commands.
class ScriptedHost : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& args) {
        ASSERT_FALSE(server.name().empty()) << "cannot start Xvfb for this test; install it with scripts/setup";
        display.emplace(server.name());
        ASSERT_NE(display->get(), nullptr);
        program.emplace(args, server.name());
        // Commands are taken once the window shows: the first answer says it does.
        ASSERT_FALSE(program->ask("heap").empty());
        window = display->findWindow("Ruvane", program->pid());
        ASSERT_TRUE(window.has_value()) << "the program's window is not on the screen";
    }
    void startPlugin() { start({"--plugin", RUVANE_PLUGIN_PATH, "--audio"}); }
    std::string ask(const std::string& command) { return program->ask(command); }
    void expectOk(const std::string& command) { EXPECT_EQ(ask(command), "ok") << command << "\n" << program->errors(); }

    void xdotool(const std::string& arguments) {
        const std::string command = "DISPLAY=" + server.name() + " xdotool " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    // A point of the editor (1x units) as xdotool's arguments, relative to the window.
    std::string onWindow(double x, double y) const {
        return "mousemove --window " + std::to_string(*window) + " " + std::to_string(static_cast<int>(x)) + " " +
               std::to_string(static_cast<int>(y));
    }
    std::string onControl(int tag) const {
        const layout::Rect& rect = layout::findControl(tag)->rect;
        return onWindow(rect.centreX(), rect.centreY());
    }
    // What the window shows of a control, from a screenshot the program writes.
    Pixels shotOf(int tag) {
        const fs::path shot = folder.path() / ("shot" + std::to_string(shots++) + ".png");
        if (ask("shot " + shot.string()) != "ok") return {};
        const layout::Rect& rect = layout::findControl(tag)->rect;
        return readPng(shot).crop(static_cast<int>(rect.left), static_cast<int>(rect.top),
                                  static_cast<int>(rect.width()), static_cast<int>(rect.height()));
    }
    void finishCleanly() {
        expectOk("quit");
        const ViewRun run = program->finish();
        EXPECT_EQ(run.exitCode, 0) << run.err;
    }

    PrivateXServer server;
    ScopedConfigHome configHome;
    TempFolder folder;
    std::optional<TestDisplay> display;
    std::optional<CommandedView> program;
    std::optional<Window> window;
    int shots = 0;
};

// The value set from the audio thread, as a host's automation arrives, shows in the
// very next screenshot; setting it back brings the first picture back.
TEST_F(ScriptedHost, AHostValueMovesTheKnobInTheNextShot) {
    startPlugin();
    expectOk("set " + std::to_string(kFltCutoff) + " 1");
    const Pixels open = shotOf(kFltCutoff);
    ASSERT_FALSE(open.rgb.empty());
    expectOk("set " + std::to_string(kFltCutoff) + " 0");
    EXPECT_EQ(ask("get " + std::to_string(kFltCutoff)), "0");
    const Pixels closed = shotOf(kFltCutoff);
    EXPECT_NE(closed, open) << "the knob did not move";
    expectOk("set " + std::to_string(kFltCutoff) + " 1");
    EXPECT_EQ(shotOf(kFltCutoff), open);
    finishCleanly();
}

TEST_F(ScriptedHost, TypingANameRenamesTheProgram) {
    startPlugin();
    const std::string before = ask("program-name");
    ASSERT_NE(before, "Echo Chamber");
    std::string keys = onControl(Tag::kNameFieldTag) + " click 1 key --delay 5";
    for (int i = 0; i < 30; ++i) keys += " BackSpace";
    xdotool(keys);
    xdotool("type --delay 5 'Echo Chamber'");
    xdotool("key Return");
    EXPECT_TRUE(eventually([&] { return ask("program-name") == "Echo Chamber"; }))
        << "the program is called '" << ask("program-name") << "'";
    finishCleanly();
}

// The preset list opens as a window of its own; its entries stand in columns of 16.
TEST_F(ScriptedHost, ChoosingAnEntryOfThePresetListLoadsThatPreset) {
    constexpr int kChosen = 23;
    std::string chosenName, firstName;
    {
        auto reference = loadRuvane();
        ASSERT_NE(reference, nullptr);
        chosenName = reference->programNameIndexed(kChosen);
        firstName = reference->programNameIndexed(0);
    }
    ASSERT_NE(chosenName, firstName);
    startPlugin();
    ASSERT_EQ(ask("program-name"), firstName);

    xdotool(onControl(Tag::kPresetListTag) + " click 1");
    std::optional<Window> menu;
    ASSERT_TRUE(eventually([&] {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display->get(), display->root(), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display->get(), children[i], &attributes) && attributes.override_redirect &&
                attributes.map_state == IsViewable)
                menu = children[i];
        }
        if (children != nullptr) XFree(children);
        return menu.has_value();
    })) << "the preset list did not open";
    XWindowAttributes attributes{};
    XGetWindowAttributes(display->get(), *menu, &attributes);
    int menuX = 0, menuY = 0;
    Window child;
    XTranslateCoordinates(display->get(), *menu, display->root(), 0, 0, &menuX, &menuY, &child);
    constexpr int kRows = CPresetSystemEditor::kPresetListRows;
    const int columns = (kNumPresets + kRows - 1) / kRows;
    const double columnWidth = (attributes.width - 2 * toolkit::PopupMenu::kBorder) / columns;
    const double rowHeight =
        (attributes.height - 2 * (toolkit::PopupMenu::kBorder + toolkit::PopupMenu::kVerticalPadding)) / kRows;
    const int x = menuX + static_cast<int>(toolkit::PopupMenu::kBorder + (kChosen / kRows + 0.5) * columnWidth);
    const int y = menuY + static_cast<int>(toolkit::PopupMenu::kBorder + toolkit::PopupMenu::kVerticalPadding +
                                           (kChosen % kRows + 0.5) * rowHeight);
    xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    EXPECT_TRUE(eventually([&] { return ask("program-name") == chosenName; }))
        << "the program is '" << ask("program-name") << "', not preset " << kChosen << " '" << chosenName << "'";
    finishCleanly();
}

// What the program holds, read from outside it, and the windows on the server.
struct Footprint {
    long residentKiB = 0;  // VmRSS
    int fileDescriptors = 0;
    int windows = 0;
    long heapBytes = 0;  // the program's own count, the one that sanitizer builds keep right
};

long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

int fileDescriptors(pid_t pid) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) ++count;
    return count;
}

class WindowCycles : public ScriptedHost {
protected:
    Footprint footprint() {
        Footprint now;
        const std::string heap = ask("heap");
        now.heapBytes = heap.empty() ? -1 : std::stol(heap);
        now.residentKiB = residentKiB(program->pid());
        now.fileDescriptors = fileDescriptors(program->pid());
        XSync(display->get(), False);
        now.windows = display->windowCount();
        return now;
    }
    // Closes and opens the window `cycles` times, a host value set in between each time.
    void cycle(int cycles) {
        for (int i = 0; i < cycles && !HasFailure(); ++i) {
            expectOk("close");
            if (setsParameters) expectOk("set " + std::to_string(kMainMix) + " " + std::to_string((i % 10) / 10.0));
            expectOk("open");
        }
    }
    void expectNoGrowth(const Footprint& before, const Footprint& after, int cycles, const char* what) {
        EXPECT_EQ(after.fileDescriptors, before.fileDescriptors) << "an X connection or file stays open per window";
        EXPECT_EQ(after.windows, before.windows) << "X windows outlive their window";
        EXPECT_LT(after.heapBytes - before.heapBytes, 256 * 1024) << "the heap grows";
        if (kResidentSizeShowsLeaks) {
            EXPECT_LT(after.residentKiB - before.residentKiB, 4096) << "resident memory grows";
        }
        std::printf("ruvane-view %s, %d close/open cycles: heap %ld -> %ld KiB, VmRSS %ld -> %ld KiB, "
                    "file descriptors %d -> %d, X windows on the server %d -> %d\n",
                    what, cycles, before.heapBytes / 1024, after.heapBytes / 1024, before.residentKiB,
                    after.residentKiB, before.fileDescriptors, after.fileDescriptors, before.windows,
                    after.windows);
    }

    bool setsParameters = false;
};

TEST_F(WindowCycles, AHundredClosingsAndOpeningsOfTheEditorWhileAudioRunsGrowNothing) {
    startPlugin();
    setsParameters = true;
    cycle(20);  // fonts, caches and the allocator settle first
    const Footprint before = footprint();
    cycle(100);
    const Footprint after = footprint();
    expectNoGrowth(before, after, 100, "--audio");
    finishCleanly();
}

TEST_F(WindowCycles, FiftyClosingsAndOpeningsOfTheGalleryGrowNothing) {
    start({"--gallery"});
    cycle(10);
    const Footprint before = footprint();
    cycle(50);
    const Footprint after = footprint();
    expectNoGrowth(before, after, 50, "--gallery");
    finishCleanly();
}

// A real X click on a two-state button of the gallery turns it on in the next
// screenshot the program takes, and a second click off again.
TEST_F(ScriptedHost, AClickOnAGalleryButtonShowsInTheNextShot) {
    constexpr int kButtonTag = 7;  // DlyL FbInv, off at the start
    const layout::Control* button = layout::findControl(kButtonTag);
    ASSERT_NE(button, nullptr);
    const Pixels strip = decodePng(bitmapPng(button->bitmap, 1));
    const int frameHeight = strip.height / 2;
    const Pixels off = strip.crop(0, 0, strip.width, frameHeight);
    const Pixels on = strip.crop(0, frameHeight, strip.width, frameHeight);
    ASSERT_NE(off, on);
    start({"--gallery"});
    EXPECT_EQ(shotOf(kButtonTag), off);
    xdotool(onControl(kButtonTag) + " click 1");
    EXPECT_EQ(shotOf(kButtonTag), on) << "the click does not show in the next shot";
    xdotool(onControl(kButtonTag) + " click 1");
    EXPECT_EQ(shotOf(kButtonTag), off);
    finishCleanly();
}

// What a script gets wrong is answered "error", said on stderr, and the program carries
// on; its exit code says at the end that a command failed.
TEST_F(ScriptedHost, FailedCommandsAreAnsweredAndSetTheExitCode) {
    startPlugin();
    struct Case {
        std::string command;
        std::string says;
    };
    const Case cases[] = {
        {"set 96 0.5", "there is no parameter 96 (the plug-in has 96, numbered 0 to 95)"},
        {"set 2 1.5", "VALUE must be a number from 0 to 1"},
        {"get x", "INDEX must be a parameter number, not 'x'"},
        {"frobnicate", "unknown command 'frobnicate'"},
        {"open", "the window is open already"},
        {"shot /nonexistent-folder/a.png", "cannot write the screenshot"},
        {"close", ""},
        {"shot " + (folder.path() / "closed.png").string(), "the window is closed (open it first)"},
        {"close", "the window is closed already"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const std::string answer = ask(c.command);
        if (c.says.empty()) {
            EXPECT_EQ(answer, "ok");
            continue;
        }
        EXPECT_EQ(answer, "error");
        EXPECT_NE(program->errors().find(c.says), std::string::npos) << program->errors();
    }
    expectOk("open");
    expectOk("set 2 0.25");
    EXPECT_EQ(ask("get 2"), "0.25") << "the program did not carry on after the errors";
    // The end of the input ends the program, as quit does.
    const ViewRun run = program->finish();
    EXPECT_EQ(run.exitCode, 5) << run.err;
    EXPECT_EQ(run.signal, 0);
}

TEST_F(ScriptedHost, TheGalleryAnswersOnlyWindowCommands) {
    start({"--gallery"});
    for (const char* command : {"set 2 0.5", "get 2", "program-name"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(ask(command), "error");
    }
    EXPECT_NE(program->errors().find("the gallery has no plug-in"), std::string::npos) << program->errors();
    const fs::path shot = folder.path() / "gallery.png";
    expectOk("shot " + shot.string());
    EXPECT_EQ(readPng(shot).width, 875);
    expectOk("quit");
    EXPECT_EQ(program->finish().exitCode, 5);
}

}  // namespace
}  // namespace ruvane::testing
