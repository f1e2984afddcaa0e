#include "toolkit/buttons.h"

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"

namespace toolkit {

// ---- CKickButton ----

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                         CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      heightOfOneImage(heightOfOneImage > 0 ? heightOfOneImage : size.getHeight()) {}

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                         const CPoint& offset)
    : CKickButton(size, listener, tag, size.getHeight(), background, offset) {}

bool CKickButton::isTypeOf(std::string_view className) const {
    return className == "CKickButton" || CControl::isTypeOf(className);
}

void CKickButton::draw(CDrawContext* context) {
    bounceValue();
    if (CBitmap* bitmap = getBackground()) {
        const CPoint source = value == maxValue ? CPoint(offset.x, offset.y + heightOfOneImage) : offset;
        context->drawBitmap(*bitmap, size, source);
    }
    setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) {
        return kMouseEventNotHandled;
    }
    entryValue = value;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!isEditing()) {
        return kMouseEventNotHandled;
    }
    if ((buttons & kLButton) != 0) {
        setValue(size.pointInsideInclusive(where) ? maxValue : minValue);
        if (isDirty()) {
            invalid();
        }
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const CButtonState&) {
    if (!isEditing()) {
        return kMouseEventHandled;
    }
    if (value > 0) {
        valueChanged();
    }
    setValue(minValue);
    valueChanged();
    if (isDirty()) {
        invalid();
    }
    endEdit();
    return kMouseEventHandled;
}

int32_t CKickButton::onKeyDown(KeyCode& key) {
    if (key.modifiers != 0 || key.virtualKey != kKeyReturn) {
        return -1;
    }
    if (value != maxValue) {
        beginEdit();
        setValue(maxValue);
        invalid();
        valueChanged();
    }
    return 1;
}

int32_t CKickButton::onKeyUp(KeyCode& key) {
    if (key.modifiers != 0 || key.virtualKey != kKeyReturn) {
        return -1;
    }
    if (isEditing()) {
        setValue(minValue);
        invalid();
        valueChanged();
        endEdit();
    }
    return 1;
}

// ---- COnOffButton ----

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                           int32_t style)
    : CControl(size, listener, tag, background), style(style) {}

bool COnOffButton::isTypeOf(std::string_view className) const {
    return className == "COnOffButton" || CControl::isTypeOf(className);
}

void COnOffButton::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        // Two states stacked: the lower half is "on".
        const CCoord top = value == maxValue ? bitmap->getHeight() / 2 : 0;
        context->drawBitmap(*bitmap, size, CPoint(0, top));
    }
    setDirty(false);
}

void COnOffButton::toggle() {
    setValue(value == maxValue ? minValue : maxValue);
    invalid();
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) {
        return kMouseEventNotHandled;
    }
    beginEdit();
    return kMouseEventHandled;
}

CMouseEventResult COnOffButton::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventHandled; }

CMouseEventResult COnOffButton::onMouseUp(CPoint& where, const CButtonState&) {
    if (!isEditing()) {
        return kMouseEventHandled;
    }
    if (size.pointInside(where)) {
        toggle();
        valueChanged();
    }
    endEdit();
    return kMouseEventHandled;
}

int32_t COnOffButton::onKeyDown(KeyCode& key) {
    if (key.modifiers != 0 || key.virtualKey != kKeyReturn) {
        return -1;
    }
    toggle();
    beginEdit();
    valueChanged();
    endEdit();
    return 1;
}

}  // namespace toolkit
