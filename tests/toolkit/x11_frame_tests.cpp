// The frame's X11 window under a real X server (xvfb-run): one child of the parent,
// painted from the off-screen image, clicks and keys reaching controls, the pop-up menu
// window, the keyboard grab of a text edit, 2x screens, and nothing left after close.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstring>

#include "toolkit/buttons.h"
#include "toolkit/option_menu.h"
#include "toolkit/platform_frame.h"
#include "toolkit/popup_menu.h"
#include "toolkit/text_edit.h"
#include "toolkit_test_support.h"

// Xlib last: its macros (None, Bool, Status) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace toolkit_test {
namespace {

constexpr int kPollRounds = 400;  // a generous ceiling for the X server to catch up; not a timing check
constexpr useconds_t kPollPause = 5000;

int openDescriptorCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr) ++count;
        closedir(dir);
    }
    return count;
}

// An X server resets when its last client leaves, and refuses connections while it does.
// One connection held for the whole run keeps it up between tests.
class KeepServerUp : public ::testing::Environment {
public:
    void SetUp() override { display = std::getenv("DISPLAY") != nullptr ? XOpenDisplay(nullptr) : nullptr; }
    void TearDown() override {
        if (display != nullptr) XCloseDisplay(display);
    }

private:
    Display* display = nullptr;
};
const auto* const keepServerUp = ::testing::AddGlobalTestEnvironment(new KeepServerUp);

