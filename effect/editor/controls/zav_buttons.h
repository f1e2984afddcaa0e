// The effect's own two-state button and momentary step button.
#pragma once

#include <cstdint>

#include "toolkit/buttons.h"

namespace ruvane {

// A two-frame toggle that writes switch-centre values: off is 0.25, on is 0.75, so the
// effect reads it as position 0 or 1 of two. Acts on the press, inside one edit.
class ZAVOnOffButton : public toolkit::COnOffButton {
public:
    ZAVOnOffButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                   toolkit::CBitmap* bitmap);

    void draw(toolkit::CDrawContext* context) override;
    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
};

// A momentary button whose press steps something by 1, 10 (Shift) or 100 (Control).
// The listener is told once on the press, inside one edit; the release only redraws.
class ZAVKickButton : public toolkit::CKickButton {
public:
    static constexpr float kStep = 1.0f;
    static constexpr float kShiftStep = 10.0f;
    static constexpr float kControlStep = 100.0f;

    ZAVKickButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, int32_t frameHeight,
                  toolkit::CBitmap* bitmap, const toolkit::CPoint& offset = {});

    // The step amount of the last press.
    float getStep() const { return step_; }

    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseMoved(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseUp(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

private:
    float step_ = kStep;
};

}  // namespace ruvane
