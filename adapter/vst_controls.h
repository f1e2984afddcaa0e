// Host controls for effect parameters: a linear number between two display limits, or
// a table of display texts learned from the effect.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "adapter/framework/plugin_control.h"

inline constexpr double kParameterStep = 0.01;
inline constexpr int kParameterDisplayPrecision = 2;

// Shows low + fraction × (high − low) with the unit label.
class CPluginControl_VST_linear : public CPluginControl_Continuous {
public:
    CPluginControl_VST_linear(std::string multiName, int32_t parameter, double displayMinimum, double displayMaximum);
    const char* ClassName() const override { return "CPluginControl_VST_linear"; }
    std::string ValueText(int32_t value) const override;
    int32_t Parameter() const { return parameter_; }
    double DisplayMinimum() const override { return displayMinimum_; }
    double DisplayMaximum() const override { return displayMaximum_; }
    int32_t StepCount() const { return kStepCount; }

private:
    static constexpr int32_t kStepCount = 100;  // 1 / kParameterStep
    int32_t parameter_;
    double displayMinimum_;
    double displayMaximum_;
};

// Shows the text the effect displayed at the nearest hundredth below the value.
class CPluginControl_VST_Learn : public CPluginControl_Continuous {
public:
    static constexpr int32_t kEntryCount = 101;  // (1 − 0) / kParameterStep + 1
    static constexpr std::size_t kMaxEntries = 256;
    static constexpr std::size_t kEntryBytes = 16;
    static constexpr std::size_t kMaxEntryText = 8;

    explicit CPluginControl_VST_Learn(std::string multiName);
    const char* ClassName() const override { return "CPluginControl_VST_Learn"; }
    std::string ValueText(int32_t value) const override;

    // Stores the effect's display for entry k, made fit for the table.
    void SetEntry(int32_t k, const std::string& display);
    std::string Entry(int32_t k) const;
    static int32_t EntryOfFraction(double fraction);
    // A display as the table keeps it: from the first character outside " ".."z" on it
    // reads "oo dB" (the effect's infinity sign), and it is cut to 8 characters.
    static std::string TableText(const std::string& display);

private:
    std::array<std::array<char, kEntryBytes>, kMaxEntries> entries_{};
};

// The number a display text starts with; 0 when it starts with none.
double LeadingNumber(const std::string& text);
// True, and the number, when the whole text is one number.
bool WholeNumber(const std::string& text, double* number);
