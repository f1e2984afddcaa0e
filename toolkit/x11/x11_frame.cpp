// The frame's X11 window: the one file that talks to Xlib. It owns its own X
// connection (never the host's), a child window of the parent the host gives, an
// off-screen image the frame paints into, and the pop-up menu windows. Events are read
// in pumpEvents(), which the editor's idle calls, and handed to the frame as plain calls
// in 1x units.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/x11_error_trap.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/platform_frame.h"
#include "toolkit/popup_menu.h"

namespace toolkit {
namespace {

constexpr double kHighDensityDpi = 144;
constexpr int kGrabAttempts = 20;  // pumps to wait for another client's grab to end
constexpr long kFrameEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                 EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                                 StructureNotifyMask;
constexpr long kPopupEventMask =
    ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask | KeyReleaseMask;

// X errors on our connection (a parent the host already destroyed, a focus request on a
// window not yet viewable) must not reach Xlib's default handler, which ends the host
// process: our own calls run inside a trap.
using ruvane::X11ErrorTrap;

int32_t modifierState(unsigned int state) {
    int32_t result = 0;
    if ((state & ShiftMask) != 0) result |= kShift;
    if ((state & ControlMask) != 0) result |= kControl;
    if ((state & (Mod1Mask | Mod5Mask)) != 0) result |= kAlt;
    return result;
}

int32_t buttonsHeld(unsigned int state) {
    int32_t result = 0;
    if ((state & Button1Mask) != 0) result |= kLButton;
    if ((state & Button2Mask) != 0) result |= kMButton;
    if ((state & Button3Mask) != 0) result |= kRButton;
    return result;
}

int32_t buttonFlag(unsigned int button) {
    switch (button) {
        case Button1: return kLButton;
        case Button2: return kMButton;
        case Button3: return kRButton;
        default: return 0;
    }
}

int virtualKeyFor(KeySym keysym) {
    switch (keysym) {
        case XK_Return: return kKeyReturn;
        case XK_KP_Enter: return kKeyEnter;
        case XK_Escape: return kKeyEscape;
        case XK_BackSpace: return kKeyBackspace;
        case XK_Delete:
        case XK_KP_Delete: return kKeyDelete;
        case XK_Tab:
        case XK_ISO_Left_Tab: return kKeyTab;
        case XK_Left:
        case XK_KP_Left: return kKeyLeft;
        case XK_Right:
        case XK_KP_Right: return kKeyRight;
        case XK_Up:
        case XK_KP_Up: return kKeyUp;
        case XK_Down:
        case XK_KP_Down: return kKeyDown;
        case XK_Home:
        case XK_KP_Home: return kKeyHome;
        case XK_End:
        case XK_KP_End: return kKeyEnd;
        case XK_Page_Up:
        case XK_KP_Page_Up: return kKeyPageUp;
        case XK_Page_Down:
        case XK_KP_Page_Down: return kKeyPageDown;
        case XK_Insert:
        case XK_KP_Insert: return kKeyInsert;
        case XK_space: return kKeySpace;
        default: return kKeyNone;
    }
}

// Unicode of a printable keysym: Latin-1 keysyms are their code points, and keysyms
// 0x01000000 + U are Unicode U.
char32_t characterFor(KeySym keysym) {
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff)) {
        return static_cast<char32_t>(keysym);
    }
    if ((keysym & 0xff000000) == 0x01000000) {
        return static_cast<char32_t>(keysym & 0x00ffffff);
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return static_cast<char32_t>('0' + (keysym - XK_KP_0));
    }
    return 0;
}

KeyCode keyFromEvent(XKeyEvent& event) {
    char text[16];
    KeySym keysym = NoSymbol;
    XLookupString(&event, text, sizeof(text), &keysym, nullptr);
    KeyCode key;
    key.virtualKey = virtualKeyFor(keysym);
    if (key.virtualKey == kKeyNone || key.virtualKey == kKeySpace) {
        key.character = characterFor(keysym);
    }
    if ((event.state & ShiftMask) != 0) key.modifiers |= kShiftModifier;
    if ((event.state & ControlMask) != 0) key.modifiers |= kCommandModifier;
    if ((event.state & Mod1Mask) != 0) key.modifiers |= kAlternateModifier;
    return key;
}