class X11Frame : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        ASSERT_TRUE(name != nullptr && *name != '\0')
            << "These tests need an X server. Run them as: xvfb-run -a -s \"-screen 0 1600x1200x24\" "
               "build/tests/toolkit_tests";
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "cannot open X display " << name;
        root = DefaultRootWindow(display);
        // Windows of other programs on the server may vanish while the test looks at them.
        previousHandler = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    void TearDown() override {
        if (frame != nullptr) frame->forget();
        XSetErrorHandler(previousHandler);
        if (display != nullptr) {
            if (parent != 0) XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    // The host's window, on the test's own connection.
    void makeParent(int x, int y, int width, int height) {
        parent = XCreateSimpleWindow(display, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                     0, 0, 0x202020);
        XMapWindow(display, parent);
        XSync(display, False);
        raised = parent;
    }

    // A 300 x 100 frame: background, an on/off button, an option menu, a text edit.
    void makeFrame(int menuEntries = 20) {
        frame = new CFrame(CRect(0, 0, 300, 100), &editor);
        CBitmap* background = makeStrip(300, 100, 1, true);
        frame->setBackground(background);
        background->forget();
        CBitmap* strip = makeStrip(20, 20, 2, true);
        button = new COnOffButton(CRect(10, 10, 30, 30), &listener, 1, strip);
        strip->forget();
        frame->addView(button);
        menu = new COptionMenu(CRect(100, 10, 200, 30), &listener, 2);
        for (int i = 0; i < menuEntries; ++i) menu->addEntry("Entry " + std::to_string(i + 1));
        menu->setNbItemsPerColumn(16);
        menu->setCurrent(0);
        frame->addView(menu);
        text = new CTextEdit(CRect(220, 10, 290, 30), &listener, 3, "abc");
        frame->addView(text);
    }

    Window childWindow() const { return static_cast<Window>(frame->getPlatformFrame()->getWindowId()); }

    std::vector<Window> children(Window window) {
        XSync(display, False);
        Window rootReturn = 0;
        Window parentReturn = 0;
        Window* list = nullptr;
        unsigned int count = 0;
        std::vector<Window> result;
        if (XQueryTree(display, window, &rootReturn, &parentReturn, &list, &count) != 0) {
            result.assign(list, list + count);
            if (list != nullptr) XFree(list);
        }
        return result;
    }

    // The pop-up menu window of the frame whose window is `owner` (other test programs
    // may have menus open on the same server).
    Window findMenuOf(Window owner) {
        for (Window w : children(root)) {
            char* name = nullptr;
            if (XFetchName(display, w, &name) != 0 && name != nullptr) {
                const bool named = std::string(name) == "Ruvane menu";
                XFree(name);
                Window transientFor = 0;
                if (named && XGetTransientForHint(display, w, &transientFor) != 0 && transientFor == owner) return w;
            }
        }
        return 0;
    }

    // Pumps the frame (as the editor's idle does) until `done` holds. The host window is
    // raised each round: other test programs may share the X server, and pixels of a
    // covered window cannot be read back.
    template <typename Done>
    bool pumpUntil(Done done) {
        for (int round = 0; round < kPollRounds; ++round) {
            if (raised != 0) XRaiseWindow(display, raised);
            XSync(display, False);
            frame->pumpEvents();
            frame->idle();
            if (done()) return true;
            usleep(kPollPause);
        }
        return false;
    }

    unsigned long pixel(Window window, int x, int y) {
        XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) return 0xdeadbeef;
        const unsigned long value = XGetPixel(image, 0, 0) & 0xffffff;
        XDestroyImage(image);
        return value;
    }
    static unsigned long rgb(CColor c) { return (c.red << 16) | (c.green << 8) | c.blue; }

    void sendButton(Window window, int x, int y, unsigned int button, bool press, unsigned int state = 0) {
        XEvent event{};
        XButtonEvent& e = event.xbutton;
        e.type = press ? ButtonPress : ButtonRelease;
        e.display = display;
        e.window = window;
        e.root = root;
        e.x = x;
        e.y = y;
        e.state = press ? state : state | Button1Mask;
        e.button = button;
        e.same_screen = True;
        e.time = ++serverTime;
        XSendEvent(display, window, False, press ? ButtonPressMask : ButtonReleaseMask, &event);
        XFlush(display);
    }
    void click(Window window, int x, int y) {
        sendButton(window, x, y, Button1, true);
        sendButton(window, x, y, Button1, false);
    }
    void sendKey(Window window, KeySym keysym, bool press = true) {
        XEvent event{};
        XKeyEvent& e = event.xkey;
        e.type = press ? KeyPress : KeyRelease;
        e.display = display;
        e.window = window;
        e.root = root;
        e.keycode = XKeysymToKeycode(display, keysym);
        e.same_screen = True;
        e.time = ++serverTime;
        XSendEvent(display, window, False, press ? KeyPressMask : KeyReleaseMask, &event);
        XFlush(display);
    }
    void typeKey(Window window, KeySym keysym) {
        sendKey(window, keysym, true);
        sendKey(window, keysym, false);
    }

    Display* display = nullptr;
    Window root = 0;
    Window parent = 0;
    Window raised = 0;  // kept on top while pumping
    int (*previousHandler)(Display*, XErrorEvent*) = nullptr;
    EventLog log;
    RecordingEditor editor{log};
    RecordingListener listener{log};
    CFrame* frame = nullptr;
    COnOffButton* button = nullptr;
    COptionMenu* menu = nullptr;
    CTextEdit* text = nullptr;
    Time serverTime = 1000;
};

TEST_F(X11Frame, OpensExactlyOneChildAndPaintsTheBackground) {
    ScopedEnv scale("GDK_SCALE", "1");
    makeParent(50, 50, 400, 200);
    makeFrame();
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    EXPECT_EQ(frame->getScaleFactor(), 1.0);
    const std::vector<Window> kids = children(parent);
    ASSERT_EQ(kids.size(), 1u);
    EXPECT_EQ(kids[0], childWindow());
    XWindowAttributes attributes;
    XGetWindowAttributes(display, childWindow(), &attributes);
    EXPECT_EQ(attributes.width, 300);
    EXPECT_EQ(attributes.height, 100);
    EXPECT_TRUE(pumpUntil([&] { return pixel(childWindow(), 250, 80) == rgb(frameColour(0)); }))
        << "background visible in the window";
    EXPECT_TRUE(pumpUntil([&] { return pixel(childWindow(), 20, 20) == rgb(frameColour(0)); }))
        << "the button shows its off frame";
}

