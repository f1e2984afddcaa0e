#include "toolkit/switches.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"

namespace toolkit {

// ---- CSwitchBase ----

CSwitchBase::CSwitchBase(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                         CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage),
      maxPositions(maxPositions) {
    setDefaultValue(0);
}

bool CSwitchBase::isTypeOf(std::string_view className) const {
    return className == "CSwitchBase" || CControl::isTypeOf(className);
}

int32_t CSwitchBase::frameIndex() const {
    if (subPixmaps <= 1) {
        return 0;
    }
    const auto index =
        static_cast<int32_t>(std::floor(getValueNormalized() * static_cast<float>(subPixmaps - 1) + 0.5f));
    return std::clamp(index, 0, subPixmaps - 1);
}

void CSwitchBase::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        context->drawBitmap(*bitmap, size, CPoint(offset.x, offset.y + heightOfOneImage * frameIndex()));
    }
    setDirty(false);
}

CMouseEventResult CSwitchBase::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) {
        return kMouseEventNotHandled;
    }
    coef = maxPositions > 0 ? zoneSize() / maxPositions : 0;
    beginEdit();
    if (checkDefaultValue(buttons)) {
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    return onMouseMoved(where, buttons);
}

CMouseEventResult CSwitchBase::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!isEditing() || (buttons & kLButton) == 0 || coef <= 0 || maxPositions < 1) {
        return isEditing() ? kMouseEventHandled : kMouseEventNotHandled;
    }
    // Zones by truncation; beyond the control the index runs past the ends and is clamped.
    const auto index = static_cast<int32_t>(positionAlong(where) / coef);
    const float norm = maxPositions > 1 ? static_cast<float>(index) / static_cast<float>(maxPositions - 1) : 0.f;
    setValue(minValue + norm * (maxValue - minValue));
    if (isDirty()) {
        valueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CSwitchBase::onMouseUp(CPoint&, const CButtonState&) {
    if (isEditing()) {
        endEdit();
    }
    return kMouseEventHandled;
}

int32_t CSwitchBase::onKeyDown(KeyCode& key) {
    int32_t step = 0;
    if (key.modifiers != 0 || !isStepKey(key, step) || maxPositions < 2) {
        return -1;
    }
    const float norm = getValueNormalized();
    int32_t index = static_cast<int32_t>(std::floor(norm * static_cast<float>(maxPositions - 1) + 0.5f)) + step;
    index = std::clamp(index, 0, maxPositions - 1);
    setValueNormalized(static_cast<float>(index) / static_cast<float>(maxPositions - 1));
    if (isDirty()) {
        beginEdit();
        valueChanged();
        endEdit();
        invalid();
    }
    return 1;
}

// ---- CHorizontalSwitch ----

CHorizontalSwitch::CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                                     CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background,
                                     const CPoint& offset)
    : CSwitchBase(size, listener, tag, subPixmaps, heightOfOneImage, maxPositions, background, offset) {}

bool CHorizontalSwitch::isTypeOf(std::string_view className) const {
    return className == "CHorizontalSwitch" || CSwitchBase::isTypeOf(className);
}

// The bitmap's width is cut into the zones (the view's width without a bitmap).
CCoord CHorizontalSwitch::zoneSize() const {
    return getBackground() != nullptr ? getBackground()->getWidth() : size.getWidth();
}

bool CHorizontalSwitch::isStepKey(const KeyCode& key, int32_t& step) const {
    step = key.virtualKey == kKeyLeft ? -1 : key.virtualKey == kKeyRight ? 1 : 0;
    return step != 0;
}

// ---- CVerticalSwitch ----

CVerticalSwitch::CVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                                 CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background,
                                 const CPoint& offset)
    : CSwitchBase(size, listener, tag, subPixmaps, heightOfOneImage, maxPositions, background, offset) {}

bool CVerticalSwitch::isTypeOf(std::string_view className) const {
    return className == "CVerticalSwitch" || CSwitchBase::isTypeOf(className);
}

CCoord CVerticalSwitch::zoneSize() const { return heightOfOneImage; }

