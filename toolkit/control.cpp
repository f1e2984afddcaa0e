#include "toolkit/control.h"

#include <algorithm>

#include "toolkit/frame.h"

namespace toolkit {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), tag(tag), listener(listener) {
    setBackground(background);
    setTransparency(false);
    setMouseEnabled(true);
    dirty = false;
    oldValue = 1;  // differs from the value: a new control is drawn at the first idle
}

CControl::CControl(const CControl& other)
    : CView(other),
      value(other.value),
      minValue(other.minValue),
      maxValue(other.maxValue),
      defaultValue(other.defaultValue),
      wheelInc(other.wheelInc),
      oldValue(other.oldValue),
      tag(other.tag),
      listener(other.listener),
      backOffset(other.backOffset) {}

void CControl::setValue(float newValue) {
    // Written so that a NaN lands on min instead of staying NaN.
    value = newValue > minValue ? std::min(newValue, maxValue) : minValue;
}

void CControl::setMin(float newMin) {
    minValue = newMin;
    bounceValue();
}

void CControl::setMax(float newMax) {
    maxValue = newMax;
    bounceValue();
}

void CControl::setTag(int32_t newTag) {
    if (listener != nullptr) {
        listener->controlTagWillChange(this);
    }
    tag = newTag;
    if (listener != nullptr) {
        listener->controlTagDidChange(this);
    }
}

void CControl::beginEdit() {
    if (++editCount != 1) {
        return;
    }
    if (listener != nullptr) {
        listener->controlBeginEdit(this);
    }
    if (CFrame* frame = getFrame()) {
        frame->beginEdit(tag);
    }
}

void CControl::endEdit() {
    if (editCount == 0) {
        return;  // an unmatched end is ignored
    }
    if (--editCount != 0) {
        return;
    }
    // The host hears of the end before the listener (the reverse of beginEdit).
    if (CFrame* frame = getFrame()) {
        frame->endEdit(tag);
    }
    if (listener != nullptr) {
        listener->controlEndEdit(this);
    }
}

void CControl::valueChanged() {
    if (listener != nullptr) {
        listener->valueChanged(this);
    }
}

bool CControl::checkDefaultValue(CButtonState buttons) {
    if (!buttons.isLeftButton() || buttons.getModifierState() != kDefaultValueModifier) {
        return false;
    }
    if (getValue() != getDefaultValue()) {
        beginEdit();
        setValue(getDefaultValue());
        valueChanged();
        endEdit();
    }
    return true;
}

void CControl::bounceValue() { setValue(value); }

float CControl::getValueNormalized() const {
    const float range = maxValue - minValue;
    return range == 0 ? 0.f : (value - minValue) / range;
}

void CControl::setValueNormalized(float normalized) {
    normalized = normalized > 0.f ? std::min(normalized, 1.f) : 0.f;
    setValue(minValue + normalized * (maxValue - minValue));
}

void CControl::setDirty(bool state) {
    CView::setDirty(state);
    if (state) {
        oldValue = value == -1.f ? 0.f : -1.f;
    } else {
        oldValue = value;
    }
}

bool CControl::isDirty() const { return oldValue != value || CView::isDirty(); }

bool CControl::isTypeOf(std::string_view className) const {
    return className == "CControl" || CView::isTypeOf(className);
}

}  // namespace toolkit
