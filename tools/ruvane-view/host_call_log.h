// Writes what the editor tells the host (begin-edit, automate, end-edit) to a file, one
// line per call as it happens, so people and tests can follow a gesture.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "vst/aeffect.h"

namespace ruvane::view {

class HostCallLog {
public:
    // Opens path for appending; throws ViewError (kExitFailed) when it cannot.
    explicit HostCallLog(const std::string& path);
    ~HostCallLog();
    HostCallLog(const HostCallLog&) = delete;
    HostCallLog& operator=(const HostCallLog&) = delete;

    // One host call. Written and flushed at once on the thread that made the log (the
    // editor's); a call from any other thread, such as the audio thread answering MIDI,
    // is only counted: no file writes, locks or allocation there.
    void record(VstInt32 opcode, VstInt32 index, float value);
    long skipped() const { return skipped_.load(std::memory_order_relaxed); }
    // False once a line could not be written.
    bool healthy() const { return healthy_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    std::thread::id owner_;
    std::atomic<long> skipped_{0};
    bool healthy_ = true;
};

}  // namespace ruvane::view
