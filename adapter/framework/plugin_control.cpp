#include "adapter/framework/plugin_control.h"

#include <cmath>

#include "adapter/framework/control_values.h"
#include "adapter/framework/number_formatter.h"

CPluginControl::CPluginControl(std::string multiName, double minimum, double maximum)
    : multiName_(std::move(multiName)), minimum_(minimum), maximum_(maximum) {
    default_ = ToControlValue(minimum_);
    value_.store(default_);
}

void CPluginControl::SetDefaultValue(int32_t value) {
    default_ = value;
    StoreValue(value);
}

int32_t CPluginControl::ToControlValue(double x) const { return ::ToControlValue(x, minimum_, maximum_); }

double CPluginControl::FromControlValue(int32_t value) const {
    return ::FromControlValue(value, minimum_, maximum_);
}

double CPluginControl::FractionOf(int32_t value) const { return ::FromControlValue(value, 0.0, 1.0); }

std::string CPluginControl_Continuous::ValueText(int32_t value) const {
    return FormatNumber(FromControlValue(value), DisplayPrecision(), UnitLabel());
}

CPluginControl_Discrete::CPluginControl_Discrete(std::string multiName, double minimum, double maximum,
                                                 int32_t states)
    : CPluginControl(std::move(multiName), minimum, maximum), states_(states < 2 ? 2 : states) {}

int32_t CPluginControl_Discrete::StateOf(int32_t value) const {
    const auto state = static_cast<int32_t>(std::floor(FractionOf(value) * (states_ - 1) + 0.5));
    return state < 0 ? 0 : (state >= states_ ? states_ - 1 : state);
}

int32_t CPluginControl_Discrete::ValueOfState(int32_t state) const {
    return ::ToControlValue(static_cast<double>(state) / (states_ - 1), 0.0, 1.0);
}

std::string CPluginControl_Discrete::ValueText(int32_t value) const {
    const double step = (Maximum() - Minimum()) / (StateCount() - 1);
    return FormatNumber(Minimum() + step * StateOf(value), 0, UnitLabel());
}

CPluginControl_OnOff::CPluginControl_OnOff(std::string multiName, std::string onText, std::string offText)
    : CPluginControl_Discrete(std::move(multiName), 0.0, 1.0, 2),
      onText_(onText.substr(0, kMaxStateText)),
      offText_(offText.substr(0, kMaxStateText)) {}

std::string CPluginControl_OnOff::ValueText(int32_t value) const { return IsOn(value) ? onText_ : offText_; }
