#include "tools/ruvane-view/top_level_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "tools/ruvane-view/view_error.h"

namespace ruvane::view {

namespace {

// The last X error code of a request that we check ourselves (XGetImage of a window
// that is partly off the screen fails with BadMatch). Xlib's error handler takes no
// user data, so this one word is file-wide; only the window's thread touches it.
int lastXError = 0;
int recordXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

int maskShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace

struct TopLevelWindow::Connection {
    Display* display = nullptr;
    Window window = 0;
    Atom deleteWindow = 0;
    Atom protocols = 0;
};

TopLevelWindow::TopLevelWindow(int width, int height, const std::string& title)
    : x_(std::make_unique<Connection>()), width_(width), height_(height) {
    x_->display = XOpenDisplay(nullptr);
    if (x_->display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        throw ViewError(kExitNoDisplay,
                        std::string("cannot open the X display") + (name != nullptr ? " '" + std::string(name) + "'" : "") +
                            "; run it in a desktop session, or without one under a virtual server: "
                            "xvfb-run -a -s \"-screen 0 1920x1080x24\" ruvane-view ...");
    }
    Display* display = x_->display;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask | ExposureMask;
    x_->window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                               CWBackPixel | CWEventMask, &attributes);
    if (x_->window == 0) {
        XCloseDisplay(display);
        throw ViewError(kExitFailed, "cannot create a window on the X display");
    }
    XStoreName(display, x_->window, title.c_str());
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, x_->window, netName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    // Which process the window belongs to, for window managers and tests.
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, x_->window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XClassHint classHint{};
    std::string resName = "ruvane-view";
    std::string resClass = "Ruvane";
    classHint.res_name = resName.data();
    classHint.res_class = resClass.data();
    XSetClassHint(display, x_->window, &classHint);
    x_->protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    x_->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, x_->window, &x_->deleteWindow, 1);
    resize(width, height);
    XMapWindow(display, x_->window);
    XFlush(display);
}

TopLevelWindow::~TopLevelWindow() {
    XDestroyWindow(x_->display, x_->window);
    XCloseDisplay(x_->display);
}

unsigned long TopLevelWindow::windowId() const { return x_->window; }

int TopLevelWindow::connectionFd() const { return ConnectionNumber(x_->display); }

void TopLevelWindow::resize(int width, int height) {
    width_ = width;
    height_ = height;
    XResizeWindow(x_->display, x_->window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    // The editor has one size: tell the window manager not to offer resizing.
    XSizeHints* hints = XAllocSizeHints();
    if (hints != nullptr) {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(x_->display, x_->window, hints);
        XFree(hints);
    }
    XFlush(x_->display);
}

bool TopLevelWindow::handleEvents(int timeoutMs) {
    Display* display = x_->display;
    if (XPending(display) == 0 && timeoutMs > 0) {
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, timeoutMs);  // EINTR (a signal) simply ends the wait early
    }
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case MapNotify: mapped_ = true; break;
            case UnmapNotify: mapped_ = false; break;
            case ClientMessage:
                if (event.xclient.message_type == x_->protocols &&
                    static_cast<Atom>(event.xclient.data.l[0]) == x_->deleteWindow)
                    closeRequested_ = true;
                break;
            default: break;
        }
    }
    return !closeRequested_;
}

void TopLevelWindow::writeScreenshot(const std::string& path) {
    Display* display = x_->display;
    XSync(display, False);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, x_->window, &attributes);
    if (attributes.visual == nullptr || attributes.visual->c_class != TrueColor || attributes.depth < 24)
        throw ViewError(kExitFailed, "screenshots need a 24-bit colour screen; under Xvfb use -screen 0 1920x1080x24");

    lastXError = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    XImage* image = XGetImage(display, x_->window, 0, 0, static_cast<unsigned>(width_),
                              static_cast<unsigned>(height_), AllPlanes, ZPixmap);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (image == nullptr || lastXError != 0) {
        if (image != nullptr) XDestroyImage(image);
        throw ViewError(kExitFailed, "cannot read the window's pixels: it must lie wholly on the screen (the screen is " +
                                         std::to_string(DisplayWidth(display, DefaultScreen(display))) + " x " +
                                         std::to_string(DisplayHeight(display, DefaultScreen(display))) +
                                         ", the window " + std::to_string(width_) + " x " + std::to_string(height_) + ")");
    }

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int redShift = maskShift(image->red_mask);
    const int greenShift = maskShift(image->green_mask);
    const int blueShift = maskShift(image->blue_mask);
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width_; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const uint32_t red = static_cast<uint32_t>((pixel & image->red_mask) >> redShift) & 0xFF;
            const uint32_t green = static_cast<uint32_t>((pixel & image->green_mask) >> greenShift) & 0xFF;
            const uint32_t blue = static_cast<uint32_t>((pixel & image->blue_mask) >> blueShift) & 0xFF;
            row[x] = 0xFF000000u | (red << 16) | (green << 8) | blue;
        }
    }
    XDestroyImage(image);
    cairo_surface_mark_dirty(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw ViewError(kExitFailed, "cannot write the screenshot '" + path + "': " + cairo_status_to_string(status) +
                                         "; check that its folder exists and is writable");
}

}  // namespace ruvane::view
