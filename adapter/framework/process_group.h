// A module's plug-in group: its names, manufacturer and the effect types it registers,
// and the live processes made through those types' creators.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "adapter/framework/effect_type.h"
#include "adapter/framework/process.h"

class CHostEngineLink;

class CProcessGroup {
public:
    explicit CProcessGroup(const CHostEngineLink& engine);
    virtual ~CProcessGroup();  // destroys processes the host left behind
    CProcessGroup(const CProcessGroup&) = delete;
    CProcessGroup& operator=(const CProcessGroup&) = delete;

    // Announces the group to the host and makes its types; CHostError when the host
    // refuses.
    void Initialize();

    void SetPlugInName(std::string name, int32_t flags) { name_ = std::move(name); nameFlags_ = flags; }
    void SetManufacturerName(std::string names) { manufacturer_ = std::move(names); }
    void SetManufacturerID(int32_t id) { manufacturerId_ = id; }
    void SetGroupFeatureCode(int32_t code) { featureCode_ = code; }

    const std::string& PlugInName() const { return name_; }
    int32_t TypeCount() const { return static_cast<int32_t>(types_.size()); }
    const CEffectType* TypeAt(int32_t index) const;
    void Describe(HPGroupInfo& info) const;
    const CHostEngineLink& Engine() const { return engine_; }
    // A plug-in of the group asks for idle time: passed on to the host engine.
    void RequestIdle() const;

    // A new process of type index; CHostError for an unknown type or a failed creator.
    CEffectProcess* CreateProcess(int32_t typeIndex, uint64_t hostInstanceId, double sampleRate);
    // Null unless process is one of this group's live processes.
    CEffectProcess* FindProcess(const void* process) const;
    void DestroyProcess(CEffectProcess* process);

protected:
    virtual void CreateEffectTypes() = 0;
    void AddEffectType(std::unique_ptr<CEffectType> type);

private:
    const CHostEngineLink& engine_;
    std::string name_;
    int32_t nameFlags_ = 0;
    std::string manufacturer_;
    int32_t manufacturerId_ = 0;
    int32_t featureCode_ = 0;
    std::vector<std::unique_ptr<CEffectType>> types_;
    mutable std::mutex processesMutex_;
    std::set<CEffectProcess*> processes_;
};

class CEffectGroup : public CProcessGroup {
public:
    using CProcessGroup::CProcessGroup;
};

// A group whose processes take MIDI: it keeps the ids of its instances' MIDI nodes.
class CEffectGroupMIDI : public CEffectGroup {
public:
    using CEffectGroup::CEffectGroup;
    void MidiNodeLeaving(int32_t nodeId);
    void MidiNodeArriving(int32_t nodeId);
    bool KnowsMidiNode(int32_t nodeId) const;

private:
    mutable std::mutex nodesMutex_;
    std::multiset<int32_t> nodes_;
};
