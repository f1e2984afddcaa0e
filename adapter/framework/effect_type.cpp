#include "adapter/framework/effect_type.h"

#include <algorithm>
#include <cstring>

#include "adapter/framework/host_error.h"

int32_t ChannelsOfStem(int32_t stem) {
    switch (stem) {
        case 0: return 1;
        case 1: return 2;
        case 2: return 3;
        case 3:
        case 4: return 4;
        case 5: return 5;
        case 6:
        case 7: return 6;
        case 8:
        case 9: return 7;
        case 10: return 8;
        default: throw CHostError(kHPErrorFramework);
    }
}

CEffectType::CEffectType(int32_t typeId, int32_t productId, int32_t kind, int32_t category)
    : typeId_(typeId), productId_(productId), kind_(kind), category_(category) {}

int32_t CEffectType::Setting(int32_t key) const {
    auto found = settings_.find(key);
    return found == settings_.end() ? 0 : found->second;
}

void CEffectType::DefineStems(int32_t inputStem, int32_t outputStem, int32_t thirdStem) {
    inputChannels_ = ChannelsOfStem(inputStem);
    outputChannels_ = ChannelsOfStem(outputStem);
    inputStem_ = inputStem;
    outputStem_ = outputStem;
    thirdStem_ = thirdStem;
}

void CEffectType::AddFeature(int32_t code) {
    features_.insert(code);
    if (code == 41) features_.insert(CompanionOfFeature41());
}

void CEffectType::Describe(HPTypeInfo& info) const {
    info = HPTypeInfo{};
    std::strncpy(info.name, name_.c_str(), sizeof info.name - 1);
    info.typeId = typeId_;
    info.productId = productId_;
    info.kind = kind_;
    info.category = category_;
    info.inputStem = inputStem_;
    info.outputStem = outputStem_;
    info.inputChannels = inputChannels_;
    info.outputChannels = outputChannels_;
    info.typeSetting = Setting(-1);
    info.featureCount = static_cast<int32_t>(std::min<std::size_t>(features_.size(), kHPMaxFeatureCodes));
    std::copy_n(features_.begin(), info.featureCount, info.features);
}
