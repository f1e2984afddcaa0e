#include "adapter/vst_controls.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "adapter/framework/number_formatter.h"

namespace {
constexpr char kInfinityText[] = "oo dB";
}

double LeadingNumber(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    // Only digits count: "inf" and "nan" are words here.
    if (end == start || !std::isfinite(number)) return 0.0;
    return number;
}

bool WholeNumber(const std::string& text, double* number) {
    const char* start = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value)) return false;
    while (*end == ' ') ++end;
    if (*end != '\0') return false;
    *number = value;
    return true;
}

CPluginControl_VST_linear::CPluginControl_VST_linear(std::string multiName, int32_t parameter,
                                                     double displayMinimum, double displayMaximum)
    : CPluginControl_Continuous(std::move(multiName), 0.0, 1.0),
      parameter_(parameter),
      displayMinimum_(displayMinimum),
      displayMaximum_(displayMaximum) {
    SetDisplayPrecision(kParameterDisplayPrecision);
}

std::string CPluginControl_VST_linear::ValueText(int32_t value) const {
    const double shown = displayMinimum_ + FractionOf(value) * (displayMaximum_ - displayMinimum_);
    return FormatNumber(shown, DisplayPrecision(), UnitLabel());
}

CPluginControl_VST_Learn::CPluginControl_VST_Learn(std::string multiName)
    : CPluginControl_Continuous(std::move(multiName), 0.0, 1.0) {
    SetDisplayPrecision(kParameterDisplayPrecision);
}

std::string CPluginControl_VST_Learn::TableText(const std::string& display) {
    std::string text = display;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < ' ' || c > 'z') {
            text.replace(i, std::string::npos, kInfinityText);
            break;
        }
    }
    if (text.size() > kMaxEntryText) text.resize(kMaxEntryText);
    return text;
}

void CPluginControl_VST_Learn::SetEntry(int32_t k, const std::string& display) {
    if (k < 0 || static_cast<std::size_t>(k) >= kMaxEntries) return;
    const std::string text = TableText(display);
    auto& entry = entries_[static_cast<std::size_t>(k)];
    entry.fill('\0');
    std::memcpy(entry.data(), text.data(), text.size());
}

std::string CPluginControl_VST_Learn::Entry(int32_t k) const {
    if (k < 0 || static_cast<std::size_t>(k) >= kMaxEntries) return {};
    return entries_[static_cast<std::size_t>(k)].data();
}

int32_t CPluginControl_VST_Learn::EntryOfFraction(double fraction) {
    const double scaled = std::floor(fraction * (kEntryCount - 1));
    if (!(scaled > 0.0)) return 0;
    return scaled >= kEntryCount - 1 ? kEntryCount - 1 : static_cast<int32_t>(scaled);
}

std::string CPluginControl_VST_Learn::ValueText(int32_t value) const {
    const std::string entry = Entry(EntryOfFraction(FractionOf(value)));
    double number = 0.0;
    if (WholeNumber(entry, &number)) return FormatNumber(number, DisplayPrecision(), UnitLabel());
    return entry;
}
