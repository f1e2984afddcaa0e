// End to end on a real X server: the effect's editor opened by the host's effEditOpen
// into a host window of our own, real mouse and key input from xdotool, the editor
// idled through effEditIdle as a host does. Each test has an Xvfb of its own, so the
// pointer, the screen and the window count are this test's alone.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "effect/editor/editor.h"
#include "effect/engine/parameters.h"
#include "tests/editor/editor_fixture.h"
#include "private_x_server.h"
#include "process_footprint.h"
#include "toolkit/frame.h"
#include "toolkit/popup_menu.h"

// Xlib last: its macros (None, Status, Bool) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Status
#undef Bool

extern char** environ;

namespace ruvane {
namespace {

using testing::HostCalls;
using testing::recordingHost;
using Tag = CPresetSystemEditor::PanelTag;
using testing::kResidentSizeShowsLeaks;
using testing::ProcessFootprint;

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(xServer.name().empty()) << "cannot start Xvfb: scripts/setup installs it (package xvfb)";
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "cannot open the X display " << std::getenv("DISPLAY");
        const int screen = DefaultScreen(display);
        host = XCreateSimpleWindow(display, RootWindow(display, screen), 40, 30, 875 * 2, 171 * 2, 0,
                                   BlackPixel(display, screen), BlackPixel(display, screen));
        XStoreName(display, host, "Ruvane test host");
        XMapWindow(display, host);
        XSync(display, False);

        effect = std::make_unique<ZAV>(recordingHost, [](ZAV& zav) { return new Editor(&zav); });
        effect->getAeffect()->user = &calls;
        editor = dynamic_cast<Editor*>(effect->getEditor());
        ASSERT_NE(editor, nullptr);
        ERect* rect = nullptr;
        ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(host)), 1);
        idleTimes(20);
    }
    void TearDown() override {
        if (effect) {
            dispatch(effEditClose);
            effect->getAeffect()->user = nullptr;
            effect.reset();
        }
        if (display != nullptr) {
            XDestroyWindow(display, host);
            XCloseDisplay(display);
        }
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(opcode, index, value, ptr, 0.0f);
    }
    // Host idle calls until done() holds or a generous bound passes (a guard, not a measure).
    bool idleFor(const std::function<bool()>& done, int atLeast = 1) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        for (int i = 0;; ++i) {
            dispatch(effEditIdle);
            if (i >= atLeast && done()) return true;
            if (std::chrono::steady_clock::now() > giveUp) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    void idleTimes(int count) {
        for (int i = 0; i < count; ++i) {
            dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Runs xdotool with the arguments while the host keeps idling the editor.
    void xdotool(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t child = -1;
        ASSERT_EQ(posix_spawnp(&child, "xdotool", nullptr, nullptr, argv.data(), environ), 0)
            << "xdotool is missing: scripts/setup installs it";
        int status = 0;
        ASSERT_TRUE(idleFor([&] { return waitpid(child, &status, WNOHANG) == child; }));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "xdotool failed";
        idleTimes(10);
    }
    // Screen coordinates of an editor point (1x units).
    std::pair<int, int> onScreen(double x, double y) {
        int rootX = 0, rootY = 0;
        Window child;
        XTranslateCoordinates(display, host, DefaultRootWindow(display), 0, 0, &rootX, &rootY, &child);
        const double scale = editor->getScaleFactor();
        return {rootX + static_cast<int>(x * scale), rootY + static_cast<int>(y * scale)};
    }
    std::pair<int, int> centreOnScreen(int tag) {
        const layout::Rect& rect = layout::findControl(tag)->rect;
        return onScreen(rect.centreX(), rect.centreY());
    }
    static std::string str(int value) { return std::to_string(value); }

    // The pixels of a control's rectangle as the screen shows them.
    std::vector<unsigned long> screenshot(int tag) {
        XSync(display, False);
        const layout::Rect& rect = layout::findControl(tag)->rect;
        const auto [x, y] = onScreen(rect.left, rect.top);
        const double scale = editor->getScaleFactor();
        const auto width = static_cast<unsigned>(rect.width() * scale);
        const auto height = static_cast<unsigned>(rect.height() * scale);
        XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, width, height, AllPlanes, ZPixmap);
        std::vector<unsigned long> pixels;
        if (image == nullptr) return pixels;
        for (unsigned row = 0; row < height; ++row)
            for (unsigned column = 0; column < width; ++column) pixels.push_back(XGetPixel(image, column, row));
        XDestroyImage(image);
        return pixels;
    }

    testing::PrivateXServer xServer{testing::PrivateXServer::Display::PointedHere};
    Display* display = nullptr;
    Window host = 0;
    testing::ScopedConfigHome configHome;
    HostCalls calls;
    std::unique_ptr<ZAV> effect;
    Editor* editor = nullptr;
};

TEST_F(EditorWindow, DraggingAKnobIsAutomationBracketedByBeginAndEndEdit) {
    const auto [x, y] = centreOnScreen(kMainMix);
    xdotool({"mousemove", str(x), str(y), "mousedown", "1", "mousemove", str(x), str(y - 10), "mousemove",
             str(x), str(y - 25), "mousemove", str(x), str(y - 40), "mouseup", "1"});
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), (testing::HostCall{'b', kMainMix, 0.0f}));
    EXPECT_EQ(calls.back(), (testing::HostCall{'e', kMainMix, 0.0f}));
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) {
        EXPECT_EQ(calls[i].kind, 'a');
        EXPECT_EQ(calls[i].index, kMainMix);
    }
    EXPECT_GT(effect->getParameter(kMainMix), 0.5f);
    EXPECT_EQ(calls[calls.size() - 2].value, effect->getParameter(kMainMix));
}

