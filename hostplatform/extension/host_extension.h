// The host program's side of the stand-in extension library: the resource files that
// modules have open, as read through their hooks. One HostExtension per host program;
// while it lives, the library's calls (extension_calls.h) reach it.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "hostplatform/extension/extension_calls.h"
#include "hostplatform/extension/resource_file.h"

namespace ruvane::hostplatform {

struct OpenResourceFile {
    std::string path;
    ByteOrder storedOrder = ByteOrder::native;
    std::vector<Resource> resources;           // in this machine's order
    std::vector<uint32_t> kindsTheHookKnew;     // hook answered 1 (files of the other order)
};

class HostExtension {
public:
    HostExtension();
    ~HostExtension();
    HostExtension(const HostExtension&) = delete;
    HostExtension& operator=(const HostExtension&) = delete;

    std::map<int32_t, OpenResourceFile> openFiles() const;

    int32_t open(const char* path, HPByteOrderHook hook, int32_t* fileRef);
    void close(int32_t fileRef);

private:
    mutable std::mutex mutex_;
    std::map<int32_t, OpenResourceFile> files_;
    int32_t nextRef_ = 1;
};

}  // namespace ruvane::hostplatform
