// Support for the ruvane-view tests: the X display of the test (Xvfb under ctest),
// pixels of windows and PNG files, and running the built program as a user does.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "private_x_server.h"
#include "temp_folder.h"

namespace ruvane::testing {

namespace fs = std::filesystem;

// The longest a test waits for the program or the X server before it gives up and
// fails; it never decides a result by time.
inline constexpr std::chrono::seconds kPatience{30};

// Pixels as 0xRRGGBB, row by row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;

    uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
    // The part inside the rectangle (left, top, width, height in pixels).
    Pixels crop(int left, int top, int w, int h) const {
        Pixels part{w, h, {}};
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x) part.rgb.push_back(at(x, y));
        return part;
    }
    bool operator==(const Pixels&) const = default;
};

inline Pixels pixelsOf(cairo_surface_t* image) {
    Pixels pixels;
    if (image == nullptr || cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return pixels;
    cairo_surface_flush(image);
    pixels.width = cairo_image_surface_get_width(image);
    pixels.height = cairo_image_surface_get_height(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, data + y * stride + x * 4, sizeof pixel);
            pixels.rgb.push_back(pixel & 0xFFFFFFu);
        }
    return pixels;
}

inline Pixels readPng(const fs::path& path) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    Pixels pixels = pixelsOf(image);
    cairo_surface_destroy(image);
    return pixels;
}

// A PNG held in memory (the embedded bitmaps).
inline Pixels decodePng(std::span<const uint8_t> png) {
    struct Reader {
        std::span<const uint8_t> bytes;
        size_t position = 0;
    } reader{png};
    cairo_surface_t* image = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* data, unsigned int length) {
            auto* source = static_cast<Reader*>(closure);
            if (source->position + length > source->bytes.size()) return CAIRO_STATUS_READ_ERROR;
            std::memcpy(data, source->bytes.data() + source->position, length);
            source->position += length;
            return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    Pixels pixels = pixelsOf(image);
    cairo_surface_destroy(image);
    return pixels;
}

// Polls until the condition holds or kPatience runs out; true if it held.
inline bool eventually(const std::function<bool()>& condition) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < giveUp) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

// The test's own connection to an X server: the one named by DISPLAY, or the given one.
class TestDisplay {
public:
    // An X server left without clients restarts and refuses connections for a moment,
    // so a test starting just after another one ended may have to ask again.
    explicit TestDisplay(const std::string& name = {}) {
        const char* wanted = name.empty() ? nullptr : name.c_str();
        if (wanted == nullptr && std::getenv("DISPLAY") == nullptr) return;
        eventually([&] { return (display_ = XOpenDisplay(wanted)) != nullptr; });
    }
    ~TestDisplay() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    Display* get() const { return display_; }
    std::string name() const { return display_ != nullptr ? DisplayString(display_) : ""; }
    Window root() const { return DefaultRootWindow(display_); }

    // Every window on the server below the root, counted through the whole tree.
    int windowCount() const { return countBelow(root()); }