TEST_F(EditorWindow, AHostValueMovesTheKnobInTheNextScreenshot) {
    effect->setParameter(kFltCutoff, 1.0f);
    idleTimes(10);
    const auto before = screenshot(kFltCutoff);
    ASSERT_FALSE(before.empty());
    effect->setParameter(kFltCutoff, 0.0f);
    EXPECT_EQ(screenshot(kFltCutoff), before);  // the host's call itself draws nothing
    idleTimes(10);
    EXPECT_NE(screenshot(kFltCutoff), before);
    effect->setParameter(kFltCutoff, 1.0f);
    idleTimes(10);
    EXPECT_EQ(screenshot(kFltCutoff), before);
}

TEST_F(EditorWindow, TypingAPresetNameRenamesIt) {
    const auto [x, y] = centreOnScreen(Tag::kNameFieldTag);
    std::vector<std::string> keys{"mousemove", str(x), str(y), "click", "1", "key", "--delay", "5"};
    for (int i = 0; i < 30; ++i) keys.push_back("BackSpace");
    xdotool(keys);
    xdotool({"type", "--delay", "5", "Echo Chamber"});
    xdotool({"key", "Return"});
    char name[kPresetNameBytes + 1] = {};
    effect->getProgramName(name);
    EXPECT_EQ(std::string(name), "Echo Chamber");
}

TEST_F(EditorWindow, ChoosingAnEntryOfThePresetListLoadsIt) {
    const auto [x, y] = centreOnScreen(Tag::kPresetListTag);
    xdotool({"mousemove", str(x), str(y), "click", "1"});
    toolkit::PopupMenu* menu = editor->getFrame()->getPopupMenu();
    ASSERT_NE(menu, nullptr) << "the list did not open";
    // The list is a window of its own above the host's: find it on the screen.
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    Window popup = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.override_redirect &&
            attributes.map_state == IsViewable)
            popup = children[i];
    }
    if (children != nullptr) XFree(children);
    ASSERT_NE(popup, 0u) << "no pop-up window on the screen";
    int popupX = 0, popupY = 0;
    Window child;
    XTranslateCoordinates(display, popup, DefaultRootWindow(display), 0, 0, &popupX, &popupY, &child);
    const toolkit::CRect entry = menu->getEntryRect(23);
    const double scale = editor->getScaleFactor();
    const int entryX = popupX + static_cast<int>((entry.left + entry.right) / 2 * scale);
    const int entryY = popupY + static_cast<int>((entry.top + entry.bottom) / 2 * scale);
    xdotool({"mousemove", str(entryX), str(entryY), "click", "1"});
    EXPECT_TRUE(idleFor([&] { return effect->getCurrentPreset() == 23; }));
    EXPECT_EQ(editor->getFrame()->getPopupMenu(), nullptr);
}

// Resources of this process and of the X server that the editor could leak.
struct Footprint {
    ProcessFootprint process;
    int windows = 0;
};

int countWindows(Display* display, Window window) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    int total = static_cast<int>(count);
    for (unsigned i = 0; i < count; ++i) total += countWindows(display, children[i]);
    if (children != nullptr) XFree(children);
    return total;
}

