// A font request: family name (resolved through fontconfig), size in 1x pixels, style.
#pragma once

#include <string>

#include "toolkit/geometry.h"

namespace toolkit {

enum CTxtFace : int { kNormalFace = 0, kBoldFace = 1, kItalicFace = 2 };

struct CFontDesc {
    std::string name = "Arial";
    CCoord size = 12;
    int style = kNormalFace;

    bool operator==(const CFontDesc&) const = default;
};

}  // namespace toolkit