TEST_F(X11Frame, AClickReachesTheControlAndTheNewFrameIsPainted) {
    ScopedEnv scale("GDK_SCALE", "1");
    makeParent(50, 50, 400, 200);
    makeFrame();
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    ASSERT_TRUE(pumpUntil([&] { return pixel(childWindow(), 250, 80) == rgb(frameColour(0)); }));
    click(childWindow(), 20, 20);
    ASSERT_TRUE(pumpUntil([&] { return button->getValue() == 1.f; })) << "the click toggled the button";
    EXPECT_EQ(log.entries, (std::vector<std::string>{"listener begin 1", "editor begin 1", "changed 1=1",
                                                     "editor end 1", "listener end 1"}));
    EXPECT_TRUE(pumpUntil([&] { return pixel(childWindow(), 20, 20) == rgb(frameColour(1)); }))
        << "the on frame is painted";
}

TEST_F(X11Frame, DoubleDensityDoublesTheWindowAndMapsTheMouseBack) {
    ScopedEnv scale("GDK_SCALE", "2");
    makeParent(50, 50, 700, 300);
    makeFrame();
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    EXPECT_EQ(frame->getScaleFactor(), 2.0);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, childWindow(), &attributes);
    EXPECT_EQ(attributes.width, 600);
    EXPECT_EQ(attributes.height, 200);
    ASSERT_TRUE(pumpUntil([&] { return pixel(childWindow(), 590, 190) == rgb(frameColour(0)); }));
    EXPECT_TRUE(pumpUntil([&] { return pixel(childWindow(), 0, 150) == 0xffffffu; }))
        << "the background's 2x image, pixel for pixel";
    click(childWindow(), 58, 58);  // device pixels: 1x (29, 29), inside the button
    EXPECT_TRUE(pumpUntil([&] { return button->getValue() == 1.f; }));
    EXPECT_TRUE(pumpUntil([&] { return pixel(childWindow(), 40, 40) == rgb(frameColour(1)); }));
}

TEST_F(X11Frame, PopupMenuWindowOpensAtTheControlWithAGrabAndClosesOnEscape) {
    ScopedEnv scale("GDK_SCALE", "1");
    makeParent(120, 90, 400, 200);
    makeFrame();
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    ASSERT_TRUE(pumpUntil([&] { return pixel(childWindow(), 250, 80) == rgb(frameColour(0)); }));
    click(childWindow(), 150, 20);
    ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() != nullptr; }));
    const Window popup = findMenuOf(childWindow());
    ASSERT_NE(popup, 0u) << "a top-level pop-up window exists";
    XWindowAttributes attributes;
    XGetWindowAttributes(display, popup, &attributes);
    EXPECT_TRUE(attributes.override_redirect);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.x, 120 + 100) << "left edge under the control's left edge";
    EXPECT_EQ(attributes.y, 90 + 30) << "just below the control";
    const CRect bounds = frame->getPopupMenu()->getBounds();
    EXPECT_EQ(attributes.width, static_cast<int>(bounds.getWidth()));
    EXPECT_EQ(attributes.height, static_cast<int>(bounds.getHeight()));

    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, popup, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), 0, 1, False, XA_ATOM,
                       &type, &format, &items, &remaining, &data);
    ASSERT_EQ(items, 1u);
    EXPECT_EQ(*reinterpret_cast<Atom*>(data), XInternAtom(display, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", False));
    XFree(data);

    EXPECT_TRUE(pumpUntil([&] {
        const int result = XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                                        None, CurrentTime);
        if (result == GrabSuccess) XUngrabPointer(display, CurrentTime);
        return result == AlreadyGrabbed;
    })) << "the menu holds the pointer";
    raised = popup;
    EXPECT_TRUE(pumpUntil([&] { return pixel(popup, static_cast<int>(bounds.right) - 3, 2) == 0x393c3f; }))
        << "the list is painted in its dark theme";
    // A key the host forwards (effEditKeyDown) moves the highlight, and the window shows it.
    frame->keyDown(toolkit::KeyCode{0, kKeyDown, 0});
    const CRect next = frame->getPopupMenu()->getEntryRect(1);
    EXPECT_TRUE(pumpUntil([&] {
        return pixel(popup, static_cast<int>(next.right) - 6, static_cast<int>(next.getCenter().y)) == 0xc8c8c8;
    })) << "the highlight moved to the next entry";
    raised = parent;

    typeKey(popup, XK_Escape);
    ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() == nullptr; }));
    EXPECT_EQ(findMenuOf(childWindow()), 0u) << "the window is gone";
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    EXPECT_TRUE(log.entries.empty()) << "Escape changes nothing";
    EXPECT_TRUE(pumpUntil([&] {
        return XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                            CurrentTime) == GrabSuccess;
    })) << "the pointer grab ended";
    XUngrabPointer(display, CurrentTime);
}