// An image the toolkit paints with cairo and X shows with XPutImage (32-bit xRGB).
class ShownImage {
public:
    ShownImage(Display* display, Visual* visual, int depth, int width, int height)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {
        image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                             reinterpret_cast<char*>(cairo_image_surface_get_data(surface)),
                             static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                             cairo_image_surface_get_stride(surface));
        if (image != nullptr) {
            image->byte_order = LSBFirst;  // cairo's layout on this little-endian machine
            image->bitmap_bit_order = LSBFirst;
        }
    }
    ~ShownImage() {
        if (image != nullptr) {
            image->data = nullptr;  // the pixels belong to cairo
            XDestroyImage(image);
        }
        cairo_surface_destroy(surface);
    }
    ShownImage(const ShownImage&) = delete;
    ShownImage& operator=(const ShownImage&) = delete;

    bool valid() const { return image != nullptr && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; }
    cairo_surface_t* cairoSurface() const { return surface; }
    void show(Display* display, Window window, GC gc, int x, int y, int width, int height) {
        cairo_surface_flush(surface);
        XPutImage(display, window, gc, image, x, y, x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    }

private:
    cairo_surface_t* surface;
    XImage* image = nullptr;
};

class X11Frame final : public PlatformFrame {
public:
    X11Frame(CFrame& frame, double scale) : frame(frame), scale(scale) {}
    ~X11Frame() override;

    bool create(Window parent);

    double getScaleFactor() const override { return scale; }
    void paint(std::span<const CRect> areas) override;
    void pumpEvents() override;
    bool openPopup(PopupMenu& menu, const CRect& anchor) override;
    void closePopup() override;
    void popupChanged() override { paintPopup(); }
    void grabKeyboard() override;
    void releaseKeyboard() override;
    unsigned long getWindowId() const override { return window; }

private:
    struct Popup {
        Window window = 0;
        PopupMenu* menu = nullptr;
        std::unique_ptr<ShownImage> image;
        int width = 0;
        int height = 0;
        bool grabbed = false;
        int grabAttempts = 0;
    };

    void dispatch(XEvent& event);
    void dispatchPopup(XEvent& event);
    void paintPopup();
    void tryGrabForPopup();
    void tryGrabKeyboard();
    CPoint toFrame(int x, int y) const { return {x / scale, y / scale}; }
    int toDevice(CCoord v) const { return static_cast<int>(std::lround(v * scale)); }

    CFrame& frame;
    double scale;
    Display* display = nullptr;
    int screen = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    Window window = 0;
    bool windowAlive = false;
    GC gc = nullptr;
    int width = 0;
    int height = 0;
    std::unique_ptr<ShownImage> backBuffer;
    Popup popup;
    bool keyboardGrabbed = false;  // a text edit wants the keyboard
    bool keyboardGrabHeld = false;
    int keyboardGrabAttempts = 0;
    Window focusBeforeGrab = 0;
};

bool X11Frame::create(Window parent) {
    display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    X11ErrorTrap trap(display);
    XWindowAttributes parentAttributes;
    if (XGetWindowAttributes(display, parent, &parentAttributes) == 0 || trap.failed()) {
        return false;
    }
    screen = XScreenNumberOfScreen(parentAttributes.screen);
    visual = DefaultVisual(display, screen);
    depth = DefaultDepth(display, screen);
    colormap = DefaultColormap(display, screen);
    if (visual->c_class != TrueColor || (depth != 24 && depth != 32) || visual->red_mask != 0xff0000 ||
        visual->green_mask != 0x00ff00 || visual->blue_mask != 0x0000ff) {
        return false;  // the off-screen image is 32-bit xRGB
    }
    const CRect size = frame.getViewSize();
    width = std::max(1, toDevice(size.getWidth()));
    height = std::max(1, toDevice(size.getHeight()));

    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = colormap;
    attributes.event_mask = kFrameEventMask;
    window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                           depth, InputOutput, visual, CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask,
                           &attributes);
    if (trap.failed() || window == 0) {
        window = 0;
        return false;
    }
    windowAlive = true;
    XStoreName(display, window, "Ruvane");
    gc = XCreateGC(display, window, 0, nullptr);
    backBuffer = std::make_unique<ShownImage>(display, visual, depth, width, height);
    if (!backBuffer->valid()) {
        return false;
    }
    XMapWindow(display, window);
    frame.invalidRect(CRect(0, 0, size.getWidth(), size.getHeight()));
    return !trap.failed();
}

