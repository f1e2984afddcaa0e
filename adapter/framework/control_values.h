// Host control values: signed 32-bit integers spanning a control's whole range lo..hi.
#pragma once

#include <cmath>
#include <cstdint>

inline constexpr double kControlValueSpan = 4294967295.0;
inline constexpr double kControlValueOffset = 2147483648.0;

// x is limited to lo..hi first; NaN reads as lo.
inline int32_t ToControlValue(double x, double lo, double hi) {
    if (!(x >= lo)) x = lo;
    if (x > hi) x = hi;
    const double fraction = hi > lo ? (x - lo) / (hi - lo) : 0.0;
    return static_cast<int32_t>(std::floor(fraction * kControlValueSpan - kControlValueOffset + 0.5));
}

inline double FromControlValue(int32_t value, double lo, double hi) {
    return lo + (hi - lo) * ((value + kControlValueOffset) / kControlValueSpan);
}
