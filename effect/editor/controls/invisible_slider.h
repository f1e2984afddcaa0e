// An invisible drag-and-wheel area laid over a printed legend or display. Dragging up
// or right raises the value (horizontal movement counts half): 1/1000 of the range per
// pixel, 1/4000 with Shift held at the press; Shift pressed or released during the drag
// switches to 1/5000 or 1/1000 without a jump.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/control.h"

namespace ruvane {

class CInvisibleSlider : public toolkit::CControl {
public:
    static constexpr float kPixelsPerRange = 1000.0f;
    static constexpr float kFinePixelsPerRangeAtPress = 4000.0f;
    static constexpr float kFinePixelsPerRangeDuringDrag = 5000.0f;
    static constexpr float kWheelStep = 0.005f;
    static constexpr float kFineWheelStep = 0.0003f;

    CInvisibleSlider(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag);

    bool isDragging() const { return dragging_; }

    void draw(toolkit::CDrawContext* context) override;
    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseMoved(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseUp(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    bool onWheel(const toolkit::CPoint& where, float distance, const toolkit::CButtonState& buttons) override;

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CInvisibleSlider"; }
    toolkit::CView* newCopy() const override;

private:
    float range() const { return getMax() - getMin(); }
    float clamped(float value) const;

    bool dragging_ = false;
    float scale_ = 0.0f;  // value per pixel
    float startValue_ = 0.0f;
    int32_t recordedButtons_ = 0;
    toolkit::CPoint dragOrigin_{};
};

}  // namespace ruvane
