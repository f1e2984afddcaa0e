#include "vst/vst_strings.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kFloatWidth = 8;
constexpr char kHuge[] = "Huge!";

int integerDigits(double magnitude) {
    int digits = 1;
    for (double limit = 10.0; magnitude >= limit && digits < 16; limit *= 10.0) ++digits;
    return digits;
}

}  // namespace

void vst_strncpy(char* text, const char* source, int maxLen) {
    if (text == nullptr || maxLen < 0) return;
    const size_t length = std::min(std::strlen(source), static_cast<size_t>(maxLen));
    std::memcpy(text, source, length);
    text[length] = '\0';
}

void float2string(float value, char* text, int maxLen) {
    const double v = value;
    if (!std::isfinite(v) || v > 99999999.0 || v < -9999999.0) {
        vst_strncpy(text, kHuge, maxLen);
        return;
    }
    const bool negative = std::signbit(v) && v != 0.0;
    const double magnitude = std::fabs(v);
    int decimals = kFloatWidth - (negative ? 1 : 0) - integerDigits(magnitude) - 1;
    char buffer[32];
    for (;;) {
        if (decimals <= 0) {
            std::snprintf(buffer, sizeof buffer, "%s%.0f", negative ? "-" : "", magnitude);
            break;
        }
        std::snprintf(buffer, sizeof buffer, "%s%.*f", negative ? "-" : "", decimals, magnitude);
        // Rounding can carry into a new integer digit (9.9999999 -> 10.000000): give up a place.
        if (static_cast<int>(std::strlen(buffer)) <= kFloatWidth) break;
        --decimals;
    }
    vst_strncpy(text, buffer, maxLen);
}

void dB2string(float value, char* text, int maxLen) {
    if (!(value > 0.0f)) {
        vst_strncpy(text, "-oo", maxLen);
        return;
    }
    float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text, maxLen);
}

void int2string(int value, char* text, int maxLen) {
    if (value >= 100000000) {
        vst_strncpy(text, kHuge, maxLen);
        return;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    vst_strncpy(text, buffer, maxLen);
}
