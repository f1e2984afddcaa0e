// Host controls of a process: each has a multi-name (full, short and shortest name,
// newline-separated), a default, an automatable flag, a display precision and a unit
// label, and shows its current value as text.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "hostplatform/plugin_interface.h"

class CPluginControl {
public:
    CPluginControl(std::string multiName, double minimum, double maximum);
    virtual ~CPluginControl() = default;
    CPluginControl(const CPluginControl&) = delete;
    CPluginControl& operator=(const CPluginControl&) = delete;

    const std::string& MultiName() const { return multiName_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    // The numbers the ends of the range show as; the range itself unless a control knows better.
    virtual double DisplayMinimum() const { return minimum_; }
    virtual double DisplayMaximum() const { return maximum_; }

    void SetDefaultValue(int32_t value);  // also the current value
    int32_t DefaultValue() const { return default_; }
    void SetAutomatable(bool automatable) { automatable_ = automatable; }
    bool IsAutomatable() const { return automatable_; }
    void SetDisplayPrecision(int precision) { precision_ = precision; }
    int DisplayPrecision() const { return precision_; }
    void SetUnitLabel(std::string unit) { unit_ = std::move(unit); }
    const std::string& UnitLabel() const { return unit_; }

    // The current control value; read and written from any thread.
    int32_t Value() const { return value_.load(std::memory_order_relaxed); }
    void StoreValue(int32_t value) { value_.store(value, std::memory_order_relaxed); }

    int32_t ToControlValue(double x) const;
    double FromControlValue(int32_t value) const;
    double FractionOf(int32_t value) const;  // 0..1 over the whole range

    virtual int32_t Kind() const = 0;
    virtual int32_t StateCount() const { return 0; }
    virtual const char* ClassName() const = 0;
    virtual std::string ValueText(int32_t value) const = 0;

private:
    std::string multiName_;
    double minimum_;
    double maximum_;
    int32_t default_ = 0;
    bool automatable_ = false;
    int precision_ = 2;
    std::string unit_;
    std::atomic<int32_t> value_{0};
};

// A value anywhere between minimum and maximum.
class CPluginControl_Continuous : public CPluginControl {
public:
    using CPluginControl::CPluginControl;
    int32_t Kind() const override { return kHPControlContinuous; }
    const char* ClassName() const override { return "CPluginControl_Continuous"; }
    std::string ValueText(int32_t value) const override;
};

// One of a count of states spread evenly over minimum .. maximum.
class CPluginControl_Discrete : public CPluginControl {
public:
    CPluginControl_Discrete(std::string multiName, double minimum, double maximum, int32_t states);
    int32_t Kind() const override { return kHPControlDiscrete; }
    int32_t StateCount() const override { return states_; }
    const char* ClassName() const override { return "CPluginControl_Discrete"; }
    std::string ValueText(int32_t value) const override;
    int32_t StateOf(int32_t value) const;
    int32_t ValueOfState(int32_t state) const;

private:
    int32_t states_;
};

// Two states with a text each ("On" and "Off" unless given; at most 255 characters).
class CPluginControl_OnOff : public CPluginControl_Discrete {
public:
    static constexpr std::size_t kMaxStateText = 255;
    CPluginControl_OnOff(std::string multiName, std::string onText = "On", std::string offText = "Off");
    const char* ClassName() const override { return "CPluginControl_OnOff"; }
    std::string ValueText(int32_t value) const override;
    bool IsOn(int32_t value) const { return StateOf(value) == 1; }
    const std::string& OnText() const { return onText_; }
    const std::string& OffText() const { return offText_; }

private:
    std::string onText_;
    std::string offText_;
};