    // The process that made a window (_NET_WM_PID), or 0.
    long windowPid(Window window) const {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        long pid = 0;
        if (XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                               &type, &format, &items, &after, &data) == Success &&
            data != nullptr) {
            if (type == XA_CARDINAL && format == 32 && items == 1) pid = *reinterpret_cast<long*>(data);
            XFree(data);
        }
        return pid;
    }

    // The mapped top-level window with this name (WM_NAME), of this process when pid
    // is given.
    std::optional<Window> findWindow(const std::string& name, long pid = 0) const {
        Window rootReturn, parent;
        Window* children = nullptr;
        unsigned int count = 0;
        std::optional<Window> found;
        if (XQueryTree(display_, root(), &rootReturn, &parent, &children, &count) == 0) return found;
        for (unsigned int i = 0; i < count && !found; ++i) {
            char* windowName = nullptr;
            XWindowAttributes attributes{};
            if (XFetchName(display_, children[i], &windowName) != 0 && windowName != nullptr) {
                if (name == windowName && XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
                    attributes.map_state == IsViewable && (pid == 0 || windowPid(children[i]) == pid))
                    found = children[i];
                XFree(windowName);
            }
        }
        if (children != nullptr) XFree(children);
        return found;
    }

    // What the window shows, children included: all of it, or the part at (left, top)
    // of width x height pixels (only that part need be on the screen). Empty when the
    // server cannot read it.
    Pixels grab(Window window, int left = 0, int top = 0, int width = 0, int height = 0) const {
        if (width == 0 || height == 0) {
            XWindowAttributes attributes{};
            XGetWindowAttributes(display_, window, &attributes);
            width = attributes.width;
            height = attributes.height;
        }
        XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        XImage* image = XGetImage(display_, window, left, top, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        XSync(display_, False);
        XSetErrorHandler(previous);
        if (image == nullptr) return {};
        Pixels pixels{width, height, {}};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.rgb.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
        XDestroyImage(image);
        return pixels;
    }

    // What a window manager sends when the user closes the window.
    void askToClose(Window window) const {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, window, False, NoEventMask, &event);
        XFlush(display_);
    }

private:
    int countBelow(Window window) const {
        Window rootReturn, parent;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display_, window, &rootReturn, &parent, &children, &count) == 0) return 0;
        int total = static_cast<int>(count);
        for (unsigned int i = 0; i < count; ++i) total += countBelow(children[i]);
        if (children != nullptr) XFree(children);
        return total;
    }

    Display* display_ = nullptr;
};

// Fails the test with a clear message when there is no X server to talk to.
#define RUVANE_REQUIRE_DISPLAY(display)                                                                \
    ASSERT_NE((display).get(), nullptr) << "these tests need an X server: run them under xvfb-run "   \
                                           "(make test does), DISPLAY is '"                          \
                                        << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") << "'"

inline std::string readText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

struct ViewRun {
    int exitCode = -1;  // -1 when killed by a signal or never finished
    int signal = 0;
    std::string out;
    std::string err;
};

#define RUVANE_REQUIRE_SERVER(server) \
    ASSERT_FALSE((server).name().empty()) << "cannot start Xvfb for this test; install it with scripts/setup"

// The built ruvane-view, started with arguments, on the test's DISPLAY, on the named
// display, or with no DISPLAY at all; finish() waits for it, killing it if it
// outstays kPatience.
class ViewProcess {
public:
    explicit ViewProcess(const std::vector<std::string>& args, bool withDisplay = true,
                         const std::string& displayName = {}) {
        pid_ = fork();
        if (pid_ == 0) {
            const int out = open((folder_.path() / "stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open((folder_.path() / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
            if (!withDisplay) unsetenv("DISPLAY");
            if (!displayName.empty()) setenv("DISPLAY", displayName.c_str(), 1);
            unsetenv("GDK_SCALE");
            std::vector<std::string> copies = args;
            std::string program = RUVANE_VIEW_PATH;
            std::vector<char*> argv{program.data()};
            for (std::string& arg : copies) argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    ~ViewProcess() {
        if (pid_ > 0 && !finished_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    ViewProcess(const ViewProcess&) = delete;
    ViewProcess& operator=(const ViewProcess&) = delete;

    pid_t pid() const { return pid_; }

    ViewRun finish() {
        ViewRun run;
        int status = 0;
        const bool ended = eventually([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
        if (!ended) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            ADD_FAILURE() << "ruvane-view did not finish within " << kPatience.count() << " s";
        }
        finished_ = true;
        if (ended && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
        run.out = readText(folder_.path() / "stdout.txt");
        run.err = readText(folder_.path() / "stderr.txt");
        return run;
    }

private:
    TempFolder folder_;
    pid_t pid_ = -1;
    bool finished_ = false;
};

inline ViewRun runView(const std::vector<std::string>& args, bool withDisplay = true,
                       const std::string& displayName = {}) {
    return ViewProcess(args, withDisplay, displayName).finish();
}

}  // namespace ruvane::testing
