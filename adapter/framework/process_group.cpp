#include "adapter/framework/process_group.h"

#include <cstring>

#include "adapter/framework/host_engine_link.h"
#include "adapter/framework/host_error.h"

CProcessGroup::CProcessGroup(const CHostEngineLink& engine) : engine_(engine) {}

CProcessGroup::~CProcessGroup() {
    std::set<CEffectProcess*> left;
    {
        std::lock_guard lock(processesMutex_);
        left.swap(processes_);
    }
    for (CEffectProcess* process : left) delete process;
}

void CProcessGroup::Initialize() {
    if (const int32_t refusal = engine_.RegisterGroup(name_.c_str(), manufacturerId_); refusal != 0)
        throw CHostError(refusal);
    CreateEffectTypes();
}

void CProcessGroup::AddEffectType(std::unique_ptr<CEffectType> type) {
    if (type->Kind() == kHPKindRealTime) type->SetGroup(this);
    types_.push_back(std::move(type));
}

const CEffectType* CProcessGroup::TypeAt(int32_t index) const {
    if (index < 0 || index >= TypeCount()) return nullptr;
    return types_[static_cast<std::size_t>(index)].get();
}

void CProcessGroup::Describe(HPGroupInfo& info) const {
    info = HPGroupInfo{};
    std::strncpy(info.name, name_.c_str(), sizeof info.name - 1);
    std::strncpy(info.manufacturer, manufacturer_.c_str(), sizeof info.manufacturer - 1);
    info.nameFlags = nameFlags_;
    info.manufacturerId = manufacturerId_;
    info.featureCode = featureCode_;
    info.typeCount = TypeCount();
}

void CProcessGroup::RequestIdle() const { engine_.Idle(); }

CEffectProcess* CProcessGroup::CreateProcess(int32_t typeIndex, uint64_t hostInstanceId, double sampleRate) {
    const CEffectType* type = TypeAt(typeIndex);
    if (!type || !type->Creator()) throw CHostError(kHPErrorBadIndex);
    const CProcessContext context{&engine_, type, hostInstanceId, sampleRate, this};
    CEffectProcess* process = type->Creator()(context);
    if (!process) throw CHostError(kHPErrorNoMemory);
    std::lock_guard lock(processesMutex_);
    processes_.insert(process);
    return process;
}

CEffectProcess* CProcessGroup::FindProcess(const void* process) const {
    std::lock_guard lock(processesMutex_);
    for (CEffectProcess* live : processes_)
        if (live == process) return live;
    return nullptr;
}

void CProcessGroup::DestroyProcess(CEffectProcess* process) {
    {
        std::lock_guard lock(processesMutex_);
        if (processes_.erase(process) == 0) return;
    }
    delete process;
}

void CEffectGroupMIDI::MidiNodeLeaving(int32_t nodeId) {
    std::lock_guard lock(nodesMutex_);
    if (auto found = nodes_.find(nodeId); found != nodes_.end()) nodes_.erase(found);
}

void CEffectGroupMIDI::MidiNodeArriving(int32_t nodeId) {
    std::lock_guard lock(nodesMutex_);
    nodes_.insert(nodeId);
}

bool CEffectGroupMIDI::KnowsMidiNode(int32_t nodeId) const {
    std::lock_guard lock(nodesMutex_);
    return nodes_.count(nodeId) != 0;
}