TEST_F(X11Frame, PopupStyleMenuOpensWithTheCurrentEntryOverTheControl) {
    ScopedEnv scale("GDK_SCALE", "1");
    makeParent(300, 400, 400, 200);
    makeFrame(61);
    menu->setStyle(7680);  // the preset list's style: pop-up, check, no text, no drawing
    menu->setCurrent(20);
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    click(childWindow(), 150, 20);
    ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() != nullptr; }));
    const Window popup = findMenuOf(childWindow());
    ASSERT_NE(popup, 0u);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, popup, &attributes);
    const CRect current = frame->getPopupMenu()->getEntryRect(20);
    EXPECT_EQ(attributes.x + static_cast<int>(current.left), 300 + 100);
    EXPECT_NEAR(attributes.y + current.getCenter().y, 400 + 20, 1) << "entry 21 lies over the control";
    EXPECT_NE(frame->getPopupMenu(), nullptr) << "the release of the opening click chose nothing";
}

TEST_F(X11Frame, PopupMenuChoiceByClickAndCancelByClickOutside) {
    ScopedEnv scale("GDK_SCALE", "1");
    makeParent(120, 90, 400, 200);
    makeFrame();
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    click(childWindow(), 150, 20);
    ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() != nullptr; }));
    Window popup = findMenuOf(childWindow());
    ASSERT_NE(popup, 0u);
    const CPoint entry = frame->getPopupMenu()->getEntryRect(17).getCenter();
    click(popup, static_cast<int>(entry.x), static_cast<int>(entry.y));
    ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() == nullptr; }));
    EXPECT_EQ(menu->getCurrentIndex(), 17);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"listener begin 2", "editor begin 2", "changed 2=17",
                                                     "editor end 2", "listener end 2"}));

    log.clear();
    click(childWindow(), 150, 20);
    ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() != nullptr; }));
    popup = findMenuOf(childWindow());
    sendButton(popup, -40, -40, Button1, true);  // with the grab, presses anywhere arrive here
    ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() == nullptr; }));
    EXPECT_EQ(menu->getCurrentIndex(), 17);
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(X11Frame, PopupMenuStaysInsideTheScreenAndShowsEveryColumn) {
    ScopedEnv scale("GDK_SCALE", "1");
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    makeParent(screenWidth - 320, screenHeight - 110, 300, 100);
    makeFrame(61);
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    click(childWindow(), 150, 20);
    ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() != nullptr; }));
    EXPECT_EQ(frame->getPopupMenu()->getNbColumns(), 4);
    const Window popup = findMenuOf(childWindow());
    ASSERT_NE(popup, 0u);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, popup, &attributes);
    EXPECT_GE(attributes.x, 0);
    EXPECT_GE(attributes.y, 0);
    EXPECT_LE(attributes.x + attributes.width, screenWidth);
    EXPECT_LE(attributes.y + attributes.height, screenHeight);
    EXPECT_LT(attributes.y, screenHeight - 110) << "no room below: the list opens above the control";
    const Window frameWindow = childWindow();
    frame->close();
    EXPECT_EQ(findMenuOf(frameWindow), 0u) << "closing the frame closes its menu";
}