bool CVerticalSwitch::isStepKey(const KeyCode& key, int32_t& step) const {
    step = key.virtualKey == kKeyUp ? -1 : key.virtualKey == kKeyDown ? 1 : 0;
    return step != 0;
}

// ---- CRockerSwitch ----

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                             CBitmap* background, const CPoint& offset, int32_t style)
    : CControl(size, listener, tag, background),
      offset(offset),
      heightOfOneImage(heightOfOneImage > 0 ? heightOfOneImage : size.getHeight()),
      style(style),
      clock([] {
          return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now().time_since_epoch())
                                           .count());
      }) {
    minValue = -1;
    maxValue = 1;
    value = 0;
}

bool CRockerSwitch::isTypeOf(std::string_view className) const {
    return className == "CRockerSwitch" || CControl::isTypeOf(className);
}

void CRockerSwitch::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        const float middle = (maxValue - minValue) / 2 + minValue;
        CCoord frame = 0;
        if (value == maxValue) {
            frame = 2;
        } else if (value == middle) {
            frame = 1;
        }
        context->drawBitmap(*bitmap, size, CPoint(offset.x, offset.y + heightOfOneImage * frame));
    }
    setDirty(false);
}

CMouseEventResult CRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) {
        return kMouseEventNotHandled;
    }
    entryValue = value;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!isEditing() || (buttons & kLButton) == 0) {
        return isEditing() ? kMouseEventHandled : kMouseEventNotHandled;
    }
    if (size.pointInsideInclusive(where)) {
        const bool vertical = (style & kVertical) != 0;
        const CCoord along = vertical ? where.y : where.x;
        const CCoord middle = vertical ? size.top + size.getHeight() / 2 : size.left + size.getWidth() / 2;
        setValue(along <= middle ? minValue : maxValue);
    } else {
        setValue(entryValue);
    }
    if (isDirty()) {
        valueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
    if (!isEditing()) {
        return kMouseEventHandled;
    }
    // Back to the centre without telling the listener: it last heard -1 or +1.
    setValue((maxValue - minValue) / 2 + minValue);
    if (isDirty()) {
        invalid();
    }
    endEdit();
    return kMouseEventHandled;
}

bool CRockerSwitch::onWheel(const CPoint&, float distance, const CButtonState&) {
    if (!getMouseEnabled()) {
        return false;
    }
    setValue(distance > 0 ? minValue : maxValue);
    if (isDirty()) {
        invalid();
        if (!wheelEditOpen) {
            wheelEditOpen = true;
            beginEdit();
        }
        valueChanged();
    }
    if (wheelEditOpen) {
        wheelReturnAt = clock() + kWheelReturnMs;
        setWantsIdle(true);
    }
    return true;
}

void CRockerSwitch::onIdle() {
    if (!wheelEditOpen || clock() < wheelReturnAt) {
        return;
    }
    wheelEditOpen = false;
    setWantsIdle(false);
    setValue((maxValue - minValue) / 2 + minValue);
    valueChanged();
    endEdit();
    setDirty();
}

int CRockerSwitch::sideOfKey(const KeyCode& key) const {
    if (key.modifiers != 0) {
        return 0;
    }
    const bool vertical = (style & kVertical) != 0;
    if (key.virtualKey == (vertical ? kKeyUp : kKeyLeft)) {
        return -1;
    }
    return key.virtualKey == (vertical ? kKeyDown : kKeyRight) ? 1 : 0;
}

int32_t CRockerSwitch::onKeyDown(KeyCode& key) {
    const int side = sideOfKey(key);
    if (side == 0) {
        return -1;
    }
    if (!isEditing()) {
        beginEdit();
    }
    setValue(side < 0 ? minValue : maxValue);
    if (isDirty()) {
        invalid();
    }
    valueChanged();
    return 1;
}

int32_t CRockerSwitch::onKeyUp(KeyCode& key) {
    if (sideOfKey(key) == 0) {
        return -1;
    }
    // Every key-down began an edit, so every matching key-up ends it (not only Left/Right).
    setValue((maxValue - minValue) / 2 + minValue);
    if (isDirty()) {
        invalid();
    }
    valueChanged();
    if (isEditing()) {
        endEdit();
    }
    return 1;
}

}  // namespace toolkit
