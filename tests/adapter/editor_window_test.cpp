// The editor in the host's plug-in window: the "PluginWindow" child of its class, sized
// and placed from the effect's editor rectangle (or rows of six parameters without an
// editor), opened once, closed once from outside, sized without a window left behind,
// the module's one X connection for them, and a host that destroys its window first or
// names no window at all.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "adapter_test_support.h"
#include "private_x_server.h"

namespace ruvane::testing {
namespace {

// Xlib's error handler in force now, read without changing it.
XErrorHandler currentErrorHandler() {
    XErrorHandler handler = XSetErrorHandler(nullptr);
    XSetErrorHandler(handler);
    return handler;
}

struct ChildWindow {
    Window window = 0;
    std::string name, className;
    int x = 0, y = 0;
    unsigned width = 0, height = 0;
};

// Each test on an X server of its own: they count the windows on the desktop, which
// other test programs running alongside would change on a shared server.
class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(xServer.name().empty()) << "cannot start Xvfb: scripts/setup installs it (package xvfb)";
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "cannot open the test's own X server " << xServer.name();
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 600, 400, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void TearDown() override {
        processes.clear();
        if (display) {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }
    CWrapperProcess& make(const char* effect) {
        return *processes.emplace_back(fixture.make(testEffectPath(effect)));
    }
    std::vector<ChildWindow> children(Window of) {
        XSync(display, False);
        Window root = 0, up = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<ChildWindow> found;
        if (!XQueryTree(display, of, &root, &up, &list, &count)) return found;
        for (unsigned i = 0; i < count; ++i) {
            ChildWindow child;
            child.window = list[i];
            char* name = nullptr;
            if (XFetchName(display, list[i], &name) && name) {
                child.name = name;
                XFree(name);
            }
            XClassHint hint{};
            if (XGetClassHint(display, list[i], &hint)) {
                child.className = hint.res_class;
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
            Window ignored = 0;
            unsigned border = 0, depth = 0;
            XGetGeometry(display, list[i], &ignored, &child.x, &child.y, &child.width, &child.height, &border, &depth);
            found.push_back(child);
        }
        if (list) XFree(list);
        return found;
    }

    PrivateXServer xServer{PrivateXServer::Display::PointedHere};  // first made, last gone
    QuietHost host;
    ProcessFixture fixture;
    std::vector<std::unique_ptr<CWrapperProcess>> processes;
    Display* display = nullptr;
    Window parent = 0;
};

TEST_F(EditorWindow, WithoutAnEditorRowsOfSixParametersAt480Wide) {
    const struct {
        const char* effect;
        int32_t height;
    } cases[] = {{"effect_13params", 180}, {"effect_12params", 120}, {"effect_plain", 60}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.effect);
        CWrapperProcess& process = make(c.effect);
        HPViewRect rect{};
        process.GetViewRect(rect);
        EXPECT_EQ(rect.right, 480);
        EXPECT_EQ(rect.bottom, c.height);
        process.OpenView(parent, 0);
        const auto inside = children(parent);
        ASSERT_EQ(inside.size(), 1u);
        EXPECT_EQ(inside[0].name, "PluginWindow");
        EXPECT_EQ(inside[0].className, "CPluginWrapperWindowClass2");
        EXPECT_EQ(inside[0].width, 480u);
        EXPECT_EQ(inside[0].height, static_cast<unsigned>(c.height));
        EXPECT_EQ(inside[0].x, 0);
        EXPECT_EQ(inside[0].y, 400 - c.height);  // at the bottom of the host's window
        process.CloseView();
        EXPECT_TRUE(children(parent).empty());
    }
}

TEST_F(EditorWindow, EditorOpensOnceInItsChildSizedToTheEditor) {
    CWrapperProcess& process = make("effect_editor");  // a 300 x 150 editor
    process.OpenView(parent, 0);
    process.OpenView(parent, 0);
    const auto inside = children(parent);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorOpens), 1);
    EXPECT_EQ(static_cast<Window>(query(process.Wrapper(), kQueryEditorParent)), inside[0].window);
    EXPECT_EQ(inside[0].width, 300u);
    EXPECT_EQ(inside[0].height, 150u);
    EXPECT_EQ(inside[0].y, 250);
    // What the effect's editor shows is in the host's window, where the child sits.
    XImage* image = XGetImage(display, parent, 0, 0, 600, 400, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 150, 250 + 75) & 0xffffff, kTestEditorColour);
    EXPECT_EQ(XGetPixel(image, 299, 399) & 0xffffff, kTestEditorColour);
    EXPECT_NE(XGetPixel(image, 150, 100) & 0xffffff, kTestEditorColour);  // above the view: the host's own
    XDestroyImage(image);
    EXPECT_EQ(process.Wrapper().RefreshCountdown(), 2);
    const auto idles = query(process.Wrapper(), kQueryEditorIdles);
    process.IdleView();
    EXPECT_EQ(process.Wrapper().RefreshCountdown(), 1);
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorIdles), idles + 1);
    process.CloseView();
    process.CloseView();
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorCloses), 1);
    EXPECT_TRUE(children(parent).empty());

    // View mode 1 moves the rectangle 32 pixels down: the child sits 32 pixels higher.
    process.OpenView(parent, 1);
    const auto shifted = children(parent);
    ASSERT_EQ(shifted.size(), 1u);
    EXPECT_EQ(shifted[0].y, 400 - 182);
    EXPECT_EQ(shifted[0].height, 150u);
}