TEST_F(X11Frame, TextEditTakesFocusAndTheKeyboardUntilTheEditEnds) {
    ScopedEnv scale("GDK_SCALE", "1");
    makeParent(50, 50, 400, 200);
    makeFrame();
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    ASSERT_TRUE(pumpUntil([&] { return pixel(childWindow(), 250, 80) == rgb(frameColour(0)); }));
    click(childWindow(), 250, 20);
    ASSERT_TRUE(pumpUntil([&] { return text->isEditingText(); }));
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    EXPECT_EQ(focus, childWindow()) << "the editor window has the input focus";
    EXPECT_TRUE(pumpUntil([&] {
        const int result = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        if (result == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
        return result == AlreadyGrabbed;
    })) << "and holds the keyboard";
    typeKey(childWindow(), XK_End);
    typeKey(childWindow(), XK_d);
    typeKey(childWindow(), XK_Return);
    ASSERT_TRUE(pumpUntil([&] { return !text->isEditingText(); }));
    EXPECT_EQ(text->getText(), "abcd");
    EXPECT_TRUE(pumpUntil([&] {
        return XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    })) << "the grab ended with the edit";
    XUngrabKeyboard(display, CurrentTime);
}

TEST_F(X11Frame, CloseLeavesNoWindowConnectionOrDescriptor) {
    ScopedEnv scale("GDK_SCALE", "1");
    makeParent(50, 50, 400, 200);
    const int descriptorsBefore = openDescriptorCount();
    for (int round = 0; round < 5; ++round) {
        makeFrame();
        ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
        EXPECT_EQ(children(parent).size(), 1u);
        click(childWindow(), 150, 20);  // leave a menu open: close must take it too
        ASSERT_TRUE(pumpUntil([&] { return frame->getPopupMenu() != nullptr; }));
        const Window frameWindow = childWindow();
        ASSERT_NE(findMenuOf(frameWindow), 0u);
        frame->forget();  // the last reference closes the window
        frame = nullptr;
        EXPECT_TRUE(children(parent).empty()) << "round " << round;
        EXPECT_EQ(findMenuOf(frameWindow), 0u) << "round " << round;
    }
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore) << "every X connection of the frame was closed";
}

TEST_F(X11Frame, AListenerMayCloseTheWindowFromInsideAnEvent) {
    ScopedEnv scale("GDK_SCALE", "1");
    makeParent(50, 50, 400, 200);
    makeFrame();
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent)));
    listener.onValueChanged = [&](CControl*) { frame->close(); };
    click(childWindow(), 20, 20);
    ASSERT_TRUE(pumpUntil([&] { return !frame->isOpen(); }));
    EXPECT_TRUE(children(parent).empty());
    frame->pumpEvents();  // closed: nothing to read, nothing breaks
}

TEST_F(X11Frame, OpenFailsCleanlyForAParentThatDoesNotExist) {
    makeParent(50, 50, 400, 200);
    const Window gone = XCreateSimpleWindow(display, root, 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(display, gone);
    XSync(display, False);
    const int descriptorsBefore = openDescriptorCount();
    makeFrame();
    EXPECT_FALSE(frame->open(reinterpret_cast<void*>(gone)));
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
    EXPECT_TRUE(frame->open(nullptr)) << "headless still works";
}

TEST_F(X11Frame, DesktopScaleFollowsGdkScaleOrTheResourceDpi) {
    {
        ScopedEnv scale("GDK_SCALE", "2");
        EXPECT_EQ(desktopScaleFactor(), 2.0);
    }
    {
        ScopedEnv scale("GDK_SCALE", "1");
        EXPECT_EQ(desktopScaleFactor(), 1.0);
    }
    ScopedEnv scale("GDK_SCALE", "");
    for (auto [resource, expected] : {std::pair{"Xft.dpi:\t96\n", 1.0}, std::pair{"Xft.dpi:\t144\n", 2.0},
                                      std::pair{"Xft.antialias:\t1\nXft.dpi:\t192\n", 2.0}}) {
        XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(resource), static_cast<int>(std::strlen(resource)));
        XSync(display, False);
        EXPECT_EQ(desktopScaleFactor(), expected) << resource;
    }
    XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    XSync(display, False);
    EXPECT_EQ(desktopScaleFactor(), 1.0);
}

}  // namespace
}  // namespace toolkit_test
