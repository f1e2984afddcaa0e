// The module's plug-in group: "Ruvane" by Orvanta, with three real-time types and one
// offline type, all backed by the same effect library.
#pragma once

#include "adapter/framework/process_group.h"

inline constexpr int32_t kManufacturerId = 0x5a415661;  // 'ZAVa'
inline constexpr int32_t kProductId = 0x52563753;       // 'RV7S'
inline constexpr int32_t kMonoTypeId = 0x52763773;      // 'Rv7s'
inline constexpr int32_t kMonoToStereoTypeId = 0x52763778;  // 'Rv7x'
inline constexpr int32_t kStereoTypeId = 0x5276376d;    // 'Rv7m'
inline constexpr int32_t kOfflineTypeId = 0x52763761;   // 'Rv7a'

class CWrapperProcessGroup : public CEffectGroupMIDI {
public:
    explicit CWrapperProcessGroup(const CHostEngineLink& engine);

protected:
    void CreateEffectTypes() override;
};

CEffectProcess* CreateRiloProcess(const CProcessContext& context);
CEffectProcess* CreateOfflineProcess(const CProcessContext& context);
