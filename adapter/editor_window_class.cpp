#include "adapter/editor_window_class.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "adapter/plugin_wrapper.h"
#include "platform/x11_error_trap.h"

using ruvane::X11ErrorTrap;

CEditorWindowClass::~CEditorWindowClass() { Unregister(); }

void CEditorWindowClass::Register() {
    if (display_) return;
    display_ = XOpenDisplay(nullptr);
    if (display_) deleteWindowAtom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
}

void CEditorWindowClass::Unregister() {
    if (!display_) return;
    {
        X11ErrorTrap trap(display_);  // windows whose host window is gone are gone with it
        for (const auto& [window, wrapper] : userData_) XDestroyWindow(display_, window);
    }
    userData_.clear();
    XCloseDisplay(display_);
    display_ = nullptr;
}

unsigned long CEditorWindowClass::DesktopWindow() const { return display_ ? DefaultRootWindow(display_) : 0; }

bool CEditorWindowClass::ClientSize(unsigned long window, int32_t& width, int32_t& height) {
    if (!display_ || !window) return false;
    X11ErrorTrap trap(display_);
    Window root = 0;
    int x = 0, y = 0;
    unsigned windowWidth = 0, windowHeight = 0, border = 0, depth = 0;
    if (!XGetGeometry(display_, window, &root, &x, &y, &windowWidth, &windowHeight, &border, &depth) ||
        trap.failed())
        return false;
    width = static_cast<int32_t>(windowWidth);
    height = static_cast<int32_t>(windowHeight);
    return true;
}

unsigned long CEditorWindowClass::CreateChild(unsigned long parent, int32_t x, int32_t y, int32_t width,
                                              int32_t height, CPluginWrapper* wrapper, bool mapped) {
    if (!display_ || !parent) return 0;
    X11ErrorTrap trap(display_);
    XSetWindowAttributes attributes{};
    attributes.event_mask = ExposureMask | StructureNotifyMask;
    const Window window = XCreateWindow(display_, parent, x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                        CopyFromParent, CWEventMask, &attributes);
    XStoreName(display_, window, kEditorWindowTitle);
    XClassHint hint{};
    hint.res_name = const_cast<char*>(kEditorWindowTitle);
    hint.res_class = const_cast<char*>(kEditorWindowClass);
    XSetClassHint(display_, window, &hint);
    Atom deleteWindow = deleteWindowAtom_;
    XSetWMProtocols(display_, window, &deleteWindow, 1);
    if (mapped) XMapWindow(display_, window);
    // The effect draws into this window on its own connection: it must exist there
    // first, which the wait for the server's answer also makes sure of.
    if (trap.failed()) {
        // The parent was no window, or went away meanwhile: nothing of ours is left.
        XDestroyWindow(display_, window);
        return 0;
    }
    if (wrapper) userData_[window] = wrapper;
    return window;
}

void CEditorWindowClass::PlaceChild(unsigned long window, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!display_ || !window) return;
    X11ErrorTrap trap(display_);
    XMoveResizeWindow(display_, window, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void CEditorWindowClass::ShowChild(unsigned long window) {
    if (!display_ || !window) return;
    X11ErrorTrap trap(display_);
    XMapRaised(display_, window);
}

void CEditorWindowClass::Redraw(unsigned long window) {
    if (!display_ || !window) return;
    X11ErrorTrap trap(display_);
    XClearArea(display_, window, 0, 0, 0, 0, True);  // the effect's editor repaints on the exposure
}

void CEditorWindowClass::DestroyChild(unsigned long window) {
    userData_.erase(window);
    if (!display_ || !window) return;
    X11ErrorTrap trap(display_);
    XDestroyWindow(display_, window);
}

void CEditorWindowClass::Detach(unsigned long window) { userData_.erase(window); }

CPluginWrapper* CEditorWindowClass::WrapperOf(unsigned long window) const {
    const auto found = userData_.find(window);
    return found == userData_.end() ? nullptr : found->second;
}

void CEditorWindowClass::PumpEvents() {
    if (!display_) return;
    // Reading events also delivers the errors of calls made before.
    X11ErrorTrap trap(display_);
    while (XPending(display_) > 0) {
        XEvent event{};
        XNextEvent(display_, &event);
        switch (event.type) {
            case ClientMessage:
                // A close request: the wrapper closes its editor, the window goes with it.
                if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindowAtom_)
                    if (CPluginWrapper* wrapper = WrapperOf(event.xclient.window)) wrapper->EditorWindowClosing(false);
                break;
            case DestroyNotify:
                // Destroyed by someone else: the wrapper lets go of it.
                if (CPluginWrapper* wrapper = WrapperOf(event.xdestroywindow.window)) {
                    Detach(event.xdestroywindow.window);
                    wrapper->EditorWindowClosing(true);
                }
                break;
            default:
                break;  // painting is the effect's editor's own, on its own connection
        }
    }
}
