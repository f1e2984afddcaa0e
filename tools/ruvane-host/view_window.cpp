#include "tools/ruvane-host/view_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/interruption.h"

namespace ruvane::host {
namespace {

using render::ToolError;
constexpr auto kIdleInterval = std::chrono::milliseconds(20);
constexpr int kIdlesBeforeShot = 50;  // a second for the editor to draw itself
constexpr char kWindowTitle[] = "Ruvane - ruvane-host";
constexpr unsigned long kHostGrey = 0x2e3033;  // the host's own window colour
constexpr int kHostStripHeight = 32;          // below the view in view mode 1

// The host's strip below the view (view mode 1): where a host platform keeps its own
// controls for the instance; here it names the instance.
void paintHostStrip(Display* display, Window window, int width, int height, const std::string& label) {
    cairo_surface_t* surface =
        cairo_xlib_surface_create(display, window, DefaultVisual(display, DefaultScreen(display)), width, height);
    cairo_t* cr = cairo_create(surface);
    const double top = height - kHostStripHeight;
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, top, 0, height);
    cairo_pattern_add_color_stop_rgb(shade, 0, 0.24, 0.25, 0.27);
    cairo_pattern_add_color_stop_rgb(shade, 1, 0.17, 0.18, 0.19);
    cairo_rectangle(cr, 0, top, width, kHostStripHeight);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_rectangle(cr, 0, top, width, 1);  // the edge under the view
    cairo_set_source_rgb(cr, 0.09, 0.09, 0.10);
    cairo_fill(cr);
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 12);
    cairo_set_source_rgb(cr, 0.80, 0.82, 0.84);
    cairo_move_to(cr, 10, top + kHostStripHeight / 2.0 + 4);
    cairo_show_text(cr, label.c_str());
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}

// The window's pixels as a PNG, through cairo.
void writeShot(Display* display, Window window, int width, int height, const std::string& path) {
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) throw ToolError(render::kExitRenderFailed, "cannot read the window's pixels for the picture");
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const uint32_t r = static_cast<uint32_t>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
            const uint32_t g = static_cast<uint32_t>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
            const uint32_t b = static_cast<uint32_t>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
            row[x] = (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    XDestroyImage(image);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw ToolError(render::kExitRenderFailed, "cannot write the picture '" + path + "'; check the folder");
}

}  // namespace

void showView(hostplatform::PlugInInstance& instance, int viewMode, const std::string& label,
              const std::optional<std::string>& shotPath) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        throw ToolError(render::kExitRenderFailed,
                        "no X display to show the view on; run it in an X session or under xvfb-run");
    const HPViewRect rect = instance.viewRect();
    const int width = std::max(rect.right - rect.left, 1);
    const int height = std::max(rect.bottom - rect.top, 1) + (viewMode == 1 ? kHostStripHeight : 0);
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, kHostGrey, kHostGrey);
    XStoreName(display, window, kWindowTitle);
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, window, &hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, StructureNotifyMask | ExposureMask);
    XMapRaised(display, window);
    for (XEvent event{}; event.type != MapNotify;) XNextEvent(display, &event);

    instance.openView(window, viewMode);
    bool open = true;
    for (int idles = 0; open; ++idles) {
        instance.idleView();
        while (XPending(display) > 0) {
            XEvent event{};
            XNextEvent(display, &event);
            if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) open = false;
            if (event.type == Expose && event.xexpose.count == 0 && viewMode == 1)
                paintHostStrip(display, window, width, height, label);
        }
        if (render::interruptingSignal() != 0) open = false;
        if (shotPath && idles >= kIdlesBeforeShot) {
            if (viewMode == 1) paintHostStrip(display, window, width, height, label);
            XSync(display, False);
            writeShot(display, window, width, height, *shotPath);
            open = false;
        }
        std::this_thread::sleep_for(kIdleInterval);
    }
    instance.closeView();
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

}  // namespace ruvane::host