X11Frame::~X11Frame() {
    if (display == nullptr) {
        return;
    }
    {
        X11ErrorTrap trap(display);
        closePopup();
        releaseKeyboard();
        backBuffer.reset();
        if (gc != nullptr) {
            XFreeGC(display, gc);
        }
        if (window != 0 && windowAlive) {
            XDestroyWindow(display, window);
        }
    }
    XCloseDisplay(display);
}

void X11Frame::paint(std::span<const CRect> areas) {
    if (!windowAlive || backBuffer == nullptr) {
        return;
    }
    X11ErrorTrap trap(display);
    cairo_t* cr = cairo_create(backBuffer->cairoSurface());
    for (const CRect& area : areas) {
        // Whole 1x pixels, so the 2x copy covers whole device pixels too.
        const CRect whole(std::floor(area.left), std::floor(area.top), std::ceil(area.right), std::ceil(area.bottom));
        {
            CDrawContext context(cr, scale);
            frame.drawArea(&context, whole);
        }
        const int x = std::clamp(toDevice(whole.left), 0, width);
        const int y = std::clamp(toDevice(whole.top), 0, height);
        const int right = std::clamp(toDevice(whole.right), 0, width);
        const int bottom = std::clamp(toDevice(whole.bottom), 0, height);
        if (right > x && bottom > y) {
            backBuffer->show(display, window, gc, x, y, right - x, bottom - y);
        }
    }
    cairo_destroy(cr);
    XFlush(display);
}

void X11Frame::pumpEvents() {
    X11ErrorTrap trap(display);
    if (popup.window != 0 && !popup.grabbed) {
        tryGrabForPopup();
    } else if (popup.window == 0 && keyboardGrabbed && !keyboardGrabHeld && keyboardGrabAttempts < kGrabAttempts) {
        tryGrabKeyboard();  // another client held the keyboard when the edit began
    }
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (popup.window != 0 && event.xany.window == popup.window) {
            dispatchPopup(event);
        } else if (event.xany.window == window) {
            dispatch(event);
        }
    }
}

void X11Frame::dispatch(XEvent& event) {
    switch (event.type) {
        case Expose: {
            const XExposeEvent& e = event.xexpose;
            frame.invalidRect(CRect(std::floor(e.x / scale), std::floor(e.y / scale),
                                    std::ceil((e.x + e.width) / scale), std::ceil((e.y + e.height) / scale)));
            break;
        }
        case ButtonPress: {
            const XButtonEvent& e = event.xbutton;
            const CPoint where = toFrame(e.x, e.y);
            const CButtonState modifiers(modifierState(e.state));
            if (e.button >= 4 && e.button <= 7) {
                // Wheel: 4 up, 5 down; 6 and 7 (sideways) reach the same handler reversed.
                const float distance = (e.button == 4 || e.button == 6) ? 1.f : -1.f;
                frame.wheel(where, distance, modifiers);
            } else if (const int32_t flag = buttonFlag(e.button)) {
                frame.mouseDown(where, CButtonState(modifiers.value() | buttonsHeld(e.state) | flag),
                                static_cast<uint32_t>(e.time));
            }
            break;
        }
        case ButtonRelease: {
            const XButtonEvent& e = event.xbutton;
            if (const int32_t flag = buttonFlag(e.button)) {
                frame.mouseUp(toFrame(e.x, e.y), CButtonState(modifierState(e.state) | flag));
            }
            break;
        }
        case MotionNotify: {
            const XMotionEvent& e = event.xmotion;
            frame.mouseMoved(toFrame(e.x, e.y), CButtonState(modifierState(e.state) | buttonsHeld(e.state)));
            break;
        }
        case EnterNotify: {
            const XCrossingEvent& e = event.xcrossing;
            frame.mouseMoved(toFrame(e.x, e.y), CButtonState(modifierState(e.state) | buttonsHeld(e.state)));
            break;
        }
        case LeaveNotify:
            if (event.xcrossing.mode == NotifyNormal) {
                frame.mouseExitedWindow();
            }
            break;
        case KeyPress: frame.keyDown(keyFromEvent(event.xkey)); break;
        case KeyRelease: frame.keyUp(keyFromEvent(event.xkey)); break;
        case DestroyNotify: windowAlive = false; break;
        default: break;
    }
}

