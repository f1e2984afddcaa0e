#include "effect/editor/controls/invisible_slider.h"

#include <algorithm>
#include <cmath>

namespace ruvane {

using namespace toolkit;

CInvisibleSlider::CInvisibleSlider(const CRect& size, CControlListener* listener, int32_t tag)
    : CControl(size, listener, tag) {}

void CInvisibleSlider::draw(CDrawContext*) { setDirty(false); }

float CInvisibleSlider::clamped(float value) const {
    if (std::isnan(value)) return getMin();
    return std::clamp(value, getMin(), getMax());
}

CMouseEventResult CInvisibleSlider::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    dragging_ = true;
    beginEdit();
    startValue_ = getValue();
    recordedButtons_ = buttons.value();
    dragOrigin_ = where;
    scale_ = range() / ((buttons & kShift) ? kFinePixelsPerRangeAtPress : kPixelsPerRange);
    return onMouseMoved(where, buttons);
}

CMouseEventResult CInvisibleSlider::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    // Only a drag that this control started moves it (hover moves carry no button).
    if (!(buttons & kLButton) || !dragging_) return kMouseEventNotHandled;
    const float distance =
        static_cast<float>((where.x - dragOrigin_.x) / 2.0 + (dragOrigin_.y - where.y));
    if (buttons.value() != recordedButtons_) {
        const float newScale = range() / ((buttons & kShift) ? kFinePixelsPerRangeDuringDrag : kPixelsPerRange);
        // Keep the value where it is at this instant; only later movement uses the new scale.
        startValue_ += distance * (scale_ - newScale);
        scale_ = newScale;
        recordedButtons_ = buttons.value();
    }
    setValue(clamped(startValue_ + scale_ * distance));
    invalid();
    valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CInvisibleSlider::onMouseUp(CPoint&, const CButtonState&) {
    // A release without a press of ours would close an edit we never opened.
    if (dragging_) endEdit();
    dragging_ = false;
    return kMouseEventHandled;
}

bool CInvisibleSlider::onWheel(const CPoint&, float distance, const CButtonState& buttons) {
    const float step = (buttons & kShift) ? kFineWheelStep : kWheelStep;
    setValue(clamped(getValue() + distance * step));
    if (getListener() != nullptr) {
        beginEdit();
        valueChanged();
        endEdit();
    }
    return true;
}

bool CInvisibleSlider::isTypeOf(std::string_view className) const {
    return className == "CInvisibleSlider" || CControl::isTypeOf(className);
}

CView* CInvisibleSlider::newCopy() const {
    auto* copy = new CInvisibleSlider(*this);
    copy->dragging_ = false;  // no press is in progress on a fresh copy, so it has no edit to close
    return copy;
}

}  // namespace ruvane