TEST_F(EditorWindow, RuvanesEditorOpensInsideTheChild) {
    CWrapperProcess& process = *processes.emplace_back(fixture.make(RUVANE_PLUGIN_PATH));
    HPViewRect rect{};
    process.GetViewRect(rect);
    const auto beforeOpen = children(DefaultRootWindow(display)).size();
    EXPECT_EQ(rect.right, 875);
    EXPECT_EQ(rect.bottom, 171);
    EXPECT_EQ(children(DefaultRootWindow(display)).size(), beforeOpen);
    process.OpenView(parent, 0);
    for (int idle = 0; idle < 5; ++idle) process.IdleView();
    const auto inside = children(parent);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(inside[0].width, 875u);
    EXPECT_EQ(inside[0].height, 171u);
    EXPECT_EQ(inside[0].y, 400 - 171);
    EXPECT_EQ(children(inside[0].window).size(), 1u);  // the editor's own window
    process.CloseView();
    EXPECT_TRUE(children(parent).empty());
}

TEST_F(EditorWindow, ClosingTheChildFromOutsideClosesTheEditorOnce) {
    CWrapperProcess& process = make("effect_editor");
    process.OpenView(parent, 0);
    const auto inside = children(parent);
    ASSERT_EQ(inside.size(), 1u);
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = inside[0].window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, inside[0].window, False, NoEventMask, &close);
    XSync(display, False);
    for (int round = 0; round < 10000 && process.Wrapper().EditorOpen(); ++round) process.IdleView();
    EXPECT_FALSE(process.Wrapper().EditorOpen());
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorCloses), 1);
    EXPECT_TRUE(children(parent).empty());
    process.CloseView();
    process.IdleView();
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorCloses), 1);
}

TEST_F(EditorWindow, SizeBeforeAnyOpenLeavesNoWindowBehind) {
    CWrapperProcess& process = make("effect_editor");
    const auto before = children(DefaultRootWindow(display)).size();
    HPViewRect rect{};
    process.GetViewRect(rect);
    EXPECT_EQ(rect.right, 300);
    EXPECT_EQ(rect.bottom, 150);
    EXPECT_EQ(children(DefaultRootWindow(display)).size(), before);
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorOpens), 1);  // briefly, in a scratch window
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorCloses), 1);
    EXPECT_FALSE(process.Wrapper().EditorOpen());
    // Without an effect there is no view.
    CWrapperProcess& unbound = make("effect_null_result");
    unbound.GetViewRect(rect);
    EXPECT_EQ(rect.right, 0);
    EXPECT_EQ(rect.bottom, 0);
    unbound.OpenView(parent, 0);
    EXPECT_TRUE(children(parent).empty());
}

// Xlib's default error handler ends the process: a failed call of ours outside a trap
// would end this test program here.
TEST_F(EditorWindow, HostWindowDestroyedBeforeTheEditorClosesEndsNothing) {
    enum class Then { CloseView, DestroyInstance, Idle };
    const struct {
        std::string effect;
        Then then;
    } cases[] = {{testEffectPath("effect_editor"), Then::CloseView},
                 {testEffectPath("effect_editor"), Then::DestroyInstance},
                 {testEffectPath("effect_editor"), Then::Idle},
                 {RUVANE_PLUGIN_PATH, Then::CloseView},
                 {RUVANE_PLUGIN_PATH, Then::DestroyInstance}};
    const XErrorHandler handler = currentErrorHandler();
    const auto onDesktop = children(DefaultRootWindow(display)).size();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.effect + " then " + std::to_string(static_cast<int>(c.then)));
        const Window hostWindow = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 900, 300, 0, 0, 0);
        XMapWindow(display, hostWindow);
        XSync(display, False);
        auto process = fixture.make(c.effect);
        process->OpenView(hostWindow, 0);
        ASSERT_TRUE(process->Wrapper().EditorOpen());
        ASSERT_EQ(children(hostWindow).size(), 1u);
        XDestroyWindow(display, hostWindow);  // with it our child and the editor's windows
        XSync(display, False);
        const bool testEffect = c.effect != RUVANE_PLUGIN_PATH;
        if (c.then == Then::CloseView) process->CloseView();
        if (c.then == Then::Idle) process->IdleView();  // the child's end arrives as an event
        if (c.then != Then::DestroyInstance) {
            EXPECT_FALSE(process->Wrapper().EditorOpen());
            EXPECT_EQ(process->Wrapper().EditorWindow(), 0u);
            process->IdleView();
            if (testEffect) {
                EXPECT_EQ(query(process->Wrapper(), kQueryEditorCloses), 1);  // once, by whichever way
            }
        }
        process.reset();
        EXPECT_EQ(currentErrorHandler(), handler);
        EXPECT_EQ(children(DefaultRootWindow(display)).size(), onDesktop);
    }
}

