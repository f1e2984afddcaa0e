#include "hostplatform/extension/host_extension.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace ruvane::hostplatform {

namespace {

// The extension the library's calls reach: the host program's, if any.
std::atomic<HostExtension*> installedExtension{nullptr};

std::optional<std::vector<uint8_t>> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

HostExtension::HostExtension() {
    HostExtension* expected = nullptr;
    if (!installedExtension.compare_exchange_strong(expected, this))
        std::fprintf(stderr, "host extension: a second extension in one process is ignored\n");
}

HostExtension::~HostExtension() {
    HostExtension* expected = this;
    installedExtension.compare_exchange_strong(expected, nullptr);
}

std::map<int32_t, OpenResourceFile> HostExtension::openFiles() const {
    std::lock_guard lock(mutex_);
    return files_;
}

int32_t HostExtension::open(const char* path, HPByteOrderHook hook, int32_t* fileRef) {
    if (!path || !fileRef) return kHPErrorNoResourceFile;
    auto bytes = readFile(path);
    if (!bytes) return kHPErrorNoResourceFile;
    auto decoded = decodeResourceFile(*bytes);
    if (!decoded) return kHPErrorBadResourceFile;
    OpenResourceFile file{path, decoded->order, std::move(decoded->resources), {}};
    if (file.storedOrder == ByteOrder::reversed && hook) {
        for (Resource& resource : file.resources) {
            if (hook(resource.kind, resource.id, resource.data.data(), static_cast<int32_t>(resource.data.size())))
                file.kindsTheHookKnew.push_back(resource.kind);
        }
    }
    std::lock_guard lock(mutex_);
    *fileRef = nextRef_++;
    files_[*fileRef] = std::move(file);
    return 0;
}

void HostExtension::close(int32_t fileRef) {
    std::lock_guard lock(mutex_);
    files_.erase(fileRef);
}

}  // namespace ruvane::hostplatform

using ruvane::hostplatform::installedExtension;

#define RUVANE_HOST_EXPORT extern "C" __attribute__((visibility("default")))

RUVANE_HOST_EXPORT int32_t RuvaneExt_OpenResourceFile(const char* path, HPByteOrderHook hook, int32_t* fileRef) {
    auto* extension = installedExtension.load();
    // Without a host program's extension the file is still checked, then forgotten.
    if (!extension) {
        ruvane::hostplatform::HostExtension transient;
        return transient.open(path, hook, fileRef);
    }
    return extension->open(path, hook, fileRef);
}

RUVANE_HOST_EXPORT void RuvaneExt_CloseResourceFile(int32_t fileRef) {
    if (auto* extension = installedExtension.load()) extension->close(fileRef);
}