Footprint footprint(Display* display) {
    Footprint now;
    now.process = ProcessFootprint::now();
    XSync(display, False);
    now.windows = countWindows(display, DefaultRootWindow(display));
    return now;
}

// A window or descriptor per cycle shows at once. A leak of a control set or a bitmap
// per cycle (tens of kilobytes and more) shows in the heap; the resident size also
// moves with the allocator's reserves for two threads, so it gets a wider margin.
void expectNoGrowth(const Footprint& before, const Footprint& after, const char* what) {
    const ProcessFootprint& was = before.process;
    const ProcessFootprint& is = after.process;
    EXPECT_EQ(is.fileDescriptors, was.fileDescriptors);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_LT(is.heapInUseBytes - was.heapInUseBytes, 256 * 1024);
    if (kResidentSizeShowsLeaks) EXPECT_LT(is.residentBytes - was.residentBytes, 4096 * 1024);
    std::printf("%s, 100 open/close cycles: heap in use %ld -> %ld KiB, resident %ld -> %ld KiB, "
                "file descriptors %d -> %d, X windows %d -> %d\n",
                what, was.heapInUseBytes / 1024, is.heapInUseBytes / 1024, was.residentBytes / 1024,
                is.residentBytes / 1024, was.fileDescriptors, is.fileDescriptors, before.windows, after.windows);
}

TEST_F(EditorWindow, OpeningAndClosingAHundredTimesWhileAudioRunsGrowsNothing) {
    effect->setSampleRate(44100.0f);
    effect->resume();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> in(256, 0.3f), outLeft(256), outRight(256);
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        while (!stop.load()) {
            effect->setParameter(kFltCutoff, in[0]);
            effect->processReplacing(inputs, outputs, 256);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    const auto cycle = [&] {
        dispatch(effEditClose);
        ERect* rect = nullptr;
        dispatch(effEditGetRect, 0, 0, &rect);
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(host)), 1);
        for (int i = 0; i < 3; ++i) dispatch(effEditIdle);
    };
    for (int i = 0; i < 10; ++i) cycle();  // fonts, caches and the allocator settle first
    const Footprint before = footprint(display);
    for (int i = 0; i < 100; ++i) cycle();
    const Footprint after = footprint(display);
    stop = true;
    audio.join();
    expectNoGrowth(before, after, "editor");
}

// The same through the built Ruvane.so, loaded by the host library as a host loads it:
// the library's own copy of the toolkit must let go of everything it opened too.
TEST(PluginEditorWindow, OpeningAndClosingAHundredTimesWhileAudioRunsGrowsNothing) {
    testing::PrivateXServer xServer{testing::PrivateXServer::Display::PointedHere};
    ASSERT_FALSE(xServer.name().empty()) << "cannot start Xvfb: scripts/setup installs it (package xvfb)";
    testing::ScopedConfigHome configHome;
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 875, 171, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    {
        auto plugin = testing::loadRuvane();
        ASSERT_NE(plugin, nullptr);
        ASSERT_EQ(plugin->effect()->flags & effFlagsHasEditor, effFlagsHasEditor);
        plugin->start(44100.0, 256);
        std::atomic<bool> stop{false};
        std::thread audio([&] {
            std::vector<float> in(256, 0.3f), outLeft(256), outRight(256);
            for (int block = 0; !stop.load(); ++block) {
                plugin->setParameter(kMainMix, static_cast<float>(block % 100) / 100.0f);
                plugin->process(in.data(), in.data(), outLeft.data(), outRight.data(), 256);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        const auto cycle = [&] {
            ERect* rect = nullptr;
            plugin->dispatch(effEditGetRect, 0, 0, &rect);
            ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(host)), 1);
            for (int i = 0; i < 3; ++i) plugin->dispatch(effEditIdle);
            plugin->dispatch(effEditClose);
        };
        // The allocator takes a few dozen rounds to settle its pools for two threads.
        for (int i = 0; i < 50; ++i) cycle();
        const Footprint before = footprint(display);
        for (int i = 0; i < 100; ++i) cycle();
        const Footprint after = footprint(display);
        stop = true;
        audio.join();
        expectNoGrowth(before, after, "Ruvane.so");
    }
    XDestroyWindow(display, host);
    XCloseDisplay(display);
}

}  // namespace
}  // namespace ruvane
