// X errors on a connection of ours (a window the host already destroyed, a parent id
// that names no window) must not reach Xlib's default handler, which ends the whole
// host process. A trap installs its handler only around our own calls and puts the
// previous one back. What it saw is kept per thread: every thread that talks to X
// does so on a connection of its own, and traps on one thread nest.
#pragma once

#include <X11/Xlib.h>

namespace ruvane {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    // Waits for the server's answers to the calls made inside, so their errors land in
    // this trap and not in whatever handler comes back.
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Whether any call since the trap was set failed; waits for the server first.
    bool failed();

private:
    static int record(Display* display, XErrorEvent* error);

    Display* display_;
    XErrorHandler previous_ = nullptr;
    X11ErrorTrap* outer_ = nullptr;
    int errorCode_ = 0;
};

}  // namespace ruvane
