// The module's one module-wide state: its own handle and path, whether the host opened
// it, the counted open and close procedures, the plug-in group and the resource file,
// the way to the host's libraries, and the counts that wrappers share.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "adapter/editor_window_class.h"
#include "adapter/framework/host_engine_link.h"
#include "adapter/framework/process_group.h"

class ModuleState {
public:
    ModuleState() = default;
    ~ModuleState();
    ModuleState(const ModuleState&) = delete;
    ModuleState& operator=(const ModuleState&) = delete;

    const CHostEngineLink& Engine();

    // Where the module file is; the resource file is this path plus ".rsr".
    void SetModuleFile(void* handle, std::string path);
    void* Handle() const { return handle_; }
    const std::string& Path() const { return path_; }

    void SetHostOpened(bool opened) { hostOpened_ = opened; }
    bool HostOpened() const { return hostOpened_; }
    void SetProcsTakenByHost(bool taken) { procsTakenByHost_ = taken; }
    bool ProcsTakenByHost() const { return procsTakenByHost_; }

    // Counted: only the first open works, only the last close after it undoes it.
    int32_t Open();
    int32_t Close();
    int32_t OpenCount() const;

    // Makes the group through factory, keeps it and initialises it. Answers 0, -7003 when
    // no group could be made, the code of a host error, or -7401 for any other failure.
    using GroupFactory = std::function<CProcessGroup*(const CHostEngineLink&)>;
    int32_t NewPlugIn(const GroupFactory& factory);
    CProcessGroup* Group();
    void ReleaseGroup();

    // Live wrappers: the first makes the editor window class, the last removes it.
    void WrapperCreated();
    void WrapperDestroyed();
    int32_t LiveWrappers() const { return liveWrappers_.load(); }
    CEditorWindowClass& EditorWindows() { return editorWindows_; }

    // Raised while an effect-made change is being reported to the host.
    void BeginForwarding() { forwarding_.fetch_add(1); }
    void EndForwarding() { forwarding_.fetch_sub(1); }
    bool Forwarding() const { return forwarding_.load() > 0; }

private:
    mutable std::recursive_mutex mutex_;
    std::unique_ptr<CHostEngineLink> engine_;
    void* handle_ = nullptr;
    std::string path_;
    std::atomic<bool> hostOpened_{false};
    std::atomic<bool> procsTakenByHost_{false};
    int32_t openCount_ = 0;
    std::unique_ptr<CProcessGroup> group_;
    bool resourceFileOpen_ = false;
    int32_t resourceFile_ = 0;
    std::atomic<int32_t> liveWrappers_{0};
    CEditorWindowClass editorWindows_;
    std::atomic<int32_t> forwarding_{0};
};

ModuleState& TheModule();

// The module-wide forwarding flag for the lifetime of the scope.
class ModuleForwardingScope {
public:
    ModuleForwardingScope() { TheModule().BeginForwarding(); }
    ~ModuleForwardingScope() { TheModule().EndForwarding(); }
    ModuleForwardingScope(const ModuleForwardingScope&) = delete;
    ModuleForwardingScope& operator=(const ModuleForwardingScope&) = delete;
};

// The module's own plug-in group, as NewPlugIn makes it.
CProcessGroup* MakeWrapperGroup(const CHostEngineLink& engine);
