#include "effect/editor/controls/preset_panel_buttons.h"

#include "effect/editor/controls/film_strip.h"

namespace ruvane {

using namespace toolkit;

namespace {

constexpr int32_t kIdleFrame = 0;
constexpr int32_t kHoverFrame = 1;
constexpr int32_t kPressedFrame = 2;
constexpr int32_t kToggleFrames = 3;
constexpr int32_t kRockerHoverLeftFrame = 1;
constexpr int32_t kRockerHoverRightFrame = 2;
constexpr int32_t kRockerPressedLeftFrame = 3;
constexpr int32_t kRockerPressedRightFrame = 4;

}  // namespace

// ---- CPSKickButton

CPSKickButton::CPSKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord frameHeight,
                             CBitmap* bitmap, const CPoint& offset, bool doubleClickOnly)
    : CKickButton(size, listener, tag, frameHeight, bitmap, offset),
      doubleClickOnly_(doubleClickOnly) {}

int32_t CPSKickButton::frameToShow() const {
    if (getValue() != 0.0f) return kPressedFrame;
    return hovered_ ? kHoverFrame : kIdleFrame;
}

void CPSKickButton::draw(CDrawContext* context) {
    drawFilmFrame(context, getBackground(), getViewSize(), heightOfOneImage, frameToShow(),
                  offset + getBackOffset());
    setDirty(false);
}

CMouseEventResult CPSKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (doubleClickOnly_ && !buttons.isDoubleClick()) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    setValue(doubleClickOnly_ && (buttons & kControl) ? kControlValue : 1.0f);
    valueChanged();
    invalid();
    return kMouseEventHandled;
}

// The pressed frame stays until the release, wherever the pointer goes.
CMouseEventResult CPSKickButton::onMouseMoved(CPoint&, const CButtonState& buttons) {
    return (buttons & kLButton) ? kMouseEventHandled : kMouseEventNotHandled;
}

CMouseEventResult CPSKickButton::onMouseUp(CPoint&, const CButtonState&) {
    setValue(0.0f);
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseEntered(CPoint&, const CButtonState&) {
    hovered_ = true;
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseExited(CPoint&, const CButtonState&) {
    hovered_ = false;
    invalid();
    return kMouseEventHandled;
}

// ---- CPSOnOffButton

CPSOnOffButton::CPSOnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap)
    : COnOffButton(size, listener, tag, bitmap) {}

int32_t CPSOnOffButton::frameToShow() const {
    if (getValue() == 1.0f) return kPressedFrame;
    return hovered_ && getValue() == 0.0f ? kHoverFrame : kIdleFrame;
}

void CPSOnOffButton::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground())
        drawFilmFrame(context, bitmap, getViewSize(), bitmap->getHeight() / kToggleFrames, frameToShow(),
                      getBackOffset());
    setDirty(false);
}

CMouseEventResult CPSOnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(1.0f - getValue());
    valueChanged();
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CPSOnOffButton::onMouseEntered(CPoint&, const CButtonState&) {
    hovered_ = true;
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CPSOnOffButton::onMouseExited(CPoint&, const CButtonState&) {
    hovered_ = false;
    invalid();
    return kMouseEventHandled;
}

// ---- CPSRockerSwitch

CPSRockerSwitch::CPSRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, CCoord frameHeight,
                                 CBitmap* bitmap, const CPoint& offset, int32_t style)
    : CRockerSwitch(size, listener, tag, frameHeight, bitmap, offset, style) {}

bool CPSRockerSwitch::leftOfCentre(const CPoint& where) const {
    const CRect& size = getViewSize();
    return where.x < size.left + size.getWidth() / 2;
}

int32_t CPSRockerSwitch::frameToShow() const {
    if (getValue() == -1.0f) return kRockerPressedLeftFrame;
    if (getValue() == 1.0f) return kRockerPressedRightFrame;
    if (hoverSide_ == kHoverLeft) return kRockerHoverLeftFrame;
    if (hoverSide_ == kHoverRight) return kRockerHoverRightFrame;
    return kIdleFrame;
}

void CPSRockerSwitch::draw(CDrawContext* context) {
    drawFilmFrame(context, getBackground(), getViewSize(), heightOfOneImage, frameToShow(),
                  offset + getBackOffset());
    setDirty(false);
}

CMouseEventResult CPSRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(leftOfCentre(where) ? -1.0f : 1.0f);
    invalid();
    valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (buttons & kLButton) return kMouseEventHandled;
    hoverSide_ = leftOfCentre(where) ? kHoverLeft : kHoverRight;
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
    setValue(0.0f);
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseExited(CPoint&, const CButtonState&) {
    hoverSide_ = kHoverNone;
    invalid();
    return kMouseEventHandled;
}

// ---- CSaveLoadButton

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord frameHeight,
                                 CBitmap* bitmap, const CPoint& offset)
    : CKickButton(size, listener, tag, frameHeight, bitmap, offset) {}

int32_t CSaveLoadButton::frameToShow() const {
    if (getValue() != 0.0f) return kPressedFrame;
    return hovered_ ? kHoverFrame : kIdleFrame;
}

void CSaveLoadButton::draw(CDrawContext* context) {
    drawFilmFrame(context, getBackground(), getViewSize(), heightOfOneImage, frameToShow(),
                  offset + getBackOffset());
    setDirty(false);
}

CMouseEventResult CSaveLoadButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    if (getListener() == nullptr) return kMouseEventNotHandled;
    // A plain right click asks for the variant; the frame's double-click mark is neither
    // a button nor a modifier, so a quick second right click is plain too.
    const bool plainRightClick = buttons.getButtonState() == kRButton && buttons.getModifierState() == 0;
    setValue(plainRightClick ? kRightClickValue : 1.0f);
    valueChanged();
    setValue(0.0f);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CSaveLoadButton::onMouseEntered(CPoint&, const CButtonState&) {
    hovered_ = true;
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CSaveLoadButton::onMouseExited(CPoint&, const CButtonState&) {
    hovered_ = false;
    invalid();
    return kMouseEventHandled;
}

}  // namespace ruvane
