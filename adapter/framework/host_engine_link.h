// The framework's way to the host: the engine and extension libraries the host program
// has already loaded, found by name and asked through the calls they export. Each call
// has the answer of a host that does not know it when the library is not there.
#pragma once

#include <cstdint>
#include <optional>

#include "hostplatform/engine/engine_calls.h"
#include "hostplatform/extension/extension_calls.h"

class CHostEngineLink {
public:
    CHostEngineLink();   // looks for the loaded libraries
    ~CHostEngineLink();  // lets go of them
    CHostEngineLink(const CHostEngineLink&) = delete;
    CHostEngineLink& operator=(const CHostEngineLink&) = delete;

    bool HasEngine() const { return engine_ != nullptr; }
    bool HasExtension() const { return extension_ != nullptr; }
    // False when there is no engine to take them.
    bool RegisterOpenCloseProcs(void* module, HPOpenCloseProc open, HPOpenCloseProc close) const;
    std::optional<int32_t> Gestalt(uint32_t selector) const;
    std::optional<int32_t> ValueByName(const char* name) const;
    int32_t RegisterGroup(const char* name, int32_t manufacturerId) const;
    void Alert(const char* text, const char* caption) const;
    std::optional<int32_t> RegisterMidiNode(const char* name, int32_t registration) const;
    void UnregisterMidiNode(int32_t nodeId) const;
    void ControlChanged(uint64_t hostInstanceId, int32_t control, int32_t value) const;
    void Idle() const;

    int32_t OpenResourceFile(const char* path, HPByteOrderHook hook, int32_t* fileRef) const;
    void CloseResourceFile(int32_t fileRef) const;

private:
    void* engine_ = nullptr;
    void* extension_ = nullptr;
    RuvaneHost_RegisterOpenCloseProcsProc registerProcs_ = nullptr;
    RuvaneHost_GestaltProc gestalt_ = nullptr;
    RuvaneHost_GetValueByNameProc valueByName_ = nullptr;
    RuvaneHost_RegisterGroupProc registerGroup_ = nullptr;
    RuvaneHost_AlertProc alert_ = nullptr;
    RuvaneHost_RegisterMidiNodeProc registerMidiNode_ = nullptr;
    RuvaneHost_UnregisterMidiNodeProc unregisterMidiNode_ = nullptr;
    RuvaneHost_ControlChangedProc controlChanged_ = nullptr;
    RuvaneHost_IdleProc idle_ = nullptr;
    RuvaneExt_OpenResourceFileProc openResourceFile_ = nullptr;
    RuvaneExt_CloseResourceFileProc closeResourceFile_ = nullptr;
};
