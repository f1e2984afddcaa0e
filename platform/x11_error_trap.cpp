#include "platform/x11_error_trap.h"

namespace ruvane {
namespace {

// The innermost trap of this thread; the handler runs on the thread whose call failed.
thread_local X11ErrorTrap* currentTrap = nullptr;

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), outer_(currentTrap) {
    currentTrap = this;
    previous_ = XSetErrorHandler(record);
}

X11ErrorTrap::~X11ErrorTrap() {
    if (display_) XSync(display_, False);
    XSetErrorHandler(previous_);
    currentTrap = outer_;
}

bool X11ErrorTrap::failed() {
    if (display_) XSync(display_, False);
    return errorCode_ != 0;
}

int X11ErrorTrap::record(Display*, XErrorEvent* error) {
    // An error on a thread without a trap of its own (the handler is process-wide while
    // another thread holds one) is dropped rather than allowed to end the process.
    if (currentTrap && error) currentTrap->errorCode_ = error->error_code;
    return 0;
}

}  // namespace ruvane
