#include "tools/ruvane-view/view_session.h"

#include <poll.h>

#include <algorithm>

#include "tools/ruvane-view/view_error.h"

namespace ruvane::view {

namespace {
// Enough passes for the content to lay out, draw and reach the screen.
constexpr long kPassesUntilShown = 3;
}

ViewSession::ViewSession(WindowContent content, std::string title, const volatile std::sig_atomic_t& stop)
    : content_(std::move(content)), title_(std::move(title)), stop_(stop) {}

ViewSession::~ViewSession() { closeWindow(); }

void ViewSession::openWindow() {
    if (window_) return;
    window_ = std::make_unique<TopLevelWindow>(content_.width, content_.height, title_);
    idlePasses_ = 0;
    if (!content_.open(*window_)) {
        window_.reset();
        throw ViewError(kExitFailed, "the plug-in refused to open its editor (effEditOpen answered 0)");
    }
    contentOpen_ = true;
}

void ViewSession::closeWindow() {
    if (contentOpen_) content_.close();
    contentOpen_ = false;
    window_.reset();
}

bool ViewSession::ending() const { return stop_ != 0 || userClosed_; }

bool ViewSession::shows() const { return window_ && window_->isMapped() && idlePasses_ >= kPassesUntilShown; }

bool ViewSession::runOnce(int fd) {
    // Events Xlib has read already wait in its queue, not on the descriptor.
    if (window_ && !window_->handleEvents(0)) userClosed_ = true;
    pollfd waitFor[2];
    nfds_t count = 0;
    if (window_) waitFor[count++] = {window_->connectionFd(), POLLIN, 0};
    const nfds_t input = count;
    if (fd >= 0) waitFor[count++] = {fd, POLLIN, 0};
    const auto untilIdle = std::chrono::duration_cast<std::chrono::milliseconds>(nextIdle_ - Clock::now()).count();
    // A signal (EINTR) ends the wait early; the caller looks at ending().
    poll(waitFor, count, static_cast<int>(std::clamp<long long>(untilIdle, 0, kIdleIntervalMs)));
    const bool readable = fd >= 0 && (waitFor[input].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    if (window_ && !window_->handleEvents(0)) userClosed_ = true;
    if (Clock::now() >= nextIdle_) {
        if (contentOpen_) {
            content_.idle();
            ++idlePasses_;
        }
        nextIdle_ += std::chrono::milliseconds(kIdleIntervalMs);
        if (nextIdle_ < Clock::now()) nextIdle_ = Clock::now();
    }
    return readable;
}

bool ViewSession::runUntil(const std::function<bool()>& done) {
    while (!ending()) {
        if (done()) return true;
        runOnce();
    }
    return false;
}

}  // namespace ruvane::view
