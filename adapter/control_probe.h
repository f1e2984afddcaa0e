// Building host controls: the master bypass, and for each effect parameter the control
// class whose display fits what the effect shows, found by probing the parameter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "adapter/framework/plugin_control.h"
#include "adapter/plugin_wrapper_interface.h"

inline constexpr int32_t kMasterBypassControl = 1;
inline constexpr int32_t kFirstParameterControl = 2;

std::unique_ptr<CPluginControl> MakeMasterBypassControl();

// "n: full name\nfirst 5\nfirst 3\n".
std::string ParameterMultiName(int32_t index, const std::string& name);

// A display with two decimals at most: cut three characters after the first ".".
std::string CutToTwoDecimals(const std::string& display);

// Probes parameter index of the wrapper's effect (it is restored afterwards) and makes
// its control.
std::unique_ptr<CPluginControl> MakeParameterControl(CPluginWrapperInterface& wrapper, int32_t index);
