// The program's own top-level X window, on an X connection of its own: the parent the
// editor opens into, as a host's plug-in window is. Xlib stays inside the .cpp.
#pragma once

#include <memory>
#include <string>

namespace ruvane::view {

class TopLevelWindow {
public:
    // Opens the display and shows a fixed-size window with this title. Throws
    // ViewError (kExitNoDisplay) without a display, (kExitFailed) if it cannot be made.
    TopLevelWindow(int width, int height, const std::string& title);
    ~TopLevelWindow();  // destroys the window and closes the connection
    TopLevelWindow(const TopLevelWindow&) = delete;
    TopLevelWindow& operator=(const TopLevelWindow&) = delete;

    // The X11 Window id, as a host hands it to effEditOpen.
    unsigned long windowId() const;
    int width() const { return width_; }
    int height() const { return height_; }
    void resize(int width, int height);

    // Handles the window's events, waiting at most timeoutMs for one to arrive (less
    // when a signal comes). False once the window manager asked to close it.
    bool handleEvents(int timeoutMs);
    // The X connection's descriptor, readable when events wait (for a caller that waits
    // on other input too, then calls handleEvents(0)).
    int connectionFd() const;
    bool closeRequested() const { return closeRequested_; }
    bool isMapped() const { return mapped_; }

    // Writes what the window shows (children included) as a PNG. Throws ViewError
    // (kExitFailed) saying why.
    void writeScreenshot(const std::string& path);

private:
    struct Connection;
    std::unique_ptr<Connection> x_;
    int width_;
    int height_;
    bool closeRequested_ = false;
    bool mapped_ = false;
};

}  // namespace ruvane::view
