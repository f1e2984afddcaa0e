#include "adapter/framework/host_engine_link.h"

#include <dlfcn.h>

#include <cstdio>

namespace {

template <typename Proc>
Proc lookUp(void* library, const char* name) {
    return library ? reinterpret_cast<Proc>(dlsym(library, name)) : nullptr;
}

}  // namespace

CHostEngineLink::CHostEngineLink()
    : engine_(dlopen(RUVANE_HOST_ENGINE_LIBRARY, RTLD_NOW | RTLD_NOLOAD)),
      extension_(dlopen(RUVANE_HOST_EXTENSION_LIBRARY, RTLD_NOW | RTLD_NOLOAD)) {
    registerProcs_ = lookUp<RuvaneHost_RegisterOpenCloseProcsProc>(engine_, "RuvaneHost_RegisterOpenCloseProcs");
    gestalt_ = lookUp<RuvaneHost_GestaltProc>(engine_, "RuvaneHost_Gestalt");
    valueByName_ = lookUp<RuvaneHost_GetValueByNameProc>(engine_, "RuvaneHost_GetValueByName");
    registerGroup_ = lookUp<RuvaneHost_RegisterGroupProc>(engine_, "RuvaneHost_RegisterGroup");
    alert_ = lookUp<RuvaneHost_AlertProc>(engine_, "RuvaneHost_Alert");
    registerMidiNode_ = lookUp<RuvaneHost_RegisterMidiNodeProc>(engine_, "RuvaneHost_RegisterMidiNode");
    unregisterMidiNode_ = lookUp<RuvaneHost_UnregisterMidiNodeProc>(engine_, "RuvaneHost_UnregisterMidiNode");
    controlChanged_ = lookUp<RuvaneHost_ControlChangedProc>(engine_, "RuvaneHost_ControlChanged");
    idle_ = lookUp<RuvaneHost_IdleProc>(engine_, "RuvaneHost_Idle");
    openResourceFile_ = lookUp<RuvaneExt_OpenResourceFileProc>(extension_, "RuvaneExt_OpenResourceFile");
    closeResourceFile_ = lookUp<RuvaneExt_CloseResourceFileProc>(extension_, "RuvaneExt_CloseResourceFile");
}

CHostEngineLink::~CHostEngineLink() {
    if (engine_) dlclose(engine_);
    if (extension_) dlclose(extension_);
}

bool CHostEngineLink::RegisterOpenCloseProcs(void* module, HPOpenCloseProc open, HPOpenCloseProc close) const {
    return registerProcs_ && registerProcs_(module, open, close) == 0;
}

std::optional<int32_t> CHostEngineLink::Gestalt(uint32_t selector) const {
    int32_t response = 0;
    if (!gestalt_ || gestalt_(selector, &response) != 0) return std::nullopt;
    return response;
}

std::optional<int32_t> CHostEngineLink::ValueByName(const char* name) const {
    int32_t value = 0;
    if (!valueByName_ || valueByName_(name, &value) != 0) return std::nullopt;
    return value;
}

int32_t CHostEngineLink::RegisterGroup(const char* name, int32_t manufacturerId) const {
    return registerGroup_ ? registerGroup_(name, manufacturerId) : 0;
}

void CHostEngineLink::Alert(const char* text, const char* caption) const {
    if (alert_)
        alert_(text, caption);
    else
        std::fprintf(stderr, "%s\n", text);  // no host to show it: the user still learns why
}

std::optional<int32_t> CHostEngineLink::RegisterMidiNode(const char* name, int32_t registration) const {
    int32_t node = 0;
    if (!registerMidiNode_ || registerMidiNode_(name, registration, &node) != 0) return std::nullopt;
    return node;
}

void CHostEngineLink::UnregisterMidiNode(int32_t nodeId) const {
    if (unregisterMidiNode_) unregisterMidiNode_(nodeId);
}

void CHostEngineLink::ControlChanged(uint64_t hostInstanceId, int32_t control, int32_t value) const {
    if (controlChanged_) controlChanged_(hostInstanceId, control, value);
}

void CHostEngineLink::Idle() const {
    if (idle_) idle_();
}

int32_t CHostEngineLink::OpenResourceFile(const char* path, HPByteOrderHook hook, int32_t* fileRef) const {
    if (!openResourceFile_) return kHPErrorNoResourceFile;
    return openResourceFile_(path, hook, fileRef);
}

void CHostEngineLink::CloseResourceFile(int32_t fileRef) const {
    if (closeResourceFile_) closeResourceFile_(fileRef);
}
