#include "adapter/module_state.h"

#include <new>

#include "adapter/framework/host_error.h"
#include "adapter/resource_byte_order.h"
#include "adapter/wrapper_process_group.h"

namespace {
constexpr char kResourceFileSuffix[] = ".rsr";
}

ModuleState& TheModule() {
    static ModuleState module;
    return module;
}

ModuleState::~ModuleState() {
    // A host that never closed the module: its instances go with the module.
    group_.reset();
}

const CHostEngineLink& ModuleState::Engine() {
    std::lock_guard lock(mutex_);
    if (!engine_) engine_ = std::make_unique<CHostEngineLink>();
    return *engine_;
}

void ModuleState::SetModuleFile(void* handle, std::string path) {
    std::lock_guard lock(mutex_);
    handle_ = handle;
    path_ = std::move(path);
}

int32_t ModuleState::Open() {
    std::lock_guard lock(mutex_);
    if (++openCount_ > 1) return 0;
    // The resource file is for the host's extension library; a process without one
    // (no host platform at all) has nobody to read it.
    if (Engine().HasExtension()) {
        const std::string resourcePath = path_ + kResourceFileSuffix;
        int32_t file = 0;
        if (const int32_t error = Engine().OpenResourceFile(resourcePath.c_str(), ReverseResourceFields, &file);
            error != 0) {
            --openCount_;
            return error;
        }
        resourceFile_ = file;
        resourceFileOpen_ = true;
    }
    if (const int32_t error = NewPlugIn(MakeWrapperGroup); error != 0) {
        ReleaseGroup();
        if (resourceFileOpen_) Engine().CloseResourceFile(resourceFile_);
        resourceFileOpen_ = false;
        --openCount_;
        return error;
    }
    return 0;
}

int32_t ModuleState::Close() {
    std::lock_guard lock(mutex_);
    if (openCount_ == 0) return 0;
    if (--openCount_ > 0) return 0;
    ReleaseGroup();
    if (resourceFileOpen_) Engine().CloseResourceFile(resourceFile_);
    resourceFileOpen_ = false;
    return 0;
}

int32_t ModuleState::OpenCount() const {
    std::lock_guard lock(mutex_);
    return openCount_;
}

int32_t ModuleState::NewPlugIn(const GroupFactory& factory) {
    std::lock_guard lock(mutex_);
    // A second call keeps the group the host's instances live in.
    if (group_) return 0;
    try {
        CProcessGroup* group = factory(Engine());
        if (!group) return kHPErrorNoMemory;
        group_.reset(group);
        group->Initialize();
        return 0;
    } catch (const CHostError& error) {
        group_.reset();
        return error.Code();
    } catch (...) {
        group_.reset();
        return kHPErrorFramework;
    }
}

CProcessGroup* ModuleState::Group() {
    std::lock_guard lock(mutex_);
    return group_.get();
}

void ModuleState::ReleaseGroup() {
    std::lock_guard lock(mutex_);
    group_.reset();
}

void ModuleState::WrapperCreated() {
    std::lock_guard lock(mutex_);
    if (liveWrappers_.fetch_add(1) == 0) editorWindows_.Register();
}

void ModuleState::WrapperDestroyed() {
    std::lock_guard lock(mutex_);
    if (liveWrappers_.fetch_sub(1) == 1) editorWindows_.Unregister();
}

CProcessGroup* MakeWrapperGroup(const CHostEngineLink& engine) {
    return new (std::nothrow) CWrapperProcessGroup(engine);
}
