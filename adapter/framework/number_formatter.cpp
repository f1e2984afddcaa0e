#include "adapter/framework/number_formatter.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr int kMaxPrecision = 9;
}

std::string FormatNumber(double value, int precision, const std::string& unit) {
    if (precision < 0) precision = 0;
    if (precision > kMaxPrecision) precision = kMaxPrecision;
    char number[64];
    if (!std::isfinite(value))
        std::snprintf(number, sizeof number, "%s", std::isnan(value) ? "?" : (value < 0 ? "-inf" : "inf"));
    else
        std::snprintf(number, sizeof number, "%.*f", precision, value);
    std::string text = number;
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);  // "-0.00" reads as "0.00"
    if (!unit.empty()) text += " " + unit;
    return text;
}
