// One plug-in type of a group: a channel layout and a processing kind, with the creator
// that makes the process for a new instance.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "hostplatform/plugin_interface.h"

class CEffectProcess;
class CProcessGroup;
struct CProcessContext;

using ProcessCreator = CEffectProcess* (*)(const CProcessContext& context);

// Channel count of a stem code; CHostError(kHPErrorFramework) for an unknown code.
int32_t ChannelsOfStem(int32_t stem);

class CEffectType {
public:
    CEffectType(int32_t typeId, int32_t productId, int32_t kind, int32_t category);
    virtual ~CEffectType() = default;

    void SetName(std::string name) { name_ = std::move(name); }
    void SetSetting(int32_t key, int32_t value) { settings_[key] = value; }
    void DefineStems(int32_t inputStem, int32_t outputStem, int32_t thirdStem);
    void AddFeature(int32_t code);
    void SetCreator(ProcessCreator creator) { creator_ = creator; }
    void SetGroup(CProcessGroup* group) { group_ = group; }

    const std::string& Name() const { return name_; }
    int32_t TypeId() const { return typeId_; }
    int32_t ProductId() const { return productId_; }
    int32_t Kind() const { return kind_; }
    int32_t Category() const { return category_; }
    int32_t Setting(int32_t key) const;
    int32_t InputStem() const { return inputStem_; }
    int32_t OutputStem() const { return outputStem_; }
    int32_t InputChannels() const { return inputChannels_; }
    int32_t OutputChannels() const { return outputChannels_; }
    const std::set<int32_t>& Features() const { return features_; }
    ProcessCreator Creator() const { return creator_; }
    CProcessGroup* Group() const { return group_; }

    void Describe(HPTypeInfo& info) const;

protected:
    // The code that comes with feature 41 for this kind of type.
    virtual int32_t CompanionOfFeature41() const { return 30; }

private:
    int32_t typeId_, productId_, kind_, category_;
    std::string name_;
    std::map<int32_t, int32_t> settings_;
    int32_t inputStem_ = 0, outputStem_ = 0, thirdStem_ = 0;
    int32_t inputChannels_ = 1, outputChannels_ = 1;
    std::set<int32_t> features_;  // ascending, each once
    ProcessCreator creator_ = nullptr;
    CProcessGroup* group_ = nullptr;
};

class CEffectTypeRilo : public CEffectType {
public:
    CEffectTypeRilo(int32_t typeId, int32_t productId, int32_t category)
        : CEffectType(typeId, productId, kHPKindRealTime, category) {}

protected:
    int32_t CompanionOfFeature41() const override { return 38; }
};

class CEffectTypeOL : public CEffectType {
public:
    CEffectTypeOL(int32_t typeId, int32_t productId, int32_t category)
        : CEffectType(typeId, productId, kHPKindOffline, category) {}
};
