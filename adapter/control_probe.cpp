#include "adapter/control_probe.h"

#include <cmath>

#include "adapter/vst_controls.h"

namespace {

constexpr char kMasterBypassNames[] = "Master Bypass\nMstr Byp\nMBYP";
constexpr float kProbeValues[] = {0.0f, 0.49f, 0.5f, 1.0f};

std::string display(CPluginWrapperInterface& wrapper, int32_t index, float value) {
    wrapper.SetParameter(index, value);
    std::string text;
    wrapper.GetParameterDisplay(index, text);
    return text;
}

}  // namespace

std::unique_ptr<CPluginControl> MakeMasterBypassControl() {
    auto bypass = std::make_unique<CPluginControl_OnOff>(kMasterBypassNames, "On", "Off");
    bypass->SetDefaultValue(bypass->ValueOfState(0));
    bypass->SetAutomatable(true);
    return bypass;
}

std::string ParameterMultiName(int32_t index, const std::string& name) {
    return std::to_string(index) + ": " + name + "\n" + name.substr(0, 5) + "\n" + name.substr(0, 3) + "\n";
}

std::string CutToTwoDecimals(const std::string& display) {
    const auto point = display.find('.');
    if (point == std::string::npos || point + 3 >= display.size()) return display;
    return display.substr(0, point + 3);
}

std::unique_ptr<CPluginControl> MakeParameterControl(CPluginWrapperInterface& wrapper, int32_t index) {
    std::string name, label;
    wrapper.GetParameterName(index, name);
    const std::string multiName = ParameterMultiName(index, name);
    const float current = wrapper.GetParameter(index);
    wrapper.GetParameterLabel(index, label);

    std::string shown[4];
    for (int i = 0; i < 4; ++i) shown[i] = CutToTwoDecimals(display(wrapper, index, kProbeValues[i]));
    wrapper.SetParameter(index, current);
    const std::string& d0 = shown[0];
    const std::string& d49 = shown[1];
    const std::string& d50 = shown[2];
    const std::string& d100 = shown[3];

    const double low = LeadingNumber(d0);
    const double mid = LeadingNumber(d50);
    const double high = LeadingNumber(d100);
    if (low < high && low + (high - low) * 0.5 == mid) {
        auto control = std::make_unique<CPluginControl_VST_linear>(multiName, index, low, high);
        control->SetDefaultValue(control->ToControlValue(current));
        control->SetAutomatable(true);
        control->SetUnitLabel(label);
        return control;
    }
    if (d100 == d50 && d0 == d49 && d100 != d0) {
        auto control = std::make_unique<CPluginControl_OnOff>(multiName, d100, d0);
        const double clamped = current >= 0.0f ? (current <= 1.0f ? current : 1.0) : 0.0;  // NaN reads 0
        control->SetDefaultValue(control->ValueOfState(static_cast<int32_t>(std::floor(clamped + 0.5))));
        control->SetAutomatable(true);
        return control;
    }
    auto control = std::make_unique<CPluginControl_VST_Learn>(multiName);
    control->SetDefaultValue(control->ToControlValue(current));
    control->SetAutomatable(true);
    for (int32_t k = 0; k < CPluginControl_VST_Learn::kEntryCount; ++k)
        control->SetEntry(k, display(wrapper, index, static_cast<float>(k) / (CPluginControl_VST_Learn::kEntryCount - 1)));
    wrapper.SetParameter(index, current);
    std::string learnedLabel;
    wrapper.GetParameterLabel(index, learnedLabel);
    if (!learnedLabel.empty()) control->SetUnitLabel(learnedLabel);
    return control;
}
