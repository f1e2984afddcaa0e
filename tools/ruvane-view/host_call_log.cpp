#include "tools/ruvane-view/host_call_log.h"

#include <cerrno>
#include <cstring>

#include "tools/ruvane-view/view_error.h"

namespace ruvane::view {

HostCallLog::HostCallLog(const std::string& path)
    : path_(path), file_(std::fopen(path.c_str(), "a")), owner_(std::this_thread::get_id()) {
    if (file_ == nullptr)
        throw ViewError(kExitFailed, "cannot open the host-call log '" + path + "' for appending (" +
                                         std::strerror(errno) + "); name a file in a writable folder");
}

HostCallLog::~HostCallLog() { std::fclose(file_); }

void HostCallLog::record(VstInt32 opcode, VstInt32 index, float value) {
    if (std::this_thread::get_id() != owner_) {
        skipped_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    int written = 0;
    switch (opcode) {
        case audioMasterBeginEdit: written = std::fprintf(file_, "begin-edit %d\n", index); break;
        case audioMasterEndEdit: written = std::fprintf(file_, "end-edit %d\n", index); break;
        case audioMasterAutomate: written = std::fprintf(file_, "automate %d %.9g\n", index, value); break;
        default: return;
    }
    if (written < 0 || std::fflush(file_) != 0) healthy_ = false;
}

}  // namespace ruvane::view
