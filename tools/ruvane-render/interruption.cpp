#include "tools/ruvane-render/interruption.h"

#include <unistd.h>

#include <cstring>

namespace ruvane::render {

namespace {

volatile std::sig_atomic_t stopSignal = 0;
// Written outside the handler only while the signals are blocked.
char temporaryPath[4096] = {};

void onSignal(int signal) {
    if (stopSignal != 0) {
        if (temporaryPath[0] != '\0') unlink(temporaryPath);
        _exit(128 + signal);
    }
    stopSignal = signal;
}

class BlockedSignals {
public:
    BlockedSignals() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        sigprocmask(SIG_BLOCK, &set, &previous_);
    }
    ~BlockedSignals() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

}  // namespace

void installInterruptionHandlers() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interruptingSignal() { return stopSignal; }

void registerTemporaryFile(const char* path) {
    BlockedSignals blocked;
    if (path == nullptr || std::strlen(path) >= sizeof temporaryPath) {
        temporaryPath[0] = '\0';
        return;
    }
    std::strcpy(temporaryPath, path);
}

void dieOfInterruption() {
    const int signal = stopSignal != 0 ? static_cast<int>(stopSignal) : SIGTERM;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    _exit(128 + signal);
}

}  // namespace ruvane::render
