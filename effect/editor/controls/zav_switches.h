// The effect's multi-position switches. Both show frame floor(n x) of their film
// strip, matching how the effect reads a switch value, rather than the stock rounding.
#pragma once

#include <cstdint>

#include "toolkit/switches.h"

namespace ruvane {

// Horizontal switch: the stock mouse handling (click or drag across it picks one of
// the positions, written as k / (n - 1)).
class ZAVSwitch : public toolkit::CHorizontalSwitch {
public:
    ZAVSwitch(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, int32_t frameCount,
              int32_t frameHeight, int32_t positions, toolkit::CBitmap* bitmap, const toolkit::CPoint& offset = {});

    void draw(toolkit::CDrawContext* context) override;
};

// Vertical switch cut into equal bands from the top; a click picks band i and writes
// i / positions (0, 0.2 ... 0.8 for five), inside one edit, with no drag.
class ZAVSwitchVert : public toolkit::CVerticalSwitch {
public:
    ZAVSwitchVert(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, int32_t frameCount,
                  int32_t frameHeight, int32_t positions, toolkit::CBitmap* bitmap,
                  const toolkit::CPoint& offset = {});

    int32_t getPositions() const { return positions_; }

    void draw(toolkit::CDrawContext* context) override;
    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

private:
    int32_t positions_;
};

}  // namespace ruvane
