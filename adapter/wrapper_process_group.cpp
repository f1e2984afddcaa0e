#include "adapter/wrapper_process_group.h"

#include <new>

#include "adapter/offline_process.h"
#include "adapter/rilo_process.h"
#include "vst/aeffect.h"

namespace {

static_assert(kManufacturerId == fourCharCode('Z', 'A', 'V', 'a'));
static_assert(kProductId == fourCharCode('R', 'V', '7', 'S'));
static_assert(kMonoTypeId == fourCharCode('R', 'v', '7', 's'));
static_assert(kMonoToStereoTypeId == fourCharCode('R', 'v', '7', 'x'));
static_assert(kStereoTypeId == fourCharCode('R', 'v', '7', 'm'));
static_assert(kOfflineTypeId == fourCharCode('R', 'v', '7', 'a'));

constexpr char kPlugInName[] = "Ruvane";
constexpr int32_t kPlugInNameFlags = 1;
constexpr char kManufacturerNames[] = "Orvanta\nZAV";
constexpr int32_t kGroupFeatureCode = 14;
constexpr int32_t kCategory = 16;
constexpr int32_t kTypeSettingKey = -1;
constexpr int32_t kTypeSettingValue = 6;
constexpr int32_t kMonoStem = 0;
constexpr int32_t kStereoStem = 1;
constexpr int32_t kNoThirdStem = 0;
constexpr int32_t kRealTimeFeatures[] = {8, 48};
constexpr int32_t kOfflineFeatures[] = {8, 2};

template <typename Type, std::size_t N>
std::unique_ptr<CEffectType> makeType(int32_t typeId, int32_t inputStem, int32_t outputStem,
                                      const int32_t (&features)[N], ProcessCreator creator) {
    auto type = std::make_unique<Type>(typeId, kProductId, kCategory);
    type->SetName(kPlugInName);
    type->SetSetting(kTypeSettingKey, kTypeSettingValue);
    type->DefineStems(inputStem, outputStem, kNoThirdStem);
    for (int32_t code : features) type->AddFeature(code);
    type->SetCreator(creator);
    return type;
}

}  // namespace

CWrapperProcessGroup::CWrapperProcessGroup(const CHostEngineLink& engine) : CEffectGroupMIDI(engine) {
    SetPlugInName(kPlugInName, kPlugInNameFlags);
    SetManufacturerName(kManufacturerNames);
    SetManufacturerID(kManufacturerId);
    SetGroupFeatureCode(kGroupFeatureCode);
}

void CWrapperProcessGroup::CreateEffectTypes() {
    AddEffectType(makeType<CEffectTypeRilo>(kMonoTypeId, kMonoStem, kMonoStem, kRealTimeFeatures, CreateRiloProcess));
    AddEffectType(makeType<CEffectTypeRilo>(kMonoToStereoTypeId, kMonoStem, kStereoStem, kRealTimeFeatures,
                                            CreateRiloProcess));
    AddEffectType(makeType<CEffectTypeRilo>(kStereoTypeId, kStereoStem, kStereoStem, kRealTimeFeatures,
                                            CreateRiloProcess));
    AddEffectType(makeType<CEffectTypeOL>(kOfflineTypeId, kMonoStem, kMonoStem, kOfflineFeatures,
                                          CreateOfflineProcess));
}

CEffectProcess* CreateRiloProcess(const CProcessContext& context) {
    return new (std::nothrow) CWrapperRiloProcess(context);
}

CEffectProcess* CreateOfflineProcess(const CProcessContext& context) {
    return new (std::nothrow) CWrapperOLPProcess(context);
}
