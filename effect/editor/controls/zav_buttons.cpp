#include "effect/editor/controls/zav_buttons.h"

#include "effect/editor/controls/film_strip.h"

namespace ruvane {

using namespace toolkit;

namespace {
constexpr int32_t kOnOffFrames = 2;
}

ZAVOnOffButton::ZAVOnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap)
    : COnOffButton(size, listener, tag, bitmap) {}

void ZAVOnOffButton::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        const CCoord frameHeight = bitmap->getHeight() / kOnOffFrames;
        drawFilmFrame(context, bitmap, getViewSize(), frameHeight, stepIndex(getValue(), kOnOffFrames),
                      getBackOffset());
    }
    setDirty(false);
}

CMouseEventResult ZAVOnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    // From any value (automation may leave 0 or 1) to the centre of the other position.
    setValue(stepCentre(1 - stepIndex(getValue(), kOnOffFrames), kOnOffFrames));
    valueChanged();
    endEdit();
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

ZAVKickButton::ZAVKickButton(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameHeight,
                             CBitmap* bitmap, const CPoint& offset)
    : CKickButton(size, listener, tag, frameHeight, bitmap, offset) {}

CMouseEventResult ZAVKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(1.0f);
    if (buttons & kControl)
        step_ = kControlStep;
    else if (buttons & kShift)
        step_ = kShiftStep;
    else
        step_ = kStep;
    beginEdit();
    invalid();
    valueChanged();
    endEdit();
    return kMouseEventHandled;
}

// The press has already acted; moving only keeps the pressed frame until the release
// (the stock kick button would end the press here because no edit is open any more).
CMouseEventResult ZAVKickButton::onMouseMoved(CPoint&, const CButtonState& buttons) {
    return (buttons & kLButton) ? kMouseEventHandled : kMouseEventNotHandled;
}

CMouseEventResult ZAVKickButton::onMouseUp(CPoint&, const CButtonState&) {
    setValue(0.0f);
    invalid();
    return kMouseEventHandled;
}

}  // namespace ruvane
