// An 8-bit-per-channel colour with alpha.
#pragma once

#include <cstdint>

namespace toolkit {

struct CColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    constexpr bool operator==(const CColor&) const = default;
};

inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kRedCColor{255, 0, 0, 255};
inline constexpr CColor kGreyCColor{127, 127, 127, 255};
inline constexpr CColor kTransparentCColor{0, 0, 0, 0};

}  // namespace toolkit