void X11Frame::dispatchPopup(XEvent& event) {
    // The frame repaints or closes the window through popupChanged / closePopup.
    switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) {
                paintPopup();
            }
            break;
        case MotionNotify: frame.popupMouseMoved(toFrame(event.xmotion.x, event.xmotion.y)); break;
        case ButtonPress:
            if (event.xbutton.button < 4) {  // the wheel does not close the list
                frame.popupMouseDown(toFrame(event.xbutton.x, event.xbutton.y),
                                     CButtonState(buttonFlag(event.xbutton.button)));
            }
            break;
        case ButtonRelease:
            if (event.xbutton.button < 4) {
                frame.popupMouseUp(toFrame(event.xbutton.x, event.xbutton.y),
                                   CButtonState(buttonFlag(event.xbutton.button)));
            }
            break;
        case KeyPress: frame.popupKeyDown(keyFromEvent(event.xkey)); break;
        default: break;
    }
}

void X11Frame::paintPopup() {
    if (popup.window == 0 || popup.image == nullptr) {
        return;
    }
    cairo_t* cr = cairo_create(popup.image->cairoSurface());
    {
        CDrawContext context(cr, scale);
        popup.menu->draw(context);
    }
    cairo_destroy(cr);
    popup.image->show(display, popup.window, gc, 0, 0, popup.width, popup.height);
    XFlush(display);
}

void X11Frame::tryGrabForPopup() {
    const int pointer = XGrabPointer(display, popup.window, False,
                                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                                     GrabModeAsync, None, None, CurrentTime);
    const int keyboard = XGrabKeyboard(display, popup.window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    popup.grabbed = pointer == GrabSuccess && keyboard == GrabSuccess;
    if (!popup.grabbed && ++popup.grabAttempts >= kGrabAttempts) {
        popup.grabbed = true;  // someone else holds a grab; work without one
    }
}

bool X11Frame::openPopup(PopupMenu& menu, const CRect& anchor) {
    if (!windowAlive || popup.window != 0) {
        return false;
    }
    X11ErrorTrap trap(display);
    const CRect bounds = menu.getBounds();
    const int menuWidth = std::max(1, toDevice(bounds.getWidth()));
    const int menuHeight = std::max(1, toDevice(bounds.getHeight()));
    const Window root = RootWindow(display, screen);

    // Below the control (or over it, as the menu asks), above it when there is no room
    // below, and always inside the screen.
    int anchorX = 0;
    int anchorTop = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, root, toDevice(anchor.left), toDevice(anchor.top), &anchorX, &anchorTop,
                          &child);
    const CPoint offset = menu.placementOffset(anchor);
    const int screenWidth = DisplayWidth(display, screen);
    const int screenHeight = DisplayHeight(display, screen);
    int x = std::clamp(anchorX + toDevice(offset.x), 0, std::max(0, screenWidth - menuWidth));
    int y = anchorTop + toDevice(offset.y);
    if (y + menuHeight > screenHeight) {
        const int above = menu.getCoversAnchor() ? screenHeight - menuHeight : anchorTop - menuHeight;
        y = above >= 0 ? above : std::max(0, screenHeight - menuHeight);
    }
    y = std::max(0, y);

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = colormap;
    attributes.event_mask = kPopupEventMask;
    popup.window = XCreateWindow(display, root, x, y, static_cast<unsigned>(menuWidth),
                                 static_cast<unsigned>(menuHeight), 0, depth, InputOutput, visual,
                                 CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWBorderPixel | CWColormap |
                                     CWEventMask,
                                 &attributes);
    if (trap.failed() || popup.window == 0) {
        popup.window = 0;
        return false;
    }
    popup.menu = &menu;
    popup.width = menuWidth;
    popup.height = menuHeight;
    popup.grabbed = false;
    popup.grabAttempts = 0;
    popup.image = std::make_unique<ShownImage>(display, visual, depth, menuWidth, menuHeight);

    const Atom windowType = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom dropdownMenu = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", False);
    XChangeProperty(display, popup.window, windowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dropdownMenu), 1);
    XStoreName(display, popup.window, "Ruvane menu");
    XSetTransientForHint(display, popup.window, window);
    XMapRaised(display, popup.window);
    XSync(display, False);
    paintPopup();
    tryGrabForPopup();
    return true;
}