TEST_F(EditorWindow, AParentThatIsNoWindowOpensNothing) {
    const Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 100, 100, 0, 0, 0);
    XDestroyWindow(display, gone);
    // A pixmap passes for a window's geometry, but holds no child: the child itself fails.
    const Pixmap pixmap = XCreatePixmap(display, DefaultRootWindow(display), 600, 400,
                                        static_cast<unsigned>(DefaultDepth(display, DefaultScreen(display))));
    XSync(display, False);
    const XErrorHandler handler = currentErrorHandler();
    const auto onDesktop = children(DefaultRootWindow(display)).size();
    CWrapperProcess& process = make("effect_editor");
    for (const unsigned long bogus : {static_cast<unsigned long>(gone), static_cast<unsigned long>(pixmap), 0x1ffffffUL}) {
        SCOPED_TRACE(bogus);
        process.OpenView(bogus, 0);
        EXPECT_FALSE(process.Wrapper().EditorOpen());
        EXPECT_EQ(process.Wrapper().EditorWindow(), 0u);
        EXPECT_EQ(query(process.Wrapper(), kQueryEditorOpens), 0);
        process.IdleView();
        process.CloseView();
        EXPECT_EQ(query(process.Wrapper(), kQueryEditorCloses), 0);
        EXPECT_EQ(currentErrorHandler(), handler);
        EXPECT_EQ(children(DefaultRootWindow(display)).size(), onDesktop);
    }
    XFreePixmap(display, pixmap);
    // The instance is none the worse: a real parent still gets the editor.
    process.OpenView(parent, 0);
    EXPECT_TRUE(process.Wrapper().EditorOpen());
    EXPECT_EQ(children(parent).size(), 1u);
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorOpens), 1);
}

TEST_F(EditorWindow, WithoutAnXServerTheSizeIsAskedWithoutOpeningTheEditor) {
    processes.clear();
    ASSERT_EQ(TheModule().LiveWrappers(), 0);
    // The module's connection opens with the first wrapper: without a display, none.
    const std::string displayName = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    CWrapperProcess& process = make("effect_editor");
    setenv("DISPLAY", displayName.c_str(), 1);
    ASSERT_EQ(TheModule().EditorWindows().Display(), nullptr);
    HPViewRect rect{};
    process.GetViewRect(rect);
    EXPECT_EQ(rect.right, 300);  // what effEditGetRect answers with the editor closed
    EXPECT_EQ(rect.bottom, 150);
    process.OpenView(parent, 0);
    EXPECT_FALSE(process.Wrapper().EditorOpen());
    EXPECT_EQ(query(process.Wrapper(), kQueryEditorOpens), 0);
}

TEST_F(EditorWindow, OneModuleConnectionFromTheFirstWrapperToTheLast) {
    processes.clear();
    ASSERT_EQ(TheModule().LiveWrappers(), 0);
    EXPECT_EQ(TheModule().EditorWindows().Display(), nullptr);
    CWrapperProcess& first = make("effect_editor");
    auto* connection = TheModule().EditorWindows().Display();
    EXPECT_NE(connection, nullptr);
    make("effect_plain");
    EXPECT_EQ(TheModule().EditorWindows().Display(), connection);
    first.OpenView(parent, 0);
    processes.erase(processes.begin());  // destroyed with its editor open
    EXPECT_TRUE(children(parent).empty());
    EXPECT_EQ(TheModule().EditorWindows().Display(), connection);
    processes.clear();
    EXPECT_EQ(TheModule().EditorWindows().Display(), nullptr);
}

}  // namespace
}  // namespace ruvane::testing
