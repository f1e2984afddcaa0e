// The program's window and what it shows (the plug-in's editor or the gallery), run as
// a host runs a plug-in window: X events handled as they come, the content idled at
// 30 Hz. The window can be closed and opened again while the program runs.
#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <string>

#include "tools/ruvane-view/top_level_window.h"

namespace ruvane::view {

// What the window shows.
struct WindowContent {
    int width = 0;   // pixels
    int height = 0;
    // Opens into the window; false when it refuses. May resize the window.
    std::function<bool(TopLevelWindow& window)> open;
    std::function<void()> idle;
    std::function<void()> close;
};

class ViewSession {
public:
    static constexpr int kIdleIntervalMs = 33;  // 30 Hz, as hosts idle their editors

    // `stop` is set from a signal handler; every wait ends soon after it is.
    ViewSession(WindowContent content, std::string title, const volatile std::sig_atomic_t& stop);
    ~ViewSession();
    ViewSession(const ViewSession&) = delete;
    ViewSession& operator=(const ViewSession&) = delete;

    // Shows a new window and opens the content into it. Throws ViewError when the
    // window cannot be made (kExitNoDisplay, kExitFailed) or the content refuses (kExitFailed).
    void openWindow();
    // Closes the content, then destroys the window.
    void closeWindow();
    bool isOpen() const { return window_ != nullptr; }
    TopLevelWindow* window() { return window_.get(); }

    // One pass: waits until the next idle is due, for X events, or for `fd` (-1: none)
    // to become readable; handles the events; idles the content when due. True when fd
    // became readable.
    bool runOnce(int fd = -1);
    // Passes until done() holds; false when the program is to end first (a signal, or
    // the user closed the window).
    bool runUntil(const std::function<bool()>& done);
    // The user closed the window (the window manager asked), or a signal came.
    bool ending() const;

    // Idle passes of the content since the window opened.
    long idlePasses() const { return idlePasses_; }
    // The window is mapped and the content has been idled a few times, so it shows.
    bool shows() const;

private:
    using Clock = std::chrono::steady_clock;

    WindowContent content_;
    std::string title_;
    const volatile std::sig_atomic_t& stop_;
    std::unique_ptr<TopLevelWindow> window_;
    bool contentOpen_ = false;
    bool userClosed_ = false;
    long idlePasses_ = 0;
    Clock::time_point nextIdle_ = Clock::now();
};

}  // namespace ruvane::view