void X11Frame::closePopup() {
    if (popup.window == 0) {
        return;
    }
    X11ErrorTrap trap(display);
    XUngrabPointer(display, CurrentTime);
    XUngrabKeyboard(display, CurrentTime);
    XDestroyWindow(display, popup.window);
    popup = Popup{};
    if (keyboardGrabbed) {
        // A text edit still runs: it gets the keyboard back.
        keyboardGrabAttempts = 0;
        tryGrabKeyboard();
    }
    XFlush(display);
}

void X11Frame::grabKeyboard() {
    if (keyboardGrabbed || !windowAlive) {
        return;
    }
    X11ErrorTrap trap(display);
    int revert = 0;
    XGetInputFocus(display, &focusBeforeGrab, &revert);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    keyboardGrabbed = true;
    keyboardGrabAttempts = 0;
    tryGrabKeyboard();
    XFlush(display);
}

void X11Frame::tryGrabKeyboard() {
    ++keyboardGrabAttempts;
    keyboardGrabHeld = XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
}

void X11Frame::releaseKeyboard() {
    if (!keyboardGrabbed) {
        return;
    }
    X11ErrorTrap trap(display);
    keyboardGrabbed = false;
    keyboardGrabHeld = false;
    XUngrabKeyboard(display, CurrentTime);
    if (focusBeforeGrab != None && focusBeforeGrab != PointerRoot) {
        XSetInputFocus(display, focusBeforeGrab, RevertToParent, CurrentTime);
    }
    focusBeforeGrab = 0;
    XFlush(display);
}

double dpiFromResources(const char* resources) {
    if (resources == nullptr) {
        return 0;
    }
    const std::string text(resources);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        static constexpr char kKey[] = "Xft.dpi:";
        if (line.compare(0, sizeof(kKey) - 1, kKey) == 0) {
            return std::atof(line.c_str() + sizeof(kKey) - 1);
        }
        start = end + 1;
    }
    return 0;
}

}  // namespace

std::unique_ptr<PlatformFrame> createPlatformFrame(CFrame& frame, void* parentWindow, double scaleFactor) {
    if (parentWindow == nullptr) {
        return nullptr;
    }
    auto platform = std::make_unique<X11Frame>(frame, scaleFactor >= 2 ? 2.0 : 1.0);
    if (!platform->create(static_cast<Window>(reinterpret_cast<uintptr_t>(parentWindow)))) {
        return nullptr;
    }
    return platform;
}

double desktopScaleFactor() {
    if (const char* gdkScale = std::getenv("GDK_SCALE"); gdkScale != nullptr && *gdkScale != '\0') {
        const int requested = std::atoi(gdkScale);
        if (requested >= 1) {
            return requested >= 2 ? 2.0 : 1.0;
        }
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 1.0;
    }
    const double dpi = dpiFromResources(XResourceManagerString(display));
    XCloseDisplay(display);
    return dpi >= kHighDensityDpi ? 2.0 : 1.0;
}

}  // namespace toolkit
